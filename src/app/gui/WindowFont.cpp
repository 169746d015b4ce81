#include "app/gui/WindowFont.h"

namespace zelm::gui {

QFont WindowFont() {
  QFont font(QString::fromUtf8(kWindowFontName));
  font.setPointSize(kWindowFontPoints);
  return font;
}

}  // namespace zelm::gui
