// The tests of the panes run real widgets in one application object, on
// the offscreen platform unless another is asked for.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/TestSupport.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Nothing a test does reaches the user's own configuration: the home and
  // configuration folders are a temporary folder for the whole run.
  const zelm::test::TempDir home;
  qputenv("HOME", QByteArray::fromStdString(home.path().string()));
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((home / "config").string()));
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
