// The analyser browser's page: a silent page that tells which element the
// person clicked (its HTML), reads the document as it stands after its
// scripts have run, and hands the links the person follows to its owner
// instead of going there itself.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

#include "web/qt/WebBrowser.h"

namespace zelm {

class AnalyserPage : public QuietWebPage {
  Q_OBJECT

 public:
  explicit AnalyserPage(QWebEngineProfile* profile, QObject* parent = nullptr);

  // Browse mode: a link the person clicks is followed (LinkFollowed). Out
  // of it, links are not followed, so that a link can be clicked to see
  // its HTML. Clicked elements are told in both modes.
  void SetBrowseMode(bool on) { browseMode_ = on; }
  bool BrowseMode() const { return browseMode_; }

  // The HTML of the whole document as it stands now, after its scripts have
  // run (document.documentElement.outerHTML), given to `done` later on the
  // page's thread; empty when the page has no document.
  void ReadDocumentHtml(std::function<void(const QString&)> done);

 signals:
  // The person clicked an element of the page: its HTML (outerHTML).
  void ElementClicked(const QString& html);
  // The person clicked a link to a web page or a file in browse mode; the
  // page stays.
  void LinkFollowed(const QUrl& url);

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                const QString& sourceID) override;

 private:
  bool browseMode_ = false;
};

}  // namespace zelm
