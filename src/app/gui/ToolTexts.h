// The window's texts of the tools: the source windows, the default folder
// of the settings menu, and the status messages of the entity conversion.
// (The words of the structure checks are the engine's labels of
// app/AnalysisTexts.h.)
#pragma once

#include <QString>

namespace zelm::gui::texts {

// --- Source windows -----------------------------------------------------------
inline constexpr const char* kSourceWindowTitle = "インデント整形されたHTMLソース";
inline constexpr const char* kSearchWindowTitle = "HTMLソースのキーワード検索";
inline constexpr const char* kStorePlacementButton = "この位置に、このｻｲｽﾞで出現させる";
inline constexpr const char* kOpenSearchWindowButton = "キーワード検索ウインドウで開く";
inline constexpr const char* kSearchButton = "検索";
inline constexpr const char* kPlacementStored = "位置とサイズを保存しました";
// The position cannot be kept while there is no settings file.
inline constexpr const char* kNoSettingsFileForPlacement =
    "設定ファイルがまだないため、位置とサイズを保存できませんでした。\n"
    "「設定」の「設定を保存する」で設定ファイルを作ってから、もう一度押してください。";
// A source window's title: its own, then the file shown, when there is one.
QString SourceTitle(const char* title, const QString& fileName);

// --- Default folder -------------------------------------------------------------
// "規定ﾌｫﾙﾀﾞｰ： " + the folder, or that none is set.
QString DefaultFolderMessage(const QString& folder);

// --- Settings file -------------------------------------------------------------------
// "<path> に書き込めません", with the system's reason on a new line when known.
QString CannotWriteSettingsMessage(const QString& path, const QString& reason);

// --- CSS colour list ---------------------------------------------------------------
inline constexpr const char* kNoCssColours = "  CSSに色の指定はありませんでした";

// --- Entity conversion -------------------------------------------------------------
// Status panel 1 when characters without a code point stayed as they were.
QString KeptAsIsMessage(int count, int line);

}  // namespace zelm::gui::texts
