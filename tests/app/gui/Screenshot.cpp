// zelm-screenshot PAGE OUT.png: opens the page in the main window, indents
// it, and saves a picture of the window with the Result pane in front.
// Run it under a display server (xvfb-run -a) so that the picture shows
// what a desktop shows; it makes the screenshot of the README.
#include <QApplication>
#include <QPixmap>
#include <QTest>
#include <cstdio>

#include "app/gui/RichEditEx.h"
#include "app/gui/WindowFont.h"
#include "app/gui/MainWindow.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: zelm-screenshot PAGE OUT.png\n");
    return 2;
  }
  zelm::gui::InstallJapaneseFontSubstitutes();
  QApplication::setFont(zelm::gui::WindowFont());
  zelm::gui::TAMainForm window;
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  window.OpenHtmlFile(QString::fromLocal8Bit(argv[1]));
  window.tbIndentGoClick();
  QTest::qWait(300);
  if (!window.grab().save(QString::fromLocal8Bit(argv[2]))) return 1;
  return 0;
}
