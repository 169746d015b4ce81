// Everything the window asks of the person in front of it: yes/no
// questions, messages and file names. The window asks through this
// interface only, so that a test can stand in for the person and answer.
#pragma once

#include <QString>

class QWidget;

namespace zelm::gui {

class Asker {
 public:
  virtual ~Asker() = default;
  // A yes/no question; true for yes.
  virtual bool Confirm(const QString& text) = 0;
  // A message the person acknowledges.
  virtual void Tell(const QString& text) = 0;
  // The file to open; empty when the person cancels.
  virtual QString OpenFileName(const QString& folder, const QString& filter) = 0;
  // The file to save to; empty when the person cancels. Overwriting is
  // asked about by the window itself, not by the dialog.
  virtual QString SaveFileName(const QString& suggested, const QString& filter) = 0;
  // A folder, starting in `folder`; empty when the person cancels.
  virtual QString FolderName(const QString& folder) = 0;
};

// Asks with message boxes and file dialogs over `parent`.
class DialogAsker : public Asker {
 public:
  explicit DialogAsker(QWidget* parent) : parent_(parent) {}
  bool Confirm(const QString& text) override;
  void Tell(const QString& text) override;
  QString OpenFileName(const QString& folder, const QString& filter) override;
  QString SaveFileName(const QString& suggested, const QString& filter) override;
  QString FolderName(const QString& folder) override;

 private:
  QWidget* parent_;
};

}  // namespace zelm::gui
