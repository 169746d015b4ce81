// The Windows fonts the window is drawn in ("ＭＳ Ｐゴシック" for the window,
// "MS UI Gothic" for the panes) do not exist on Linux: their names are
// mapped to an installed Japanese font, so that no text shows as boxes.
#pragma once

#include <QFont>

namespace zelm::gui {

inline constexpr const char* kWindowFontName = "ＭＳ Ｐゴシック";
inline constexpr int kWindowFontPoints = 9;
inline constexpr const char* kPaneFontName = "MS UI Gothic";
inline constexpr int kPaneFontPoints = 13;

// Makes Qt resolve the two Windows names to IPA (P)Gothic, or another
// installed Japanese font. Call once after the application object exists.
void InstallJapaneseFontSubstitutes();

// The window font and the pane font, under their Windows names.
QFont WindowFont();
QFont PaneFont();

}  // namespace zelm::gui
