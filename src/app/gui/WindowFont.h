// The window's font, "ＭＳ Ｐゴシック" at 9 points, which does not exist on
// Linux: InstallJapaneseFontSubstitutes (RichEditEx.h) maps the name to an
// installed Japanese font, as it does the panes' "MS UI Gothic".
#pragma once

#include <QFont>

namespace zelm::gui {

inline constexpr const char* kWindowFontName = "ＭＳ Ｐゴシック";
inline constexpr int kWindowFontPoints = 9;

QFont WindowFont();

}  // namespace zelm::gui
