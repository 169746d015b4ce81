// Helpers of the pane tests: a shown pane of a known size, painted, and
// Shift_JIS pages of the test data as the window puts them into panes.
#pragma once

#include <QApplication>
#include <QTest>

#include <memory>
#include <string>

#include "app/gui/RichEditEx.h"
#include "support/TestSupport.h"

namespace zelm::test {

// A pane in a window of its own, shown and painted once.
inline std::unique_ptr<gui::RichEditEx> ShownPane(int width = 600, int height = 400) {
  auto pane = std::make_unique<gui::RichEditEx>();
  pane->SetLineNumbers(true);
  pane->resize(width, height);
  pane->show();
  if (!QTest::qWaitForWindowExposed(pane.get())) ADD_FAILURE() << "the pane was not shown";
  return pane;
}

// Lets the pane paint what it shows now, as the event loop would.
inline void Paint(gui::RichEditEx& pane) {
  QApplication::processEvents();
  pane.viewport()->repaint();
  QApplication::processEvents();
}

// "line N" CR LF, N from 1 to count.
inline std::string NumberedLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

}  // namespace zelm::test
