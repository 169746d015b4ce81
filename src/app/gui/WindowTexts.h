// The window's own texts that are not captions of a control table: titles,
// messages, page and tab captions, labels and the static guidance.
// Captions of the menus, tool bars and option boxes live in the tables of
// MainWindowTables.cpp.
#pragma once

#include <QString>

#include "app/FileCommands.h"
#include "app/gui/PaneId.h"

namespace zelm::gui::texts {

// --- Titles ---------------------------------------------------------------
inline constexpr const char* kProductLongName = "Quorvane( ZELM )";
inline constexpr const char* kVersion = "14.07.02";
inline constexpr const char* kApplicationTitle = "ZELM";
inline constexpr const char* kMenuAboutTitle = "このプログラムについて";
// The caption the window is created with.
QString CreationCaption();
// The caption of AppTitleCaption for `mode` (-1 version, 0 pasted, 1 new);
// a null string for the modes that leave the caption as it is.
QString TitleCaption(const QString& name, int mode);
// The caption of a loaded file or page.
QString FormCaption(const QString& productLongName, const QString& name);
// "Ver. 14.07.02", the version label of the about box.
QString AboutVersionLabel();

// --- Status bar -------------------------------------------------------------
inline constexpr int kStatusPanelWidths[5] = {100, 300, 200, 200, 50};
// Panel 0: "  【 " + the encoding's name + " 】".
QString EncodingPanelText(int charCode);
// Panel 1 after a save: "  【  " + name + "  】として保存されました".
QString SavedMessage(const QString& fileName);

// --- Messages ---------------------------------------------------------------
inline constexpr const char* kOverwriteQuestion = "本当に上書き保存してもいいですか？";
inline constexpr const char* kBlankPage = "about:blank";
inline constexpr const char* kFiveBlanks = "     ";
// "【 path 】が 開けません！", followed by the system's reason on a new line
// when there is one.
QString CannotOpenMessage(const QString& path, const QString& reason);
// A file holding NUL bytes is no page.
QString BinaryFileMessage(const QString& path);
// A failure of the file commands about the file `subject` (the page opened
// or saved): "【 path 】が 開けません！" with the system's reason or what was
// found, the messages of binary files and failed conversions. A write that
// failed names the file it could not write.
QString FileErrorMessage(const FileError& error, const QString& subject);
// Before a save over a file another program changed since it was read.
QString ChangedSinceReadQuestion(const QString& path);
// After a save that replaced a file with other names (hard links): they
// keep the old text.
QString OtherNamesMessage(const QString& path, std::size_t otherNames);
// Characters that did not come into Shift_JIS as they were when the page
// was read: how many, of which kind, and where the first is.
QString LoadLossMessage(const LossReport& loss);
// Before a save that would lose characters: those lost when the text was
// read and those its encoding lacks, how many of each kind and where the
// first is.
QString SaveLossQuestion(const QString& path, const LossReport& readLoss, const LossReport& saveLoss);
// A page nested too deeply to indent.
QString IndentTooDeepMessage(const QString& reason);
// The system cannot convert between the encodings.
QString EncodingFailedMessage(const QString& reason);
// Any other failure of a command.
QString CommandFailedMessage(const QString& reason);
// "<path> に書き込めません", followed by the system's reason on a new line
// when there is one.
QString SettingsWriteFailedMessage(const QString& path, const QString& reason);
// A settings file that is there but cannot be read (status panel 1).
QString SettingsUnreadableMessage(const QString& path);
// The about box's line naming the settings file.
QString AboutSettingsFileLabel(const QString& path);

// --- Pages of the main page control -----------------------------------------
inline constexpr const char* kPageIndentProcessing =
    " 　　　　　【 イ ン デ ン ト 加 工 処 理　】      　　　";
inline constexpr const char* kPageTips = "      【  タ グ 加 工 の Ｔ ｉ ｐ ｓ  】           ";
inline constexpr const char* kPageDivComment =
    " 　　　　　【  </ｄｉｖ　・ ・ コ メ ン ト ・  ・  > 」  と 「 コ メ ント 」 の 一 括 除 去    】 　　　  ";

// --- Tabs of the left and right page controls --------------------------------
inline constexpr const char* kTabLocal = " 加工用  『 ここを【  手直し  】 』";
inline constexpr const char* kTabRefOrg = " 比較用オリジナル ";
inline constexpr const char* kTabResultBrowser = " 処理結果ブラウザ ";
inline constexpr const char* kTabAnalyserBrowser = " 【 解析ブラウザ 】 ";
inline constexpr const char* kTabTemp = " チェック ";
inline constexpr const char* kTabTagCountLeft = " 主要【 要素 】数 ";
inline constexpr const char* kTabInner = "   内部HTML  ";
inline constexpr const char* kTabResult = " 処理結果 ";
inline constexpr const char* kTabWork = " 処理過程 ";
inline constexpr const char* kTabOrg = " オリジナル（ コード変換後 ）・テキスト  ";
inline constexpr const char* kTabSelected = " 選択された領域のHTML ";
inline constexpr const char* kTabOriginalBrowser = "  オリジナル・ブラウザ ";
inline constexpr const char* kTabNative = " 原文 （ コード変換前 ） テキスト  ";
inline constexpr const char* kTabHtmlTag = " ＨＴＭＬタグの要素一覧 ";
inline constexpr const char* kTabTagCountRight = " 主要【 タグ 】数 ";
inline constexpr const char* kTabInnerRight = "   内部HTML（ Ｊａvａ実行後 ）    ";

// --- Labels and buttons of the pages and the options panel -------------------
inline constexpr const char* kSelectedWordWrap = "折り返し";
inline constexpr const char* kInnerIndentButton = "内部HTMLをインデント整形する";
inline constexpr const char* kInnerRightRemoveLevel = " インデントレベルを付加して表示する ";
inline constexpr const char* kInnerHintBefore = "１度では、完全な内部HTMLソースを取得できないので、もう一度 ";
inline constexpr const char* kInnerHintAfter = "をクリックしてください  ";
inline constexpr const char* kFindLabel = "検索キーワード";
inline constexpr const char* kRemoveStartLabel = "除去する【 </div 】内のコメントの開始ﾏｰｸ ";
inline constexpr const char* kRemoveEndLabel = "終了ﾏｰｸ ";
inline constexpr const char* kGuidanceCaption = "    説明と注意  ";
// Captions the window chose where none is fixed.
inline constexpr const char* kFindPasteButton = "貼付";
inline constexpr const char* kFindClearButton = "消去";
inline constexpr const char* kMarkPasteButton = "貼付";
inline constexpr const char* kMarkClearButton = "消去";
inline constexpr const char* kGuidanceHideButton = "閉じる";
inline constexpr const char* kIgnoreExtraComment = "コメントだけの行を除く";
inline constexpr const char* kAnalyserCollapse = "解析ブラウザの表示枠の拡大／縮小";
inline constexpr const char* kAnalyserUrlLabel = "URL";

// --- Static guidance ----------------------------------------------------------
extern const char* const kGuidanceText;
extern const char* const kTipsText;
extern const char* const kDivCommentText;
extern const char* const kAboutText;

// --- Open and save dialogs -------------------------------------------------------
inline constexpr const char* kHtmlFilter = "HTML (*.html *.htm *.shtml *.xhtml);;すべてのファイル (*)";
inline constexpr const char* kTextFilter = "CSS/JavaScript/テキスト (*.css *.js *.txt);;すべてのファイル (*)";

// The name of a pane, for dialogs ("処理結果", ...).
const char* PaneTitle(PaneId pane);

}  // namespace zelm::gui::texts
