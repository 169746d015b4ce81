#include "web/qt/AnalyserPage.h"

#include <QPointer>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace zelm {
namespace {

// The click script runs in a world of its own, apart from the page's
// scripts: they can neither see nor change what it keeps. A click puts the
// element's HTML into that world and says so on the console; the page then
// reads it from there, so that no console message carries a large text and
// a message the page's own scripts write cannot pose as a click.
const QString kClickScriptName = QStringLiteral("zelm-element-click");
const QString kClickMessage = QStringLiteral("zelm-element-clicked");
const QString kClickScript = QStringLiteral(R"(
document.addEventListener('click', function (event) {
  var element = event.target;
  if (element && element.nodeType !== 1) element = element.parentElement;
  if (!element) return;
  window.zelmClickedHtml = element.outerHTML;
  console.log('zelm-element-clicked');
}, true);
)");
constexpr quint32 kClickWorld = QWebEngineScript::ApplicationWorld;

QUrl WithoutFragment(const QUrl& url) { return url.adjusted(QUrl::RemoveFragment); }

}  // namespace

AnalyserPage::AnalyserPage(QWebEngineProfile* profile, QObject* parent) : QuietWebPage(profile, parent) {
  QWebEngineScript script;
  script.setName(kClickScriptName);
  script.setSourceCode(kClickScript);
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(kClickWorld);
  script.setRunsOnSubFrames(false);
  scripts().insert(script);
}

void AnalyserPage::ReadDocumentHtml(std::function<void(const QString&)> done) {
  QPointer<AnalyserPage> self(this);
  runJavaScript(QStringLiteral("document.documentElement ? document.documentElement.outerHTML : ''"),
                [self, done = std::move(done)](const QVariant& html) {
                  if (self) done(html.toString());
                });
}

bool AnalyserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  if (type != NavigationTypeLinkClicked || !isMainFrame) return true;
  // A jump within the page is no new page.
  if (WithoutFragment(url) == WithoutFragment(this->url())) return true;
  // Only pages are followed: a mail address, say, is nothing to analyse.
  const QString scheme = url.scheme();
  const bool page = scheme == QStringLiteral("http") || scheme == QStringLiteral("https") || url.isLocalFile();
  if (browseMode_ && page) emit LinkFollowed(url);
  return false;
}

void AnalyserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                            const QString& sourceID) {
  if (message != kClickMessage || !sourceID.endsWith(kClickScriptName)) return;
  QPointer<AnalyserPage> self(this);
  runJavaScript(QStringLiteral("window.zelmClickedHtml || ''"), kClickWorld, [self](const QVariant& html) {
    if (self && !html.toString().isEmpty()) emit self->ElementClicked(html.toString());
  });
}

}  // namespace zelm
