#include "app/gui/AboutBox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/gui/WindowTexts.h"

namespace zelm::gui {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QString::fromUtf8(texts::kMenuAboutTitle));
  auto* layout = new QVBoxLayout(this);
  ProductName = new QLabel(QString::fromUtf8(texts::kProductLongName), this);
  QFont big = ProductName->font();
  big.setPointSize(big.pointSize() + 5);
  big.setBold(true);
  ProductName->setFont(big);
  Version = new QLabel(this);
  Version->setObjectName(QStringLiteral("Version"));
  Comments = new QLabel(QString::fromUtf8(texts::kAboutText), this);
  Comments->setTextInteractionFlags(Qt::TextSelectableByMouse);
  SettingsFile = new QLabel(this);
  SettingsFile->setObjectName(QStringLiteral("SettingsFile"));
  SettingsFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  for (QWidget* part : {static_cast<QWidget*>(ProductName), static_cast<QWidget*>(Version),
                        static_cast<QWidget*>(Comments), static_cast<QWidget*>(SettingsFile),
                        static_cast<QWidget*>(buttons)}) {
    layout->addWidget(part);
  }
}

}  // namespace zelm::gui
