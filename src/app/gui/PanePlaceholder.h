// A plain-text stand-in for the line-numbered coloured pane, until the pane
// itself is merged in. It keeps only what the window needs to run.
#pragma once

#include <QPlainTextEdit>

namespace zelm::gui {

class PanePlaceholder : public QPlainTextEdit {
 public:
  explicit PanePlaceholder(QWidget* parent) : QPlainTextEdit(parent) {}
  bool colourCurrent = false;
  int leftMargin = -1;
  int rightMargin = -1;
};

}  // namespace zelm::gui
