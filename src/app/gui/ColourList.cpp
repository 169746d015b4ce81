#include "app/gui/ColourList.h"

#include <QListWidget>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

#include "app/gui/PaneText.h"

namespace zelm::gui {
namespace {

constexpr int kSwatchSize = 14;
constexpr int kOffsetRole = Qt::UserRole;
constexpr int kLengthRole = Qt::UserRole + 1;

QColor ToQColor(Rgb colour) { return {colour.red, colour.green, colour.blue}; }

}  // namespace

QIcon SwatchIcon(Rgb colour) {
  QPixmap swatch(kSwatchSize, kSwatchSize);
  swatch.fill(ToQColor(colour));
  {
    QPainter painter(&swatch);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(0, 0, kSwatchSize - 1, kSwatchSize - 1);
  }
  QIcon icon(swatch);
  // A selected entry shows its colour as it is, not tinted by the selection.
  icon.addPixmap(swatch, QIcon::Selected);
  return icon;
}

void FillColourList(QListWidget& list, const std::vector<CssColour>& colours, std::string_view page) {
  list.clear();
  list.setIconSize(QSize(kSwatchSize, kSwatchSize));
  // Line numbers are counted as the list goes: the colours are in text order
  // unless sorted, so this walks the page once in the usual case.
  std::size_t countedTo = 0;
  int line = 1;
  for (const CssColour& colour : colours) {
    const std::size_t offset = colour.position - 1;
    if (offset < countedTo) {
      countedTo = 0;
      line = 1;
    }
    line += static_cast<int>(std::count(page.begin() + static_cast<std::ptrdiff_t>(countedTo),
                                        page.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
    countedTo = offset;
    auto* item = new QListWidgetItem(SwatchIcon(colour.rgb), SjisToQString(colour.text), &list);
    item->setToolTip(QString::fromLatin1(RgbHex(colour.rgb)) + QStringLiteral("  (") + QString::number(line) +
                     QStringLiteral(")"));
    item->setData(kOffsetRole, QVariant::fromValue<qulonglong>(offset));
    item->setData(kLengthRole, QVariant::fromValue<qulonglong>(colour.text.size()));
  }
}

ColourPlace PlaceOf(const QListWidgetItem& item) {
  return {static_cast<std::size_t>(item.data(kOffsetRole).toULongLong()),
          static_cast<std::size_t>(item.data(kLengthRole).toULongLong())};
}

}  // namespace zelm::gui
