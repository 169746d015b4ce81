#include "app/gui/JapaneseFonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace zelm::gui {

void InstallJapaneseFontSubstitutes() {
  // Proportional faces first, as both Windows fonts are proportional; the
  // others serve where IPA fonts are missing.
  const QStringList substitutes = {"IPAPGothic", "IPAGothic", "Noto Sans CJK JP", "VL PGothic", "TakaoPGothic"};
  for (const char* name : {kWindowFontName, kPaneFontName}) {
    QFont::insertSubstitutions(QString::fromUtf8(name), substitutes);
  }
}

QFont WindowFont() {
  QFont font(QString::fromUtf8(kWindowFontName));
  font.setPointSize(kWindowFontPoints);
  return font;
}

QFont PaneFont() {
  QFont font(QString::fromUtf8(kPaneFontName));
  font.setPointSize(kPaneFontPoints);
  return font;
}

}  // namespace zelm::gui
