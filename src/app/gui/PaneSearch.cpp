#include "app/gui/PaneSearch.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>

#include <array>

#include "app/gui/BusyCursor.h"
#include "app/gui/PaneText.h"
#include "app/gui/RichEditUtil.h"
#include "text/StringUtil.h"

namespace zelm::gui {
namespace {

constexpr int kLengthRole = Qt::UserRole + 1;

const std::string kWideBlank = "\x81\x40";  // "　"
const std::string kWideTilde = "\x81\x60";  // "～"

// The background colours of words 2 to 7.
constexpr std::array<QRgb, kMaxSearchWords - 1> kWordBackgrounds = {
    qRgb(210, 105, 30), qRgb(173, 255, 47), qRgb(233, 150, 122),
    qRgb(218, 165, 32), qRgb(0, 250, 154),  qRgb(238, 130, 238),
};

// Items of a comma-separated list: a double-quoted item may hold commas (a
// doubled quote inside it is one quote), two adjacent commas give an empty
// item. Neither the quote nor the comma can be the second byte of a
// double-byte character.
std::vector<std::string> SplitCommaList(std::string_view text) {
  std::vector<std::string> items;
  std::size_t i = 0;
  while (true) {
    std::string item;
    if (i < text.size() && text[i] == '"') {
      ++i;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
      while (i < text.size() && text[i] != ',') item += text[i++];
    } else {
      while (i < text.size() && text[i] != ',') item += text[i++];
    }
    items.push_back(std::move(item));
    if (i >= text.size()) break;
    ++i;  // the comma
  }
  return items;
}

// The words of a find box text, or none when the search should not run.
bool WordsToSearch(const RichEditEx& pane, const QString& findText, std::vector<std::string>& searchWorkList) {
  if (pane.IsEmpty() || findText.trimmed().isEmpty()) return false;
  return EdictScan(QStringToSjis(findText), searchWorkList) > 0;
}

}  // namespace

QTextCharFormat SearchMarkFormat(int position, bool blackFirstWord) {
  QTextCharFormat format;
  if (position <= 0) {
    format.setFontWeight(QFont::Bold);
    format.setForeground(blackFirstWord ? QColor(Qt::black) : QColor(255, 0, 0));
  } else {
    format.setBackground(QColor(kWordBackgrounds[std::min(position, kMaxSearchWords - 1) - 1]));
  }
  return format;
}

int EdictScan(std::string_view findText, std::vector<std::string>& searchWorkList) {
  searchWorkList.clear();
  std::string text = TrimWideZSP(PlainTrim(findText));
  text = ReplaceAllText(text, kWideBlank, " ");
  for (int pass = 0; pass < 3; ++pass) text = ReplaceAllText(text, "  ", " ");
  text = ReplaceAllText(text, " ", ",");
  if (text.empty()) return 0;
  searchWorkList = SplitCommaList(text);
  return static_cast<int>(searchWorkList.size());
}

std::string HitEntry(int line, int column) { return SpacePadInt(line, 4) + "/" + ZeroPadInt(column, 2); }

// --- The hit list -------------------------------------------------------------

PaneHitList::PaneHitList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);  // thousands of hits are listed without measuring each
}

void PaneHitList::AddHits(const std::vector<Hit>& hits) {
  for (const Hit& hit : hits) {
    auto* item = new QListWidgetItem(QString::fromLatin1(HitEntry(hit.line, hit.column)));
    item->setData(kLengthRole, hit.length);
    addItem(item);
  }
}

int PaneHitList::HitLength(const QListWidgetItem& item) { return item.data(kLengthRole).toInt(); }

// --- Searching ------------------------------------------------------------------

int RichEditSearchMark(RichEditEx& pane, std::string_view word, PaneHitList& hits, int position, bool blackFirstWord) {
  if (pane.IsEmpty()) return -2;
  if (word.empty()) return -1;
  pane.EnsureFilled();
  pane.setFocus();
  if (position == 0) hits.clear();
  pane.SetCaretPos(0);

  std::string w = ReplaceAllText(PlainTrim(word), "~", " ");
  w = ReplaceAllText(w, kWideTilde, " ");
  if (w.empty()) return 0;

  const std::string& text = pane.SjisText();
  const PositionMap& map = pane.Positions();
  std::vector<std::pair<int, int>> marks;
  std::vector<PaneHitList::Hit> entries;
  // Occurrences at character boundaries, each search going on one character
  // after the end of the hit before: an occurrence that begins right after
  // the one before is not found. Every search starts at a known boundary, so
  // the text is walked once however many hits it holds.
  for (std::size_t startByte = FindAtBoundary(text, w, 0); startByte != std::string::npos;) {
    const std::size_t endByte = startByte + w.size();
    const int start = static_cast<int>(map.CharOfByte(startByte));
    const int length = static_cast<int>(map.CharOfByte(endByte)) - start;
    marks.emplace_back(start, length);
    const int line = pane.LineOfPos(start);
    entries.push_back({line + 1, start - pane.LineStart(line) + 1, length});
    if (endByte >= text.size()) break;
    startByte = FindAtBoundary(text, w, endByte + SjisCharLength(text, endByte));
  }
  pane.AddMarks(marks, SearchMarkFormat(position, blackFirstWord));
  hits.AddHits(entries);

  if (!marks.empty()) {
    pane.SetFirstVisibleLine(0);
    pane.SetCaretPos(marks.front().first);
    pane.SetFirstVisibleLine(entries.front().line - 1);
    pane.setFocus();
  }
  return static_cast<int>(marks.size());
}

void RichEditSearchList(RichEditEx& pane, const std::vector<std::string>& words, bool blackFirstWord, PaneHitList& hits) {
  hits.clear();
  const int count = std::min<int>(static_cast<int>(words.size()), kMaxSearchWords);
  for (int i = 0; i < count; ++i) RichEditSearchMark(pane, words[static_cast<std::size_t>(i)], hits, i, blackFirstWord);
}

void ListBoxClick(RichEditEx& pane, PaneHitList& hits, QLabel* label) {
  if (hits.count() == 0) return;
  const QList<QListWidgetItem*> selected = hits.selectedItems();
  QListWidgetItem* item = selected.isEmpty() ? hits.currentItem() : selected.front();
  if (item == nullptr) return;
  const QString entry = item->text();
  if (label != nullptr) label->setText(entry);
  const qsizetype slash = entry.indexOf(QLatin1Char('/'));
  if (slash < 0) return;
  const int line = entry.left(slash).trimmed().toInt();  // 0 when it is no number
  QString after = entry.mid(slash + 1);
  const qsizetype blank = after.indexOf(QLatin1Char(' '));
  if (blank >= 0) after.truncate(blank);
  const int column = after.toInt();

  RichEditGotoLine(pane, line - 1, column - 1);
  const int length = PaneHitList::HitLength(*item);
  if (length > 0) pane.Select(pane.CaretPos(), length);
  QCoreApplication::processEvents();
  hits.setFocus();
  RichEditScrollToLine(pane, line);
}

void ConnectHitList(RichEditEx& pane, PaneHitList& hits, QLabel* label) {
  auto click = [&pane, &hits, label] { ListBoxClick(pane, hits, label); };
  QObject::connect(&hits, &QListWidget::itemClicked, &pane, click);
  QObject::connect(&hits, &QListWidget::itemActivated, &pane, click);
}

bool BatchSearchPane(RichEditEx& pane, PaneHitList& hits, const QString& findText, bool searchBeforeBlack,
                     std::vector<std::string>& searchWorkList, const std::function<void()>& beforeSearch) {
  if (!WordsToSearch(pane, findText, searchWorkList)) return false;
  if (beforeSearch) beforeSearch();
  BusyCursor busy;
  if (searchBeforeBlack) {
    TextBlackColor(pane);
    RichEditSearchList(pane, searchWorkList, false, hits);
  } else {
    RichEditSearchList(pane, searchWorkList, true, hits);
  }
  return true;
}

bool FindBoxEnterSearch(RichEditEx& workPane, PaneHitList& hits, const QString& findText,
                        std::vector<std::string>& searchWorkList, const std::function<void()>& beforeSearch) {
  if (workPane.IsEmpty() || findText.trimmed().isEmpty()) return false;
  TextBlackColor(workPane);
  if (EdictScan(QStringToSjis(findText), searchWorkList) == 0) return false;
  if (beforeSearch) beforeSearch();
  BusyCursor busy;
  RichEditSearchList(workPane, searchWorkList, false, hits);
  return true;
}

}  // namespace zelm::gui
