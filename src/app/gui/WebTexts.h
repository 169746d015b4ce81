// The window's texts of the browsers and the analyser: the analyser's tool
// buttons and the messages of its status bar.
#pragma once

#include <QString>

#include "web/PageSource.h"

namespace zelm::gui::texts {

// --- The analyser's tool bar -------------------------------------------------
inline constexpr const char* kAnalyserGo = "アドレス（ URL ）またはファイルを解析ブラウザに読み込む";
inline constexpr const char* kAnalyserOpenFile = "HTMLﾌｧｲﾙを選んで解析ブラウザに読み込む";
inline constexpr const char* kAnalyserStop = "読み込みを中止する";
inline constexpr const char* kAnalyserInnerHtml = "内部HTML（ Ｊａvａ実行後 ）を読み込む";
inline constexpr const char* kAnalyserBrowseMode =
    "ブラウズモード： リンクをたどる（ 解除すると、リンクをたどらずに、クリックした要素のHTMLを表示する ）";
inline constexpr const char* kAnalyserOpenByBrowser = "解析ブラウザのページを既定のブラウザで表示する";

// In place of a browser that cannot run.
inline constexpr const char* kBrowsersNeedSandbox =
    "内蔵ブラウザは、root（ 管理者 ）で起動すると Chromium のサンドボックスが働かないため、表示しません。\n"
    "一般ユーザーで起動してください。サンドボックスなしで使うときは、環境変数 QTWEBENGINE_DISABLE_SANDBOX=1 "
    "を設定して起動します。\n"
    "解析ブラウザのアドレス欄からの読み込みは、ブラウザなしでも、ページのソースを【 加工用 】などに読み込みます。";

// --- Status bar ----------------------------------------------------------------
// While a page's source is read: "【 address 】を 読み込んでいます …".
QString AnalyserLoadingMessage(const QString& address);
// A page loaded without frames.
QString AnalyserLoadedMessage(const QString& address);
// A page loaded that is a frameset (kFramesetPage) or holds inline frames
// (kInlineFramePage).
QString FramePageMessage(int frameKind);
// Why a page's source could not be loaded: stopped by the person, timed out
// (with the limits), an HTTP status, a file that cannot be read, or any
// other reason the system gives.
QString AnalyserFailedMessage(const QString& address, const PageSource& source, const DownloadOptions& options);
// The page's HTML after its scripts had characters without a Shift_JIS
// form: how many became "?" and the line of the first.
QString InnerHtmlLossMessage(std::size_t count, std::size_t line);
// A page whose source is empty.
QString AnalyserEmptyMessage(const QString& address);
// The external-browser commands: nothing to show, or no browser for it.
QString NoFileToShowMessage(const QString& what);
QString CannotShowInBrowserMessage(const QString& path);
inline constexpr const char* kNoLoadedFile = "開いたHTMLﾌｧｲﾙ";
inline constexpr const char* kNoResultFile = "インデント処理結果のﾌｧｲﾙ（ ZZ_tmp.html ）";
inline constexpr const char* kNoRefOrgText = "比較用オリジナルのテキスト";
inline constexpr const char* kNoAnalyserPage = "解析ブラウザのページ";

}  // namespace zelm::gui::texts
