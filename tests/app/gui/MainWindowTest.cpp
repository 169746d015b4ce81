// The main window: opening pages, pasting, indenting, the restore and
// navigation commands, titles, captions, the search wiring and resizing.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>

#include "WindowTestSupport.h"
#include "app/gui/WindowTexts.h"
#include "text/FileIO.h"
#include "text/StringUtil.h"

namespace zelm::test {
namespace {

using gui::PaneId;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// ---- Opening a page -------------------------------------------------------------

struct PageCase {
  const char* file;
  const char* statusPanel;  // status panel 0 after opening
  int lossMessages;         // characters without a Shift_JIS form are told once
  friend void PrintTo(const PageCase& c, std::ostream* out) { *out << c.file; }
};

class OpenPage : public WindowTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(OpenPage, FillsThePanesTitleAndStatus) {
  const auto page = CopyPage(GetParam().file);
  window->OpenHtmlFile(Q(page));

  const FileInputTexts expected = FileInputStage(LoadTextFile(page.string()), window->CurrentPipelineOptions());
  EXPECT_EQ(Text(PaneId::Native), expected.Native);
  EXPECT_EQ(Text(PaneId::Org), expected.Org);
  EXPECT_EQ(Text(PaneId::RefOrg), expected.Org);
  EXPECT_EQ(Text(PaneId::Local), expected.Local);
  EXPECT_FALSE(expected.Local.empty());
  for (PaneId id : {PaneId::Work, PaneId::Result, PaneId::Selected, PaneId::Temp, PaneId::Inner, PaneId::InnerRight}) {
    EXPECT_TRUE(Text(id).empty());
  }
  EXPECT_EQ(window->windowTitle(), U("Quorvane( ZELM ) ［ Ver.14.07.02 ］  【 ") + Q(page) + U(" 】"));
  EXPECT_EQ(window->StatusBarGlobal[0]->text(), U(GetParam().statusPanel));
  EXPECT_EQ(window->BtnEditLocalFile, page.string());
  EXPECT_EQ(window->PGZ1PGMainTab01Right->currentWidget(), window->PGZ1PGMainTab01RightTab01Main);
  EXPECT_EQ(static_cast<int>(asker->messages.size()), GetParam().lossMessages);
}

INSTANTIATE_TEST_SUITE_P(Encodings, OpenPage,
                         ::testing::Values(PageCase{"namazu-nmz.sjis.html", "  【 Shift_JIS 】", 0},
                                           PageCase{"namazu-tutorial.eucjp.html", "  【 euc-jp 】", 0},
                                           PageCase{"faq-basic-defs.utf8.html", "  【 utf-8 】", 1}),
                         [](const auto& info) { return TestNameFrom(info.param.file); });

TEST_F(OpenPage, LossIsToldWithItsCountAndLine) {
  window->OpenHtmlFile(Q(CopyPage("faq-basic-defs.utf8.html")));
  ASSERT_EQ(asker->messages.size(), 1u);
  EXPECT_TRUE(asker->messages[0].contains(U(" 8 文字"))) << asker->messages[0].toStdString();
  EXPECT_TRUE(asker->messages[0].contains(U(" 行目"))) << asker->messages[0].toStdString();
}

TEST_F(OpenPage, AMissingBinaryOrEmptyFileIsToldAndLeavesThePanes) {
  window->OpenHtmlFile(Q(CopyPage("namazu-nmz.sjis.html")));
  const std::string local = Text(PaneId::Local);
  WriteFile(dir / "binary.html", std::string("<html>\0\1\2", 9));
  WriteFile(dir / "empty.html", "");
  window->OpenHtmlFile(Q(dir / "missing.html"));
  window->OpenHtmlFile(Q(dir / "binary.html"));
  window->OpenHtmlFile(Q(dir / "empty.html"));
  ASSERT_EQ(asker->messages.size(), 3u);
  EXPECT_TRUE(asker->messages[0].startsWith(U("【 ") + Q(dir / "missing.html") + U(" 】が 開けません！")));
  EXPECT_TRUE(asker->messages[1].startsWith(U("【 ") + Q(dir / "binary.html") + U(" 】")));
  EXPECT_TRUE(asker->messages[2].startsWith(U("【 ") + Q(dir / "empty.html") + U(" 】が 開けません！")));
  EXPECT_EQ(Text(PaneId::Local), local);
  EXPECT_EQ(window->BtnEditLocalFile, (dir / "namazu-nmz.sjis.html").string());
}

TEST_F(OpenPage, ANameWithoutHtmStandsForTheHtmlFile) {
  CopyPage("namazu-nmz.sjis.html");
  std::filesystem::rename(dir / "namazu-nmz.sjis.html", dir / "page.html");
  window->OpenHtmlFile(Q(dir / "page"));
  EXPECT_EQ(window->BtnEditLocalFile, (dir / "page.html").string());
  EXPECT_FALSE(Text(PaneId::Local).empty());
}

TEST_F(OpenPage, ADroppedFileIsOpened) {
  const auto page = CopyPage("namazu-nmz.sjis.html");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(Q(page))});
  EXPECT_TRUE(window->OpenDroppedFile(data));
  EXPECT_EQ(window->BtnEditLocalFile, page.string());
  QMimeData text;
  text.setText(U("<html>"));
  EXPECT_FALSE(window->OpenDroppedFile(text));
}

TEST_F(OpenPage, TheOpenCommandAsksForTheFile) {
  asker->openName = Q(CopyPage("namazu-nmz.sjis.html"));
  window->action("tbOpenFile")->trigger();
  EXPECT_EQ(window->BtnEditLocalFile, asker->openName.toStdString());
  asker->openName.clear();  // cancelled: nothing changes
  window->MenuFileOpenClick();
  EXPECT_EQ(window->BtnEditLocalFile, (dir / "namazu-nmz.sjis.html").string());
}

TEST_F(OpenPage, WithoutColouringThePanesStayPlain) {
  window->CheckBoxDontSyntaxHighlight->setChecked(true);
  window->OpenHtmlFile(Q(CopyPage("namazu-nmz.sjis.html")));
  window->tbIndentGoClick();
  for (PaneId id : {PaneId::Org, PaneId::Local, PaneId::Work, PaneId::Result}) {
    EXPECT_FALSE(window->pane(id).IsColoured());
  }
  window->RichEditResultClick();
  window->tbIndentRedisplayClick();  // the redisplay colours whatever the option says
  EXPECT_TRUE(window->pane(PaneId::Result).IsColoured());
}

// ---- Pasting ---------------------------------------------------------------------------

const char* const kPastedPage =
    "<html><head><title>t</title></head>\n<body><div class=\"a\"><p>本文</p></div></body></html>\n";

TEST_F(WindowTest, PasteWithBodyLoadsThePanes) {
  QGuiApplication::clipboard()->setText(U(kPastedPage));
  window->tbPasteClipboardToTextClick();
  const PasteInputTexts expected = PasteInputStage(NormalizeLineEnds(Sjis(kPastedPage)), window->CurrentPipelineOptions());
  EXPECT_EQ(Text(PaneId::Native), expected.Native);
  EXPECT_EQ(Text(PaneId::Org), expected.Org);
  EXPECT_EQ(Text(PaneId::Local), expected.Local);
  EXPECT_TRUE(Text(PaneId::Result).empty());
  EXPECT_EQ(window->windowTitle(), U("Quorvane( ZELM )[  ] - [ 14.07.02 ]"));
  EXPECT_TRUE(window->BtnEditLocalFile.empty());
}

TEST_F(WindowTest, PasteWithOnlyCapitalisedBodyLoadsNothing) {
  const QString before = window->windowTitle();
  QGuiApplication::clipboard()->setText(U("<html><Body><p>x</p></Body></html>"));
  window->tbPasteClipboardToTextClick();
  EXPECT_TRUE(Text(PaneId::Local).empty());
  EXPECT_TRUE(Text(PaneId::Native).empty());
  EXPECT_EQ(window->windowTitle(), before);
}

TEST_F(WindowTest, PasteWithImmediateGoIndents) {
  window->CheckBoxImmediateGo->setChecked(true);
  QGuiApplication::clipboard()->setText(U(kPastedPage));
  window->tbPasteClipboardToTextClick();
  const IndentTexts expected = IndentStage(Text(PaneId::Local), window->CurrentPipelineOptions());
  EXPECT_FALSE(expected.Result.empty());
  EXPECT_EQ(Text(PaneId::Result), expected.Result);
  EXPECT_EQ(Text(PaneId::Work), expected.Work);
}

// ---- Indenting and restoring -----------------------------------------------------------

TEST_F(WindowTest, IndentFillsWorkResultAndTheTemporaryFile) {
  const auto page = CopyPage("namazu-nmz.sjis.html");
  window->OpenHtmlFile(Q(page));
  window->tbIndentGoClick();
  const IndentTexts expected = IndentStage(Text(PaneId::Local), window->CurrentPipelineOptions());
  EXPECT_EQ(Text(PaneId::Work), expected.Work);
  EXPECT_EQ(Text(PaneId::Result), expected.Result);
  EXPECT_EQ(ReadFile(dir / "ZZ_tmp.html"), expected.Result);
  EXPECT_EQ(window->PGZ1PGMainTab01Right->currentWidget(), window->PGZ1PGMainTab01RightTab01Main);
  EXPECT_TRUE(window->pane(PaneId::Result).IsColoured());

  window->CheckBoxWorkProcessPageChange->setChecked(true);
  window->tbIndentGoClick();
  EXPECT_EQ(window->PGZ1PGMainTab01Right->currentWidget(), window->PGZ1PGMainTab01RightTab04Work);
  EXPECT_EQ(Text(PaneId::Result), expected.Result);  // the same Local text gives the same Result
}

TEST_F(WindowTest, RestoreCommandsPutBackTheSavedTexts) {
  window->OpenHtmlFile(Q(CopyPage("namazu-nmz.sjis.html")));
  window->tbIndentGoClick();
  const std::string org = Text(PaneId::Org), local = Text(PaneId::Local);
  const std::string work = Text(PaneId::Work), result = Text(PaneId::Result);
  for (PaneId id : {PaneId::Org, PaneId::RefOrg, PaneId::Local, PaneId::Work, PaneId::Result}) {
    gui::SetPaneText(window->pane(id), "changed\r\n");
  }
  window->MenuTextTextSrcReColorClick();
  window->MenuTextTextRstRecolorClick();
  window->MenuTextTextPrcRecolorClick();
  window->MenuTextTextOrgRecolorClick();
  EXPECT_EQ(Text(PaneId::Local), local);
  EXPECT_EQ(Text(PaneId::Result), result);
  EXPECT_EQ(Text(PaneId::Work), work);
  EXPECT_EQ(Text(PaneId::Org), org);
  EXPECT_EQ(Text(PaneId::RefOrg), org);
}

TEST_F(WindowTest, RestoreCommandsEmptyThePanesAfterNew) {
  window->OpenHtmlFile(Q(CopyPage("namazu-nmz.sjis.html")));
  window->tbIndentGoClick();
  window->tbFilenewClick();
  EXPECT_EQ(window->windowTitle(), U("Quorvane( ZELM )"));
  for (PaneId id : gui::kAllPanes) EXPECT_TRUE(Text(id).empty());
  for (PaneId id : {PaneId::Org, PaneId::Local, PaneId::Work, PaneId::Result}) {
    gui::SetPaneText(window->pane(id), "typed\r\n");
  }
  window->MenuTextTextSrcReColorClick();
  window->MenuTextTextRstRecolorClick();
  window->MenuTextTextPrcRecolorClick();
  window->MenuTextTextOrgRecolorClick();
  for (PaneId id : {PaneId::Org, PaneId::RefOrg, PaneId::Local, PaneId::Work, PaneId::Result}) {
    EXPECT_TRUE(Text(id).empty());
  }
}

TEST_F(WindowTest, RestoreCommandsAfterANewLoadGiveItsTexts) {
  window->OpenHtmlFile(Q(CopyPage("namazu-nmz.sjis.html")));
  window->tbIndentGoClick();
  window->OpenHtmlFile(Q(CopyPage("namazu-tutorial.eucjp.html")));
  const std::string local = Text(PaneId::Local);
  gui::SetPaneText(window->pane(PaneId::Result), "typed\r\n");
  window->MenuTextTextRstRecolorClick();
  window->MenuTextTextPrcRecolorClick();
  window->MenuTextTextSrcReColorClick();
  EXPECT_TRUE(Text(PaneId::Result).empty());
  EXPECT_TRUE(Text(PaneId::Work).empty());
  EXPECT_EQ(Text(PaneId::Local), local);
}

TEST_F(WindowTest, APageNestedTooDeeplyIsToldAndTheWindowStays) {
  std::string nested = "<html><body>\r\n";
  for (int i = 0; i < 10000; ++i) nested += "<div>\r\n";
  gui::SetPaneText(window->pane(PaneId::Local), nested);
  window->tbIndentGoClick();
  ASSERT_EQ(asker->messages.size(), 1u);
  EXPECT_TRUE(Text(PaneId::Result).empty());
  EXPECT_EQ(Text(PaneId::Local), nested);
}

TEST_F(WindowTest, ClipboardAndEditMenuCommands) {
  QGuiApplication::clipboard()->setText(U("a &amp; b\nc"));
  window->tbPaste2LocalClick();
  EXPECT_EQ(Text(PaneId::Local), "a &amp; b\r\nc");
  EXPECT_EQ(Text(PaneId::Org), Text(PaneId::Local));
  EXPECT_TRUE(window->pane(PaneId::Local).WordWrap());
  EXPECT_EQ(window->windowTitle(), U("Quorvane( ZELM )[  ] - [ 14.07.02 ]"));

  const std::string refOrg = "<div><p>x</p></div>\r\n";
  gui::SetPaneText(window->pane(PaneId::RefOrg), refOrg);
  window->MenuLoadFromRefOrgThruClick();
  EXPECT_EQ(Text(PaneId::Local), refOrg);
  window->MenuLoadFromRefOrgClick();
  EXPECT_EQ(Text(PaneId::Local), DoInnerTextTMLGo(refOrg));
  window->MenuEditLoadFromInnerHTMLClick();  // Inner is empty: nothing
  EXPECT_EQ(Text(PaneId::Local), DoInnerTextTMLGo(refOrg));

  window->RichEditRefOrgClick();
  window->tbCOPYFromResultTextClick();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), U("<div><p>x</p></div>\n"));
  QGuiApplication::clipboard()->setText(U("pasted"));
  window->MenuEditSelectAllClick();
  EXPECT_EQ(Text(PaneId::Local), "pasted");
}

// ---- Navigation in the clicked pane ------------------------------------------------------

TEST_F(WindowTest, BottomNearAndFarFromTheEnd) {
  std::string lines;
  for (int i = 1; i <= 100; ++i) lines += "line " + std::to_string(i) + "\r\n";
  window->PGZ1PGMainTab01Right->setCurrentWidget(window->PGZ1PGMainTab01RightTab01Main);
  gui::Pane& result = window->pane(PaneId::Result);
  gui::SetPaneText(result, lines);
  QApplication::processEvents();
  window->CurrentPane = nullptr;
  window->tbRightPageBottomClick();  // no clicked pane: nothing
  EXPECT_EQ(result.CaretLine(), 0);

  window->RichEditResultClick();
  const int count = result.LineCount();
  window->tbRightPageBottomClick();  // far from the end
  EXPECT_EQ(result.CaretLine(), count - 5);
  result.SetCaretPos(result.LineStart(count - 3));
  window->tbLeftPageBottomClick();  // near the end
  EXPECT_EQ(result.CaretLine(), count - 1);
  window->tbLeftpageTopClick();
  EXPECT_EQ(result.CaretPos(), 0);
}

// ---- Titles and captions ----------------------------------------------------------------

TEST(WindowTitle, CreationCaptionBeforeTheWindowIsShown) {
  gui::TAMainForm window(std::make_unique<TestAsker>());
  EXPECT_EQ(window.windowTitle(), U("Quorvane( ZELM ) [  14.07.02  ]"));
}

TEST_F(WindowTest, TitleForms) {
  EXPECT_EQ(window->windowTitle(), U("Quorvane( ZELM )  [ 14.07.02 ]"));  // shown without a file
  struct Case {
    const char* name;
    int mode;
    const char* caption;
  };
  const Case cases[] = {
      {"", 0, "Quorvane( ZELM )[  ] - [ 14.07.02 ]"},
      {"貼り付け", 0, "Quorvane( ZELM )[ 貼り付け ] - [ 14.07.02 ]"},
      {"", 1, "Quorvane( ZELM )"},
      {"x", 2, "Quorvane( ZELM )"},  // other modes leave the caption
      {"", -1, "Quorvane( ZELM )  [ 14.07.02 ]"},
  };
  for (const Case& c : cases) {
    window->AppTitleCaption(U(c.name), c.mode);
    EXPECT_EQ(window->windowTitle(), U(c.caption)) << c.mode;
    EXPECT_EQ(window->CurrentFileName, U(c.name));
  }
  window->SetFormCaption(U("/tmp/a.html"));
  EXPECT_EQ(window->windowTitle(), U("Quorvane( ZELM ) ［ Ver.14.07.02 ］  【 /tmp/a.html 】"));
  window->MenuOtherVersionClick();
  EXPECT_EQ(window->windowTitle(), U("Quorvane( ZELM )  [ 14.07.02 ]"));
}

TEST_F(WindowTest, AboutBoxShowsTheVersion) {
  QString version;
  QTimer::singleShot(0, [&version] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    version = box->findChild<QLabel*>(U("Version"))->text();
    box->close();
  });
  window->MenuOtherAboutThisprogramClick();
  EXPECT_EQ(version, U("Ver. 14.07.02"));
}

// Captions as the program's documentation gives them, byte for byte.
TEST_F(WindowTest, CaptionsAreTheProgramsOwnTexts) {
  const std::pair<const char*, const char*> actions[] = {
      {"N18", "           "},
      {"MenuFileTop", "    ファイル    "},
      {"MenuFileOpen", "開く（　HTMLﾌｧｲﾙ ）"},
      {"MenuFileSaveLocalText", "　　上書き保存"},
      {"MenuViewStdTopHeight1Line", "ﾄｯﾌﾟ画面の高さを「ｷｰﾜｰﾄﾞ」のみの「 １行 」にする"},
      {"MenuTextTop", "      「 ↓ 」 をクリックしてください 【文字処理 】   "},
      {"MenuBatchSearchRefOrg", "比較用（ オリジナル　）"},
      {"MenuToolConvertSpelChar2Entity",
       "「 加工 」画面のテキストの【 ＆lt； / ＆gt；  /  ＆amp；  / ＆quot 】 のみ を【 HTMLエンティティ 】に変換する"},
      {"MenuOtherVersion", "バージョン"},
      {"tbIndentGo", "【 ｲﾝﾃﾞﾝﾄ整形 】を実行する　"},
      {"tbPasteClipboardToText", "IE/ChromeからｸﾘｯﾌﾟﾎﾞｰﾄﾞにコピーしたHTMLソースのテキストを入力する（ 貼り付ける　）"},
      {"tbLeftPageBottom", "クリックした画面（ ペイン ）のカーソルの最終行に移動する"},
      {"tbSearchOrg", "オリジナル【　右ペイン 】の検索"},
  };
  for (auto [name, caption] : actions) {
    QAction* item = window->action(name);
    ASSERT_NE(item, nullptr) << name;
    EXPECT_EQ(item->text(), U(caption)) << name;
    if (name[0] == 't') {
      EXPECT_EQ(item->toolTip(), U(caption)) << name;
    }
  }
  EXPECT_EQ(window->CheckBoxDontSyntaxHighlight->text(), U("時間がかかるので「 色付け( Syntax Highlight ) 」しない "));
  EXPECT_EQ(window->CheckBoxLocalWordWrap->text(), U("加工用テキストをの表示を【 折り返し 】にする"));
  EXPECT_EQ(window->RadioGroupOpenCharset.box->title(), U(" 入力ﾌｧｲﾙの 【 文字ｺｰﾄﾞ  （　charset  ） 】 "));
  EXPECT_EQ(window->PGMain->tabText(0), U(" 　　　　　【 イ ン デ ン ト 加 工 処 理　】      　　　"));
  EXPECT_EQ(window->PGZ0PGMainTab01Left->tabText(0), U(" 加工用  『 ここを【  手直し  】 』"));
  EXPECT_EQ(window->PGZ1PGMainTab01Right->tabText(8), U("   内部HTML（ Ｊａvａ実行後 ）    "));
}

// ---- Search wiring ------------------------------------------------------------------------

TEST_F(WindowTest, BatchSearchAndHitListClick) {
  window->OpenHtmlFile(Q(CopyPage("namazu-nmz.sjis.html")));
  window->tbIndentGoClick();
  window->PGZ1PGMainTab01Right->setCurrentWidget(window->PGZ1PGMainTab01RightTab04Work);
  window->ComboBoxFindSrc->setEditText(U("NMZ.i 目次"));
  window->action("MenuBatchSearchResult")->trigger();
  EXPECT_EQ(window->CurrentPane, &window->pane(PaneId::Result));
  EXPECT_EQ(window->PGZ1PGMainTab01Right->currentWidget(), window->PGZ1PGMainTab01RightTab01Main);
  EXPECT_EQ(window->SearchWorkList, (QStringList{U("NMZ.i"), U("目次")}));
  EXPECT_GE(window->ComboBoxFindSrc->findText(U("NMZ.i 目次")), 0);
  gui::HitList& hits = *window->hitList(PaneId::Result);
  ASSERT_GT(hits.count(), 1);
  hits.setCurrentRow(1);
  window->ListBoxResultClick();
  EXPECT_EQ(window->LabelCommonLineNumber->text(), hits.item(1)->text());

  // Enter in the keyword box searches Work.
  window->ComboBoxFindSrcKeyDown();
  EXPECT_EQ(window->CurrentPane, &window->pane(PaneId::Work));
  EXPECT_GT(window->hitList(PaneId::Work)->count(), 0);
  window->sbFindSrcpasteClearClick();
  EXPECT_TRUE(window->ComboBoxFindSrc->currentText().isEmpty());
  EXPECT_EQ(window->hitList(PaneId::Work)->count(), 0);
  EXPECT_EQ(hits.count(), 0);
}

TEST_F(WindowTest, KeywordPasteTakesAtMostSixtyBytes) {
  window->ComboBoxFindSrc->setEditText(U("old"));
  QGuiApplication::clipboard()->setText(QString(61, QChar('a')));
  window->sbFindSrcpasteClick();
  EXPECT_EQ(window->ComboBoxFindSrc->currentText(), U("old"));
  QGuiApplication::clipboard()->setText(U("表示"));
  window->sbFindSrcpasteClick();
  EXPECT_EQ(window->ComboBoxFindSrc->currentText(), U("表示"));
  EXPECT_GE(window->ComboBoxFindSrc->findText(U("old")), 0);
}

// ---- Resizing --------------------------------------------------------------------------------

TEST_F(WindowTest, ResizeKeepsWrapAndMarginsWithoutColouringAgain) {
  window->OpenHtmlFile(Q(CopyPage("namazu-nmz.sjis.html")));
  window->tbIndentGoClick();
  gui::Pane& result = window->pane(PaneId::Result);
  ASSERT_TRUE(result.IsColoured());
  // Colouring again would take the caret back to the top.
  result.SetCaretPos(result.LineStart(40));
  window->CheckBoxLocalWordWrap->setChecked(true);
  window->resize(window->width() - 100, window->height() - 50);
  QApplication::processEvents();
  EXPECT_TRUE(result.WordWrap());
  EXPECT_EQ(result.LeftMargin(), 54);
  EXPECT_EQ(result.RightMargin(), 10);
  EXPECT_EQ(result.CaretLine(), 40);
  EXPECT_TRUE(result.IsColoured());
}

TEST_F(WindowTest, WorkPageLeftSideIs700PixelsWide) {
  QApplication::processEvents();
  EXPECT_EQ(window->SplitterWork->sizes().value(0), 700);
  window->resize(window->width() + 80, window->height());
  QApplication::processEvents();
  EXPECT_EQ(window->SplitterWork->sizes().value(0), 700);
}

TEST_F(WindowTest, TopPanelHeights) {
  window->MenuViewStdTopHeight1LineClick();
  EXPECT_EQ(window->TopPanelHeight(), 260);
  window->MenuViewStdTopHeight1LineClick();
  EXPECT_EQ(window->TopPanelHeight(), 96);
  window->tbSettingPanelOpenCloseClick();  // flag clear
  EXPECT_EQ(window->TopPanelHeight(), 82);
  window->tbSettingPanelOpenCloseClick();
  EXPECT_EQ(window->TopPanelHeight(), 260);
  window->PGMain->setCurrentWidget(window->PGMainTab02Tips);
  EXPECT_EQ(window->TopPanelHeight(), 82);
  EXPECT_EQ(window->SplitterMain->sizes().value(0), 82);
  window->sbInstructionHidedescClick();
  EXPECT_EQ(window->TopPanelHeight(), 260);
}

}  // namespace
}  // namespace zelm::test
