// The embedded browsers and the system's own browser: navigating a browser,
// writing a text into its document, a page that never raises a dialog, and
// opening a file or address in the default web browser. Qt WebEngine and
// Qt's desktop services; the rest of the web unit (web/WebUtil.h) is free
// of Qt.
#pragma once

#include <QString>
#include <QUrl>
#include <QWebEnginePage>

class QWebEngineView;
class QWebEngineProfile;

namespace zelm {

// A page that stays silent, as an analysing tool's browser should: script
// alerts, confirmations and prompts raise no dialog (a confirmation is
// answered no, a prompt gets no answer) and console messages go nowhere.
class QuietWebPage : public QWebEnginePage {
  Q_OBJECT

 public:
  explicit QuietWebPage(QWebEngineProfile* profile, QObject* parent = nullptr);

 protected:
  void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
  bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
  bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message, const QString& defaultValue,
                        QString* result) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                const QString& sourceID) override;
};

// The address a browser goes to for `nameOrAddress`, trimmed: an http://,
// https://, about: or file: address as it is, anything else a local file
// name (made absolute against the working folder). Empty for an empty text.
QUrl BrowserUrl(const QString& nameOrAddress);

// Starts navigating the browser to a file name or address; returns 0 at
// once, as navigation runs on its own.
int NavigateBrowser(QWebEngineView& browser, const QString& nameOrAddress);

// Shows `html` as the browser's document without saving it anywhere: the
// browser goes to "about:blank", then the document is opened, the text
// written and the document closed. Relative links resolve against
// "about:blank". The text has no size limit. A navigation started before
// the write happens takes its place.
void WriteHTMLToBrowser(const QString& html, QWebEngineView& browser);

// False when the embedded browsers cannot run in this process: Chromium
// refuses to start for the root user with its sandbox on, and ends the
// whole program instead. The sandbox is off only when the person says so
// (QTWEBENGINE_DISABLE_SANDBOX, or --no-sandbox in
// QTWEBENGINE_CHROMIUM_FLAGS).
bool EmbeddedBrowsersCanRun();

// Opens a file name or address in the system's default web browser; false
// when there is nothing to open or the system has no browser for it.
bool OpenInDefaultBrowser(const QString& nameOrAddress);

}  // namespace zelm
