// The window's browsers and analyser with the real web engine (run under a
// display server, see CMakeLists.txt), real files and a real HTTP server on
// 127.0.0.1.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QTabWidget>
#include <QWebEngineView>
#include <cstdlib>

#include "WindowTestSupport.h"
#include "app/gui/WebTexts.h"
#include "support/HttpTestServer.h"
#include "text/StringUtil.h"
#include "web/qt/WebBrowser.h"

namespace zelm::test {

// Takes the addresses the window hands to the default browser, in place of
// the desktop's browser.
class DefaultBrowserStandIn : public QObject {
  Q_OBJECT

 public:
  explicit DefaultBrowserStandIn(const char* scheme) : scheme_(scheme) {
    QDesktopServices::setUrlHandler(scheme_, this, "Open");
  }
  ~DefaultBrowserStandIn() override { QDesktopServices::unsetUrlHandler(scheme_); }
  std::vector<QUrl> opened;

 public slots:
  void Open(const QUrl& url) { opened.push_back(url); }

 private:
  QString scheme_;
};

namespace {

using gui::PaneId;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Long enough for the web engine to start on a busy machine; a failure
// still ends the test instead of hanging it.
constexpr int kWebWait = 30000;

bool WaitFor(const std::function<bool()>& done, int milliseconds = kWebWait) {
  return QTest::qWaitFor(done, milliseconds);
}

// The browser's document as it stands, serialised.
QString DocumentHtml(QWebEngineView& browser) {
  QString html;
  bool read = false;
  browser.page()->toHtml([&](const QString& result) {
    html = result;
    read = true;
  });
  if (!WaitFor([&] { return read; })) ADD_FAILURE() << "the document was not read";
  return html;
}

// Waits until the browser's document holds `text`.
bool DocumentHolds(QWebEngineView& browser, const QString& text) {
  return WaitFor([&] { return DocumentHtml(browser).contains(text); });
}

class WebWindow : public WindowTest {
 protected:
  static void SetUpTestSuite() {
    // A proxy named in the environment must not take the loopback server's
    // requests.
    ::setenv("no_proxy", "127.0.0.1", 1);
  }
  QString Status() const { return window->StatusBarGlobal[1]->text(); }
  // Loads into the analyser and waits until its source has been read.
  void Analyse(const QString& addressOrFile) {
    window->EditGUIUrl->setEditText(addressOrFile);
    window->action("tbGUIGo")->trigger();
    EXPECT_TRUE(window->AnalyserLoading());
    EXPECT_TRUE(WaitFor([&] { return !window->AnalyserLoading(); }));
  }

  HttpTestServer server;
};

// ---- Result and original browsers ------------------------------------------------------------

TEST_F(WebWindow, WrittenHtmlIsTheDocumentAndALaterNavigationWins) {
  QWebEngineView& browser = *window->ResultBrowser();
  WriteHTMLToBrowser(U("<html><body><p>日本語の本文</p><script>document.body.appendChild("
                       "document.createElement('hr')).id = 'scripted';</script></body></html>"),
                     browser);
  ASSERT_TRUE(DocumentHolds(browser, U("<hr id=\"scripted\">")));
  EXPECT_TRUE(DocumentHtml(browser).contains(U("<p>日本語の本文</p>")));
  EXPECT_EQ(browser.url(), QUrl("about:blank"));

  // A write overtaken by a navigation leaves the navigation's page.
  WriteHTMLToBrowser(U("<p>overtaken</p>"), browser);
  NavigateBrowser(browser, U("about:blank"));
  ASSERT_TRUE(WaitFor([&] { return !DocumentHtml(browser).contains(U("scripted")); }));
  QTest::qWait(300);
  EXPECT_FALSE(DocumentHtml(browser).contains(U("overtaken")));
}

TEST_F(WebWindow, EntityListGoesIntoTheResultBrowser) {
  window->action("MenuToolEntityList")->trigger();
  EXPECT_EQ(window->PGZ0PGMainTab01Left->currentWidget(), window->PGZ0PGMainTab01LeftTab03Browser);
  EXPECT_TRUE(DocumentHolds(*window->ResultBrowser(), U("&amp;nbsp;")));
}

TEST_F(WebWindow, OpenAndIndentShowTheFilesInTheBrowsers) {
  window->CheckBoxOpenIEOriginal->setChecked(true);
  window->CheckBoxOpenIEResult->setChecked(true);
  window->CheckBoxResultPageChange->setChecked(true);
  const auto page = CopyPage("namazu-tutorial.eucjp.html");
  window->OpenHtmlFile(Q(page));
  EXPECT_EQ(window->PGZ1PGMainTab01Right->currentWidget(), window->PGZ1PGMainTab01RightTab05Browser);
  QWebEngineView& original = *window->OriginalBrowser();
  EXPECT_TRUE(WaitFor([&] { return original.url() == QUrl::fromLocalFile(Q(page)); }));
  EXPECT_TRUE(DocumentHolds(original, U("Namazu 2.0 入門")));

  window->tbIndentGoClick();
  EXPECT_EQ(window->PGZ0PGMainTab01Left->currentWidget(), window->PGZ0PGMainTab01LeftTab03Browser);
  EXPECT_EQ(window->PGZ1PGMainTab01Right->currentWidget(), window->PGZ1PGMainTab01RightTab01Main);
  QWebEngineView& result = *window->ResultBrowser();
  EXPECT_TRUE(WaitFor([&] { return result.url() == QUrl::fromLocalFile(Q(dir / "ZZ_tmp.html")); }));
  EXPECT_TRUE(DocumentHolds(result, U("Namazu 2.0 入門")));

  // A new file clears both browsers.
  window->tbFilenewClick();
  EXPECT_TRUE(WaitFor([&] { return original.url() == QUrl("about:blank") && result.url() == QUrl("about:blank"); }));
}

// ---- The default browser ----------------------------------------------------------------------

TEST_F(WebWindow, ExternalBrowserButtonsOpenTheFiles) {
  DefaultBrowserStandIn browser("file");
  // Nothing open yet: each says so and opens nothing.
  for (const char* button : {"tbSaveLocalIEOpen", "tbResultTempFileOpenIE", "tbOpeIEWithRefOrg"}) {
    window->action(button)->trigger();
    EXPECT_TRUE(Status().endsWith(U("が ありません"))) << button << ": " << Status().toStdString();
  }
  EXPECT_TRUE(browser.opened.empty());

  const auto page = CopyPage("namazu-nmz.sjis.html");
  window->OpenHtmlFile(Q(page));
  window->tbIndentGoClick();
  asker->openName = Q(page);
  const struct {
    const char* button;
    std::filesystem::path shown;
  } cases[] = {
      {"tbSaveLocalIEOpen", page},
      {"tbResultTempFileOpenIE", dir / "ZZ_tmp.html"},
      {"tbOpeIEWithRefOrg", dir / "ZZ_tmp_org.html"},
      {"tbOpenByIE", page},
  };
  for (const auto& c : cases) {
    browser.opened.clear();
    window->action(c.button)->trigger();
    ASSERT_EQ(browser.opened.size(), 1u) << c.button;
    EXPECT_EQ(browser.opened[0], QUrl::fromLocalFile(Q(c.shown))) << c.button;
  }
  EXPECT_EQ(ReadFile(dir / "ZZ_tmp_org.html"), Text(PaneId::RefOrg));
}

// ---- The analyser -------------------------------------------------------------------------------

TEST_F(WebWindow, AnalyserLoadsAPageFromTheServerThroughThePasteStage) {
  const std::string page = ReadFile(TestDataDir() / "pages" / "namazu-tutorial.eucjp.html");
  server.Serve("/tutorial.html", Page(page));
  const QString address = QString::fromStdString(server.Url("/tutorial.html"));
  Analyse(address);

  const PasteInputTexts expected =
      PasteInputStage(DownloadedPageToShiftJis(NormalizeLineEnds(page)).sjis.text, window->CurrentPipelineOptions());
  EXPECT_EQ(Text(PaneId::Org), expected.Org);
  EXPECT_EQ(Text(PaneId::Local), expected.Local);
  EXPECT_EQ(window->StatusBarGlobal[0]->text(), U("  【 euc-jp 】"));
  EXPECT_EQ(Status(), gui::texts::AnalyserLoadedMessage(address));
  EXPECT_EQ(window->PGZ0PGMainTab01Left->currentWidget(), window->PGZ0PGMainTab01LeftTab04ProfBrowser);
  EXPECT_EQ(window->EditGUIUrl->itemText(0), address);
  // The page the browser shows, after its scripts, fills the inner panes.
  ASSERT_TRUE(WaitFor([&] { return Text(PaneId::InnerRight).find(Sjis("Namazu 2.0 入門")) != std::string::npos; }));
  EXPECT_EQ(Text(PaneId::Inner), Text(PaneId::InnerRight));
}

// Clicks the page in the analyser until `done` (the first clicks may come
// before the page takes input).
bool ClickAnalyserUntil(gui::TAMainForm& window, const std::function<bool()>& done) {
  QWidget* surface = window.AnalyserBrowser()->focusProxy();
  if (!surface) return false;
  return WaitFor([&] {
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(40, 40));
    return QTest::qWaitFor(done, 500);
  });
}

TEST_F(WebWindow, AnalyserShowsScriptedHtmlFrameKindAndTheClickedElement) {
  const auto file = dir / "scripted.html";
  WriteFile(file,
            "<html><head><meta charset=\"utf-8\"><title>s</title></head>\n"
            "<body style=\"margin:0\"><p id=\"target\" style=\"margin:0;height:400px\">click here</p>\n"
            "<iframe src=\"about:blank\"></iframe><span>\xF0\x9F\x98\x80</span>\n"
            "<script>var added = document.createElement('div'); added.id = 'added-by-script';"
            "document.body.appendChild(added); alert('no dialog');</script>\n"
            "</body></html>\n");
  Analyse(Q(file));
  EXPECT_EQ(Status(), gui::texts::FramePageMessage(kInlineFramePage));
  EXPECT_EQ(asker->messages.size(), 1u);  // the character without a Shift_JIS form
  // The source as served has no element the script adds; the page does.
  EXPECT_EQ(Text(PaneId::Local).find("<div id=\"added-by-script\">"), std::string::npos);
  ASSERT_TRUE(
      WaitFor([&] { return Text(PaneId::InnerRight).find("<div id=\"added-by-script\">") != std::string::npos; }));
  EXPECT_TRUE(Status().startsWith(U("内部HTMLの Shift_JIS で表せない 1 文字を「?」にしました"))) << Status().toStdString();

  // A real click of the mouse on the page: the element's HTML goes into
  // Selected.
  ASSERT_TRUE(ClickAnalyserUntil(*window, [&] { return !Text(PaneId::Selected).empty(); }));
  EXPECT_EQ(Text(PaneId::Selected), "<p id=\"target\" style=\"margin:0;height:400px\">click here</p>");
  EXPECT_EQ(window->PGZ1PGMainTab01Right->currentWidget(), window->PGZ1PGMainTab01RightTab05Selected);
}

TEST_F(WebWindow, ALinkIsFollowedInBrowseModeOnly) {
  const std::string link = "<a href=\"/second.html\" style=\"display:block;height:400px\">next</a>";
  server.Serve("/first.html", Page("<html><body style=\"margin:0\">" + link + "</body></html>"));
  server.Serve("/second.html", Page("<html><body><p>second page</p></body></html>"));
  Analyse(QString::fromStdString(server.Url("/first.html")));
  ASSERT_TRUE(ClickAnalyserUntil(*window, [&] { return !Text(PaneId::Selected).empty(); }));
  EXPECT_EQ(Text(PaneId::Selected), link);
  EXPECT_EQ(Text(PaneId::Local).find("second page"), std::string::npos);

  window->action("tbGUIBrowseMode")->trigger();
  ASSERT_TRUE(
      ClickAnalyserUntil(*window, [&] { return Text(PaneId::Local).find("second page") != std::string::npos; }));
  EXPECT_EQ(window->EditGUIUrl->itemText(0), QString::fromStdString(server.Url("/second.html")));
  EXPECT_TRUE(WaitFor([&] { return Text(PaneId::InnerRight).find("second page") != std::string::npos; }));
}

// A server that sends part of the page and then nothing: the window stays
// responsive, shows that it is loading, and ends with the reason.
TEST_F(WebWindow, AStalledDownloadIsStoppedOrTimesOut) {
  server.Serve("/stalls.html", Stalling("<html><body>" + std::string(4000, 'x') + "</body></html>", 100));
  const QString address = QString::fromStdString(server.Url("/stalls.html"));
  window->OpenHtmlFile(Q(CopyPage("namazu-nmz.sjis.html")));
  const std::string local = Text(PaneId::Local);

  window->EditGUIUrl->setEditText(address);
  window->EditGUIUrlKeyDown();
  EXPECT_TRUE(window->AnalyserLoading());
  EXPECT_EQ(Status(), gui::texts::AnalyserLoadingMessage(address));
  EXPECT_TRUE(window->action("tbGUIStop")->isEnabled());
  QTest::qWait(300);  // the window keeps running its events meanwhile
  EXPECT_TRUE(window->AnalyserLoading());
  window->action("tbGUIStop")->trigger();
  ASSERT_TRUE(WaitFor([&] { return !window->AnalyserLoading(); }, 5000));
  EXPECT_EQ(Status(), U("【 ") + address + U(" 】の 読み込みを中止しました"));
  EXPECT_FALSE(window->action("tbGUIStop")->isEnabled());

  window->AnalyserDownloadOptions.timeout = std::chrono::seconds(1);
  window->action("tbGUIGo")->trigger();
  ASSERT_TRUE(WaitFor([&] { return !window->AnalyserLoading(); }, 10000));
  EXPECT_EQ(Status(), U("【 ") + address + U(" 】の 読み込みが時間切れになりました（ 接続 20 秒 ／ 全体 1 秒 ）"));
  EXPECT_EQ(Text(PaneId::Local), local);  // a failed load changes no pane
}

// Chromium ends the whole program when root starts it with its sandbox on:
// the window then goes without its browsers and says why, and the analyser
// still loads the page's source.
TEST_F(WebWindow, AsRootWithTheSandboxOnTheBrowsersStayOut) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root is refused the sandbox";
  struct SandboxOn {
    QByteArray kept = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
    SandboxOn() { qunsetenv("QTWEBENGINE_DISABLE_SANDBOX"); }
    ~SandboxOn() { qputenv("QTWEBENGINE_DISABLE_SANDBOX", kept); }
  } sandboxOn;
  ASSERT_FALSE(EmbeddedBrowsersCanRun());
  WriteFile(dir / "page.html", "<html><body><p>text</p></body></html>\n");
  Analyse(Q(dir / "page.html"));
  window->BrowseIndentFile(Q(dir / "page.html"));
  window->MenuToolEntityListClick();

  EXPECT_EQ(window->AnalyserBrowser(), nullptr);
  EXPECT_EQ(window->ResultBrowser(), nullptr);
  EXPECT_NE(Text(PaneId::Local).find("<p>text</p>"), std::string::npos);
  for (QWidget* area : {window->Editor, window->WebBrowserPGZ0PGMainTab01LeftTab03}) {
    const auto why = area->findChildren<QLabel*>();
    ASSERT_EQ(why.size(), 1);
    EXPECT_EQ(why[0]->text(), U(gui::texts::kBrowsersNeedSandbox));
  }
}

}  // namespace
}  // namespace zelm::test

#include "WebWindowTest.moc"
