// The about box: the product, its version and what it does.
#pragma once

#include <QDialog>

class QLabel;

namespace zelm::gui {

class TAboutBox : public QDialog {
 public:
  explicit TAboutBox(QWidget* parent);
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;   // "Ver. 14.07.02", set by the window when it shows the box
  QLabel* Comments = nullptr;  // what the program does; further lines may follow
  QLabel* SettingsFile = nullptr;  // where the settings are kept, set by the window
};

}  // namespace zelm::gui
