#include "app/gui/TagCountList.h"

#include <QColor>
#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

#include "app/gui/PaneText.h"

namespace zelm::gui {
namespace {

// Room left of the first cell and right of the last.
constexpr int kCellPadding = 2;

// Draws a row's cells at the tab stops: each tab moves on to the first stop
// right of what is drawn so far, or by the width of a blank past the last
// stop.
class TabStopDelegate : public QStyledItemDelegate {
 public:
  TabStopDelegate(std::vector<int> dialogUnits, int scrollExtent, QObject* parent)
      : QStyledItemDelegate(parent), dialogUnits_(std::move(dialogUnits)), scrollExtent_(scrollExtent) {}

  void SetStops(std::vector<int> dialogUnits, int scrollExtent) {
    dialogUnits_ = std::move(dialogUnits);
    scrollExtent_ = scrollExtent;
  }

  std::vector<int> StopPixels(const QFont& font) const {
    std::vector<int> pixels;
    for (int units : dialogUnits_) pixels.push_back(DialogUnitsToPixels(units, font));
    return pixels;
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    // Background, selection and focus as the style draws them, without text.
    const QWidget* widget = cell.widget;
    QStyle* style = widget ? widget->style() : nullptr;
    if (style) style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

    painter->save();
    painter->setFont(cell.font);
    const bool selected = cell.state & QStyle::State_Selected;
    painter->setPen(cell.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QFontMetrics metrics(cell.font);
    const std::vector<int> stops = StopPixels(cell.font);
    for (const auto& [start, content] : Cells(text, metrics, stops)) {
      const QRect box(cell.rect.left() + kCellPadding + start, cell.rect.top(),
                      metrics.horizontalAdvance(content) + 1, cell.rect.height());
      painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter, content);
    }
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const QFontMetrics metrics(cell.font);
    int end = 0;
    for (const auto& [start, content] : Cells(cell.text, metrics, StopPixels(cell.font)))
      end = std::max(end, start + metrics.horizontalAdvance(content));
    return {std::max(scrollExtent_, end + 2 * kCellPadding), metrics.height() + 4};
  }

 private:
  // Each cell with the pixel where it starts.
  static std::vector<std::pair<int, QString>> Cells(const QString& text, const QFontMetrics& metrics,
                                                    const std::vector<int>& stops) {
    std::vector<std::pair<int, QString>> cells;
    int x = 0;
    bool first = true;
    for (const QString& content : text.split(QLatin1Char('\t'))) {
      if (!first) {
        const auto next = std::upper_bound(stops.begin(), stops.end(), x);
        x = next != stops.end() ? *next : x + metrics.horizontalAdvance(QLatin1Char(' '));
      }
      first = false;
      cells.emplace_back(x, content);
      x += metrics.horizontalAdvance(content);
    }
    return cells;
  }

  std::vector<int> dialogUnits_;
  int scrollExtent_;
};

}  // namespace

int DialogUnitsToPixels(int units, const QFont& font) {
  static const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const QFontMetrics metrics(font);
  // The average width of the letters, rounded to whole pixels.
  const int average = (metrics.horizontalAdvance(kLetters) / 26 + 1) / 2;
  return (units * average + 2) / 4;
}

void SetListTabStops(QListWidget& list, std::span<const int> dialogUnits, int scrollExtent) {
  std::vector<int> units(dialogUnits.begin(), dialogUnits.end());
  if (auto* existing = dynamic_cast<TabStopDelegate*>(list.itemDelegate())) {
    existing->SetStops(std::move(units), scrollExtent);
    list.doItemsLayout();
    return;
  }
  list.setItemDelegate(new TabStopDelegate(std::move(units), scrollExtent, &list));
  list.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

std::vector<int> ListTabStopPixels(const QListWidget& list) {
  if (const auto* delegate = dynamic_cast<const TabStopDelegate*>(list.itemDelegate()))
    return delegate->StopPixels(list.font());
  return {};
}

QColor UnbalancedRowColour() { return {255, 0, 0}; }

void FillTagCountList(QListWidget& list, const std::vector<std::string>& rows,
                      const std::vector<ElementCount>& counts) {
  list.clear();
  for (std::size_t row = 0; row < rows.size(); ++row) {
    auto* item = new QListWidgetItem(SjisToQString(rows[row]), &list);
    // Row 0 is the heading; row r is the element counts[r - 1].
    if (row == 0 || row > counts.size() || counts[row - 1].Balanced()) continue;
    item->setForeground(UnbalancedRowColour());
    QFont bold = list.font();
    bold.setBold(true);
    item->setFont(bold);
  }
}

}  // namespace zelm::gui
