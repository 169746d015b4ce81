#include "app/gui/MainWindowTables.h"

#include <array>

namespace zelm::gui {
namespace {

using M = TAMainForm;
constexpr auto Bar = MenuRole::Bar;
constexpr auto Spacer = MenuRole::Spacer;
constexpr auto Item = MenuRole::Item;
constexpr auto Check = MenuRole::Check;
constexpr auto Heading = MenuRole::Heading;

// The menu bar and its items, in menu order.
const MenuEntry kMenu[] = {
    {"N18", "           ", Spacer, nullptr},
    {"MenuFileTop", "    ファイル    ", Bar, nullptr},
    {"MenuFileNew", "新規", Item, &M::MenuFileNewClick},
    {"MenuFileOpen", "開く（　HTMLﾌｧｲﾙ ）", Item, &M::MenuFileOpenClick},
    {"N9", "処理結果", Heading, nullptr},
    {"MenuFileSaveLocalText", "　　上書き保存", Item, &M::MenuFileSaveLocalTextClick},
    {"MenuFileSaveAsLocalText", "　　名前を付けて保存", Item, &M::MenuFileSaveAsLocalTextClick},
    {"N11", " 加工用【 整形済 】", Heading, &M::N11Click},
    {"MenuFileLSaveAsLocallText", "　　名前を付けて保存", Item, &M::MenuFileLSaveAsLocallTextClick},
    {"MenuFileTXTCSSJSDescription", "通常（CSS/JSのコード変換等に使用 ）", Heading, &M::MenuFileTXTCSSJSDescriptionClick},
    {"MenuFileOpenTXTCSSJS", "　　開く", Item, &M::MenuFileOpenTXTCSSJSClick},
    {"MenuFileSaveTxtCSSJS", "　　上書き保存", Item, &M::MenuFileSaveTxtCSSJSClick},
    {"MenuFileSaveAsTxtCSSJSlText", "　　名前を付けて保存", Item, &M::MenuFileSaveAsTxtCSSJSlTextClick},
    {"MenuFileSaveReffOrgFile", "比較用オリジナル（　文字コード変換／タグの小文字変換 ）", Heading, &M::MenuFileSaveReffOrgFileClick},
    {"MenuFileOpenRefOrgFile", "　　開く", Item, &M::MenuFileOpenRefOrgFileClick},
    {"MenuFileSaveRefOrgFile", "　　上書き保存", Item, &M::MenuFileSaveRefOrgFileClick},
    {"MenuFileSaveAsRefOrgFile", "　　名前を付けて保存", Item, &M::MenuFileSaveAsRefOrgFileClick},
    {"MenuFileClose", "終了", Item, &M::MenuFileCloseClick},
    {"MenuEditTop", "    編集    ", Bar, nullptr},
    {"MenuLoadFromRefOrg", "修正した「 比較用オリジナル 」から「 加工用 」へ読み込む", Item, &M::MenuLoadFromRefOrgClick},
    {"MenuLoadFromRefOrgThru", "「 比較用オリジナル 」から「 加工用 」へ、変更せず【 そのまま 】読み込む", Item, &M::MenuLoadFromRefOrgThruClick},
    {"MenuEditLoadFromInnerHTML", "「 内部ＨＴＭＬ 」から「 加工用 」へ読み込む", Item, &M::MenuEditLoadFromInnerHTMLClick},
    {"MenuEditSelectAll", "クリップボードに入っているテキストを、「 加工 」画面に貼り付ける", Item, &M::MenuEditSelectAllClick},
    {"MenuViewTop", "    表示    ", Bar, nullptr},
    {"MenuViewmaximized", "最大表示", Check, &M::MenuViewmaximizedClick},
    {"MenuViewStdTopHeight1Line", "ﾄｯﾌﾟ画面の高さを「ｷｰﾜｰﾄﾞ」のみの「 １行 」にする", Check, &M::MenuViewStdTopHeight1LineClick},
    {"MenuViewSartScreen", "起動時の画面を【 解析ブラウザ 】にする", Check, &M::MenuViewSartScreenClick},
    {"N13", "     ", Spacer, nullptr},
    {"MenuTextTop", "      「 ↓ 」 をクリックしてください 【文字処理 】   ", Bar, nullptr},
    {"MenuTextDoIndentGo", "インデント加工を実行する", Item, &M::MenuTextDoIndentGoClick},
    {"MenuTextTextSrc", "加工ソース", Heading, nullptr},
    {"MenuTextTextSrcReColor", "　　　色分け・再表示", Item, &M::MenuTextTextSrcReColorClick},
    {"MenuTextTextRst", "処理結果", Heading, nullptr},
    {"MenuTextTextRstRecolor", "　　　元に戻して色分け・再表示", Item, &M::MenuTextTextRstRecolorClick},
    {"N8", "処理過程", Heading, nullptr},
    {"MenuTextTextPrcRecolor", "　　　元に戻して色分け・再表示", Item, &M::MenuTextTextPrcRecolorClick},
    {"N16", "オリジナル（ コード変換後 ）", Heading, nullptr},
    {"MenuTextTextOrgRecolor", "　　　元に戻して色分け・再表示", Item, &M::MenuTextTextOrgRecolorClick},
    {"MenuBatchSearchTop", "    一括検索    ", Bar, nullptr},
    {"MenuBatchSearchResult", "処理結果", Item, &M::MenuBatchSearchResultClick},
    {"MenuBatchSearchWork", "処理過程", Item, &M::MenuBatchSearchWorkClick},
    {"MenuBatchSearchLocal", "加工（タグ整理）", Item, &M::MenuBatchSearchLocalClick},
    {"MenuBatchSearchRefOrg", "比較用（ オリジナル　）", Item, &M::MenuBatchSearchRefOrgClick},
    {"MenuBatchSearchOrg", "オリジナル【 右ペイン 】", Item, &M::MenuBatchSearchOrgClick},
    {"MenuBatchSearchNative", "原文", Item, &M::MenuBatchSearchNativeClick},
    {"MenuBatchSearchTemp", "チェック用", Item, &M::MenuBatchSearchTempClick},
    {"MenuBatchSearchInnerRight", "内部HTML", Item, &M::MenuBatchSearchInnerRightClick},
    {"MenuSettingsTop", "    設定    ", Bar, nullptr},
    {"ManuSettingsSave", "設定を保存する", Item, &M::ManuSettingsSaveClick},
    {"MenuSettingsSetDefautFolder", "規定ﾌｫﾙﾀﾞｰを設定する", Item, &M::MenuSettingsSetDefautFolderClick},
    {"MenuSettingsRemoveDefaultFolder", "規定ﾌｫﾙﾀﾞｰを解除する", Item, &M::MenuSettingsRemoveDefaultFolderClick},
    {"MenuSettingsViewDefaultFolder", "規定ﾌｫﾙﾀﾞｰを確認する", Item, &M::MenuSettingsViewDefaultFolderClick},
    {"MenuSettingsReInitialize", "初期状態に戻す", Check, &M::MenuSettingsReInitializeClick},
    {"MenuToolTop", "    ツール      ", Bar, nullptr},
    {"MenuToolCountBlockTagOriginal", "オリジナルの主要な要素【 「例： ｄｉｖ／table／・・ 等 】の記述個数をカウントし、リストする", Item, &M::MenuToolCountBlockTagOriginalClick},
    {"MenuToolCountTag", "「 加工　」画面 の 主要な要素【 「例： ｄｉｖ／table／・・ 等 】の記述個数をカウントし、リストする", Item, &M::MenuToolCountTagClick},
    {"MenuToolTagLevelCount", "「 インデント・レベル表示 」要素（　例：</ｄｉｖ>  </ｔａｂｌｅ>・・等 ）が、【 行頭となっていない 】行をリストする", Item, &M::MenuToolTagLevelCountClick},
    {"MenuToolTagLevelListExceptDiv", "【 </ｄｉｖ> 】 以外の「 インデント・レベル表示 」要素の行をリストする", Item, &M::MenuToolTagLevelListExceptDivClick},
    {"MenuToolMakeSkelton", "「 <div >　　・・　</div> 」の入れ子（ ネスト ）構造の【 スケルトン（ 骨格 ） 】をリストする", Item, &M::MenuToolMakeSkeltonClick},
    {"MenuToolMakeSkeltonDetail", "入れ子（ ネスト ）構造の【 サマリー】をリストする", Item, &M::MenuToolMakeSkeltonDetailClick},
    {"MenuTooBatchInsertResultDivAttr", "右画面【     処理結果      】のテキストの 『 </ｄｉｖ> に コメント 記入用のマーク【 ＠-- ・・ --＠ 】 を 一括挿入する", Item, &M::MenuTooBatchInsertResultDivAttrClick},
    {"MenuTooBatchInsertOrgDivAttr", "左画面【 比較用オリジナル 】のテキストの 『 </ｄｉｖ> に コメント 記入用のマーク【 ＠-- ・・ --＠ 】 を 一括挿入する", Item, &M::MenuTooBatchInsertOrgDivAttrClick},
    {"MenuToolBatchRemoveDontAppendText", "　　　コメントとして【「　■■■■  】を” 自動的に ” 付加しない（ チェックを入れると、” そのまま ” で 一括挿入　）", Check, &M::MenuToolBatchRemoveDontAppendTextClick},
    {"MenuToolBatchRemoveResultDivAttr", "処理結果の 『 </ｄｉｖ内の コメント『　例 【＿＠－－ ・・ －－＠＿　】  』 を 一括除去する", Item, &M::MenuToolBatchRemoveResultDivAttrClick},
    {"MenuToolBatchRemoveOrgDivAttr", "左画面【 比較用オリジナル 】のテキストの 『 </ｄｉｖ内の　コメント 「　例 【＿＠－－ ・・ －－＠＿　】 』  を 一括除去する", Item, &M::MenuToolBatchRemoveOrgDivAttrClick},
    {"MenuToolbatchRemoveDontAppendSpace", "　　　前後の【「　半角空白 】を”” 自動的に ” 付加しない（ チェックを入れると、” そのまま ” で 一括削除　）", Check, &M::MenuToolbatchRemoveDontAppendSpaceClick},
    {"MenuToolBatchReplaceResultComment", "処理結果のテキストの 『 </ｄｉｖのコメント【 ＠-- ・・ --＠ 】を【 </div><!-- ・・  -> 】 に 一括置換する", Item, &M::MenuToolBatchReplaceResultCommentClick},
    {"MenuToolReplaceOrgDivComment", "左画面【 比較用オリジナル 】のテキストの 『 </ｄｉｖのコメント【 ＠-- ・・ --＠ 】を【 </div><!-- ・・  ->」 】  に 一括置換する", Item, &M::MenuToolReplaceOrgDivCommentClick},
    {"MenuTooBatchReplaceDontAppendSpace", "　　　前後の【「　半角空白 】を” 自動的に ” 付加しない（ チェックを入れると、” そのまま ” で 一括置換　）", Check, &M::MenuTooBatchReplaceDontAppendSpaceClick},
    {"MenuToolRemoveLeadingSpace", "クリックした画面（ ペイン ）の　【 選択した 】テキストの行頭からの【 半角 】ｽﾍﾟｰｽを除去する", Item, &M::MenuToolRemoveLeadingSpaceClick},
    {"MenuToolRemveZSP", "クリックした画面（ ペイン ）の　【 選択した 】テキストの行頭からの【 全角 】ｽﾍﾟｰｽを除去する", Item, &M::MenuToolRemveZSPClick},
    {"MenuToolConvertAllChar2Entity", "「 加工 」画面のテキスト【 全文字 】を【 HTMLエンティティ 】に変換する", Item, &M::MenuToolConvertAllChar2EntityClick},
    {"MenuToolConvertSpelChar2Entity", "「 加工 」画面のテキストの【 ＆lt； / ＆gt；  /  ＆amp；  / ＆quot 】 のみ を【 HTMLエンティティ 】に変換する", Item, &M::MenuToolConvertSpelChar2EntityClick},
    {"MenuToolEntityList", "【 HTMLエンティティ 】の一覧表を表示する", Item, &M::MenuToolEntityListClick},
    {"MenuIherTop", "    その他    ", Bar, nullptr},
    {"MenuOtherAboutThisprogram", "このプログラムについて", Item, &M::MenuOtherAboutThisprogramClick},
    {"MenuOtherVersion", "バージョン", Item, &M::MenuOtherVersionClick},
};

constexpr auto File = ToolKind::File;
constexpr auto Process = ToolKind::Process;
constexpr auto View = ToolKind::View;
constexpr auto Search = ToolKind::Search;
constexpr auto Web = ToolKind::Web;
constexpr auto Tool = ToolKind::Tool;

// The buttons of both tool bars, in order.
const ToolEntry kTools[] = {
    {"tbAllClient", "画面の最大化・通常に戻す ", "□", View, 1, false, &M::tbAllClientClick},
    {"tbClose", "終了する", "×", View, 1, false, &M::tbCloseClick},
    {"tbSettingPanelOpenClose", "テキスト画面（ペイン）の表示枠の拡大／縮小", "↕", View, 1, false, &M::tbSettingPanelOpenCloseClick},
    {"tbOpenFile", "HTMLﾌｧｲﾙを開く", "開", File, 1, true, &M::tbOpenFileClick},
    {"tbSaveLocalIEOpen", "開いたHTMLﾌｧｲﾙをＩＥで表示する", "元", Web, 1, false, &M::tbSaveLocalIEOpenClick},
    {"tbLocalReDisplay", "クリックした画面（ ペイン ）を色分け再表示する（ 入力設定による ）", "色", View, 1, false, &M::tbLocalReDisplayClick},
    {"tbOpeIEWithRefOrg", "比較用オリジナルをＩＥで表示する", "比", Web, 1, false, &M::tbOpeIEWithRefOrgClick},
    {"tbIndentGo", "【 ｲﾝﾃﾞﾝﾄ整形 】を実行する　", "整", Process, 1, true, &M::tbIndentGoClick},
    {"tbResultTempFileOpenIE", "ローカル・ファイルのインデント処理結果をＩＥで表示する", "結", Web, 1, false, &M::tbResultTempFileOpenIEClick},
    {"tbIndentRedisplay", "クリックした画面（ ペイン ）を色分け再表示する（ 結果設定による ）", "彩", View, 1, false, &M::tbIndentRedisplayClick},
    {"tbNewWindow", "新ウインドウでインデント整形されたHTMLソースを表示する", "窓", Tool, 1, false, &M::tbNewWindowClick},
    {"tbMakeSkelton", "入れ子構造のスケルトンを表示する", "骨", Tool, 1, true, &M::tbMakeSkeltonClick},
    {"btTestOnly", "主要な要素数の記述数を一覧表示する", "数", Tool, 1, false, &M::btTestOnlyClick},
    {"tbResetIndent", "処理過程・処理結果をクリアする", "消", Process, 1, true, &M::tbResetIndentClick},
    {"tbFilenew", "全テキストをクリアし、ファイルを閉じ、新規状態にする", "新", File, 1, false, &M::tbFilenewClick},
    {"tbCOPYFromResultText", "クリックした画面のテキストをｸﾘｯﾌﾟﾎﾞｰﾄﾞにコピーする", "写", File, 1, true, &M::tbCOPYFromResultTextClick},
    {"tbPasteClipboardToText", "IE/ChromeからｸﾘｯﾌﾟﾎﾞｰﾄﾞにコピーしたHTMLソースのテキストを入力する（ 貼り付ける　）", "貼", File, 1, false, &M::tbPasteClipboardToTextClick},
    {"tbSaveAs", "クリックした画面のテキストを名前を付けて保存する", "保", File, 1, false, &M::tbSaveAsClick},
    {"tbOpenByIE", "既存のHTMLﾌｧｲﾙをＩＥで表示する", "見", Web, 1, true, &M::tbOpenByIEClick},
    {"tbPaste2Local", "エンティティ変換等のため、直接【 加工画面  】に貼り付ける", "直", File, 1, false, &M::tbPaste2LocalClick},
    {"tbLeftpageTop", "クリックした画面（ ペイン ）のカーソルを１行目に移動する", "▲", View, 2, false, &M::tbLeftpageTopClick},
    {"tbLeftPageBottom", "クリックした画面（ ペイン ）のカーソルの最終行に移動する", "▼", View, 2, false, &M::tbLeftPageBottomClick},
    {"tbMakecssColorList", "ＣＳＳ内に記述されているカラーリスト表示", "CSS", Tool, 2, true, &M::tbMakecssColorListClick},
    {"tbsearchCollapseExpand", "テキスト画面（ペイン）の表示枠の拡大／縮小", "↕", View, 2, true, &M::tbsearchCollapseExpandClick},
    {"tbSearchLocal", "加工用テキストの検索", "加", Search, 2, false, &M::tbSearchLocalClick},
    {"tbSearchRefOrg", "比較用オリジナル【 左ペイン 】の検索", "比", Search, 2, false, &M::tbSearchRefOrgClick},
    {"tbSearchTemp", "チェックの検索", "チ", Search, 2, false, &M::tbsearchTempClick},
    {"tbSearchReasult", "処理結果の検索", "結", Search, 2, true, &M::tbSearchReasultClick},
    {"tbSearchWork", "処理過程の検索", "過", Search, 2, false, &M::tbSearchWorkClick},
    {"tbSearchOrg", "オリジナル【　右ペイン 】の検索", "オ", Search, 2, false, &M::tbSearchOrgClick},
    {"tbSearchNative", "原文の検索", "原", Search, 2, false, &M::tbSearchNativeClick},
    {"tbSearchInner", "内部HTMLﾃｷｽﾄの検索", "内", Search, 2, false, &M::tbSearchInnerClick},
    {"tbRightPageTop", "クリックした画面（ ペイン ）のカーソルを１行目に移動する", "▲", View, 2, true, &M::tbRightPageTopClick},
    {"tbRightPageBottom", "クリックした画面（ ペイン ）のカーソルを最終行に移動する", "▼", View, 2, false, &M::tbRightPageBottomClick},
};

constexpr auto C1 = BoxPlace::Column1;
constexpr auto C2 = BoxPlace::Column2;

// The option check boxes of the options panel.
const CheckEntry kCheckBoxes[] = {
    {"CheckBoxAutoloadFile", "存在するファイルを自動ロードする　", &M::CheckBoxAutoloadFile, C1},
    {"CheckBoxImmediateGo", "【 開く 】 または 【  貼り付ける 】と、直ちにインデント処理を実行する", &M::CheckBoxImmediateGo, C1},
    {"CheckBoxConvertUpperLower", "タグの大文字を【 小文字 】に変換し、余分な空白行を除去する", &M::CheckBoxConvertUpperLower, C1},
    {"CheckBoxDontPreprocessing", "オリジナルの行通りに整形する（ 前処理しない　）", &M::CheckBoxDontPreprocessing, C1},
    {"CheckBoxDivCommentConcat", "「 </div>行 」と次行の「 <!--  」を結合して１行にする", &M::CheckBoxDivCommentConcat, C1},
    {"CheckBoxDontSyntaxHighlight", "時間がかかるので「 色付け( Syntax Highlight ) 」しない ", &M::CheckBoxDontSyntaxHighlight, C1},
    {"CheckBoxOpenIEOriginal", "開いたＨＴＭＬﾌｧｲﾙを内蔵ブラウザで表示する", &M::CheckBoxOpenIEOriginal, C1},
    {"CheckBoxOpenIEResult", "処理結果を内蔵ブラウザで表示する", &M::CheckBoxOpenIEResult, C1},
    {"CheckBoxResultPageChange", "ブラウザのページを前面に出現させる", &M::CheckBoxResultPageChange, C1},
    {"CheckBoxWorkProcessPageChange", "処理後に、処理過程ページを表示する", &M::CheckBoxWorkProcessPageChange, C2},
    {"CheckBoxSearchBeforeBlack", "検索時テキスト全体を【 黒字 】にする", &M::CheckBoxSearchBeforeBlack, C2},
    {"CheckBoxLocalIndivlCSSColorDupIgnore", "CSSの色一覧において重複を除去し、昇順にリストする", &M::CheckBoxLocalIndivlCSSColorDupIgnore, C2},
    {"CheckBoxLocalWordWrap", "加工用テキストをの表示を【 折り返し 】にする", &M::CheckBoxLocalWordWrap, C2},
    {"CheckBoxDontInputSpacing", "表示枠全体に表示する＝【 行末余白を除去 】", &M::CheckBoxDontInputSpacing, C2},
    {"CheckBoxInputTextBlack", "クリックした画面（ ペイン ）文字色を【 黒 】とする", &M::CheckBoxInputTextBlack, C2},
    {"CheckBoxResultWordWrap", "処理結果・処理過程の表示を【 折り返し 】にする", &M::CheckBoxResultWordWrap, C2},
    {"CheckBoxDontOutputSpacing", "表示枠全体に表示する＝【 行末余白を除去 】", &M::CheckBoxDontOutputSpacing, C2},
    {"CheckBoxUseAnalyser", "", &M::CheckBoxUseAnalyser, BoxPlace::Hidden},
    {"CheckBoxDontCommentOut", "", &M::CheckBoxDontCommentOut, BoxPlace::Hidden},
    {"CheckBoxOuttWordWrap", "", &M::CheckBoxOuttWordWrap, BoxPlace::HiddenSet},
    {"CheckBoxOUtDontOutputSpacing", "", &M::CheckBoxOUtDontOutputSpacing, BoxPlace::HiddenSet},
};

constexpr const char* kOpenCharsetItems[] = {"自動", "euc-jp", "utf-8", "Shift_JIS", "ISO-2022", "utf-8N"};
constexpr const char* kSaveCharSetItems[] = {"自動", "Shift_JIS", "utf-8"};
constexpr const char* kIndentTypeItems[] = {"【 ２ 】文字のｽﾍﾟｰｽ", "【 ４ 】文字のｽﾍﾟｰｽ", "【  Ｔａｂ  】", "左詰め"};

const RadioEntry kRadioGroups[] = {
    {"RadioGroupOpenCharset", " 入力ﾌｧｲﾙの 【 文字ｺｰﾄﾞ  （　charset  ） 】 ", &M::RadioGroupOpenCharset, kOpenCharsetItems},
    {"RadioGroupSaveCharSet", " 保存ﾌｧｲﾙの 【 文字ｺｰﾄﾞ （　charset  ）  】  ", &M::RadioGroupSaveCharSet, kSaveCharSetItems},
    {"RadioGroupIndentType", "  ｲﾝﾃﾞﾝﾄの形式   ", &M::RadioGroupIndentType, kIndentTypeItems},
};

const PaneEntry kPanes[] = {
    {PaneId::Org, "RichEditOrg", "PanelPGZ1PGMainTab01RightTab03Org", "ListBoxPGZ1PGMainTab01RightTab03Org", false, &M::RichEditOrgClick, &M::ListBoxOrgClick},
    {PaneId::Native, "RichEditNative", "PanelPGZ1PGMainTab01RightTab06Native", "ListBoxPGZ1PGMainTab01RightTab06Native", false, &M::RichEditNativeClick, &M::ListBoxNativeClick},
    {PaneId::Local, "RichEditLocal", "PanelPGZ0PGMainTab01LeftTab01Main", "ListBoxPGMainTab01LeftTab01Main", false, &M::RichEditLocalClick, &M::ListBoxLocalClick},
    {PaneId::Result, "RichEditResult", "PanelPGZ1PGMainTab01RightTab01Main", "ListBoxPGMainTab0RightTab01Main", false, &M::RichEditResultClick, &M::ListBoxResultClick},
    {PaneId::Selected, "RichEditSelected", "PanelPGZ1PGMainTab01RightTab05Selected", "ListBoxPGZ1PGMainTab01RightTab05Selected", true, &M::RichEditSelectedClick, &M::ListBoxSelectedClick},
    {PaneId::RefOrg, "RichEditRefOrg", "PanelPGZ0PGMainTab01LeftTab02RefOrg", "ListBoxPGMainTab01LeftTab02RefOrg", false, &M::RichEditRefOrgClick, &M::ListBoxRefOrgClick},
    {PaneId::Work, "RichEditWork", "PanelPGZ1PGMainTab01RightTab04Work", "ListBoxPGMainTab0RightTab04Work", false, &M::RichEditWorkClick, &M::ListBoxWorkClick},
    {PaneId::Temp, "RichEditTemp", "PanelPanelPGZ0PGMainTab01LeftTab05Temp", "ListBoxPGMainTab01LeftTab05Temp", false, &M::RichEditTempClick, &M::ListBoxTempClick},
    {PaneId::Inner, "RichEditInner", "PanelPanelPGZ0PGMainTab01LeftTab07Inner", nullptr, false, &M::RichEditInnerClick, nullptr},
    {PaneId::InnerRight, "RichEditInnerRight", "PanelPGZ1PGMainTab01RightTab09Inner", "ListBoxInnerRight", false, &M::RichEditInnerRightClick, &M::ListBoxInnerRightClick},
};

}  // namespace

std::span<const MenuEntry> MenuTable() { return kMenu; }
std::span<const ToolEntry> ToolTable() { return kTools; }
std::span<const CheckEntry> CheckBoxTable() { return kCheckBoxes; }
std::span<const RadioEntry> RadioGroupTable() { return kRadioGroups; }
std::span<const PaneEntry> PaneTable() { return kPanes; }

const PaneEntry& PaneEntryOf(PaneId id) { return kPanes[Index(id)]; }

}  // namespace zelm::gui
