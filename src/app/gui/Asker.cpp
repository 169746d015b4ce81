#include "app/gui/Asker.h"

#include <QFileDialog>
#include <QMessageBox>

#include "app/gui/WindowTexts.h"

namespace zelm::gui {

bool DialogAsker::Confirm(const QString& text) {
  return QMessageBox::question(parent_, QString::fromUtf8(texts::kApplicationTitle), text,
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void DialogAsker::Tell(const QString& text) {
  QMessageBox::information(parent_, QString::fromUtf8(texts::kApplicationTitle), text);
}

QString DialogAsker::OpenFileName(const QString& folder, const QString& filter) {
  return QFileDialog::getOpenFileName(parent_, QString(), folder, filter);
}

QString DialogAsker::SaveFileName(const QString& suggested, const QString& filter) {
  return QFileDialog::getSaveFileName(parent_, QString(), suggested, filter, nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

QString DialogAsker::FolderName(const QString& folder) {
  return QFileDialog::getExistingDirectory(parent_, QString(), folder);
}

}  // namespace zelm::gui
