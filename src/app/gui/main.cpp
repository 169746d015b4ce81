// zelm: the desktop program. `zelm [FILE]` opens the window, and the page
// when one is named.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTimer>

#include "app/gui/RichEditEx.h"
#include "app/gui/WindowFont.h"
#include "app/gui/MainWindow.h"
#include "app/gui/WindowTexts.h"

int main(int argc, char* argv[]) {
  // On Windows the program initialised OLE for its thread and set the
  // floating-point control word to 0x133F for the embedded browsers before
  // any window existed. Neither has a meaning here: no COM, and Linux masks
  // floating-point exceptions by default. Nor do window classes: Qt
  // registers what it needs itself.
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(zelm::gui::texts::kApplicationTitle));
  QApplication::setApplicationVersion(QString::fromUtf8(zelm::gui::texts::kVersion));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/zelm.svg")));
  QApplication::setDesktopFileName(QStringLiteral("zelm"));
  zelm::gui::InstallJapaneseFontSubstitutes();
  QApplication::setFont(zelm::gui::WindowFont());

  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Re-indents HTML pages (Shift_JIS, EUC-JP, ISO-2022-JP, UTF-8) and shows the original, the prepared "
      "and the indented text side by side.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("FILE", "the HTML page to open");
  parser.process(application);

  // The about box is made when it is shown; the source windows come with
  // the tools.
  zelm::gui::TAMainForm window;
  window.show();
  const QStringList files = parser.positionalArguments();
  if (!files.isEmpty()) {
    QTimer::singleShot(0, &window, [&window, file = files.first()] { window.OpenHtmlFile(file); });
  }
  return application.exec();
}
