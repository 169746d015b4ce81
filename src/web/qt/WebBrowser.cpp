#include "web/qt/WebBrowser.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEngineView>
#include <memory>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

#include "web/WebUtil.h"

namespace zelm {
namespace {

const QUrl kBlankPage(QStringLiteral("about:blank"));

// The script that replaces the document with `html`: Clear, Write, Close.
QString DocumentWriteScript(const QString& html) {
  // A JSON array is a JavaScript literal: the text goes in whole, escaped.
  const QByteArray literal = QJsonDocument(QJsonArray{html}).toJson(QJsonDocument::Compact);
  return QStringLiteral("document.open();document.write(") + QString::fromUtf8(literal) +
         QStringLiteral("[0]);document.close();");
}

// Every navigation and write of a browser takes a new number, so that a
// write waiting for its blank page knows when another came after it.
const char* const kNavigationProperty = "zelmNavigation";

qulonglong NextNavigation(QWebEnginePage& page) {
  const qulonglong next = page.property(kNavigationProperty).toULongLong() + 1;
  page.setProperty(kNavigationProperty, next);
  return next;
}

}  // namespace

QuietWebPage::QuietWebPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

void QuietWebPage::javaScriptAlert(const QUrl&, const QString&) {}

bool QuietWebPage::javaScriptConfirm(const QUrl&, const QString&) { return false; }

bool QuietWebPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) { return false; }

void QuietWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) {}

QUrl BrowserUrl(const QString& nameOrAddress) {
  const QString name = nameOrAddress.trimmed();
  if (name.isEmpty()) return {};
  if (IsWebUrl(name.toStdString()) || name.startsWith(QStringLiteral("about:")) ||
      name.startsWith(QStringLiteral("file:"))) {
    return QUrl(name);
  }
  return QUrl::fromLocalFile(QFileInfo(name).absoluteFilePath());
}

int NavigateBrowser(QWebEngineView& browser, const QString& nameOrAddress) {
  const QUrl url = BrowserUrl(nameOrAddress);
  if (url.isEmpty()) return 0;
  NextNavigation(*browser.page());
  browser.page()->load(url);
  return 0;
}

void WriteHTMLToBrowser(const QString& html, QWebEngineView& browser) {
  QWebEnginePage* page = browser.page();
  // The document is written once the blank page stands, unless another
  // navigation or write came in the meantime.
  const qulonglong navigation = NextNavigation(*page);
  auto connection = std::make_shared<QMetaObject::Connection>();
  auto write = [page, connection, navigation, script = DocumentWriteScript(html)](bool ok) {
    if (page->property(kNavigationProperty).toULongLong() != navigation) {
      QObject::disconnect(*connection);
      return;
    }
    if (!ok || page->url() != kBlankPage) return;
    QObject::disconnect(*connection);
    page->runJavaScript(script);
  };
  *connection = QObject::connect(page, &QWebEnginePage::loadFinished, page, write);
  page->load(kBlankPage);
}

bool EmbeddedBrowsersCanRun() {
#if defined(__unix__) || defined(__APPLE__)
  if (::geteuid() != 0) return true;
  return !qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX") ||
         qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(QStringLiteral("--no-sandbox"));
#else
  return true;
#endif
}

bool OpenInDefaultBrowser(const QString& nameOrAddress) {
  // The program asked the registry for the command that opens HTML files
  // and maximised the browser's window. The desktop's own association does
  // the first here (xdg-open on Linux, Launch Services on macOS, the shell
  // on Windows); how the browser's window is shown is its own affair.
  const QUrl url = BrowserUrl(nameOrAddress);
  return !url.isEmpty() && QDesktopServices::openUrl(url);
}

}  // namespace zelm
