// Keyword search over a pane: up to seven words from the find box, every
// occurrence marked in the pane (the first word bold, the others with
// background colours) and listed beside it as "line/column"; clicking an
// entry selects the occurrence.
//
// The search walks the pane's Shift_JIS text character by character, so an
// ASCII word never matches across the second byte of a double-byte character
// and the next byte, and every hit is moved from its byte position to the
// characters the pane shows: the selection, the line and the column (counted
// in characters) are exact after double-byte characters.
#pragma once

#include <QListWidget>
#include <QString>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/gui/RichEditEx.h"

class QLabel;

namespace zelm::gui {

inline constexpr int kMaxSearchWords = 7;

// The mark of the word at `position` (0 to 6): the first word bold in red,
// or in black when `blackFirstWord`; the others a background colour.
QTextCharFormat SearchMarkFormat(int position, bool blackFirstWord);

// Splits the find box's text (Shift_JIS) into `searchWorkList`: trimmed,
// blanks and full-width blanks between words, or commas; a double-quoted
// item may hold commas. Returns the number of words.
int EdictScan(std::string_view findText, std::vector<std::string>& searchWorkList);

// A hit list entry: the line right-aligned to 4 characters, "/", the column
// with at least 2 digits ("  12/07").
std::string HitEntry(int line, int column);

// The list of hits beside a pane. Each entry's text is its "line/column"
// (1-based, the column in characters); the entry also keeps the hit's
// length, so that a click selects the whole word.
class PaneHitList : public QListWidget {
  Q_OBJECT

 public:
  explicit PaneHitList(QWidget* parent = nullptr);
  struct Hit {
    int line = 0;    // 1-based
    int column = 0;  // 1-based, in characters
    int length = 0;  // characters
  };
  void AddHits(const std::vector<Hit>& hits);
  // The hit length kept with an entry, 0 when it has none.
  static int HitLength(const QListWidgetItem& item);
};

// Marks every occurrence of `word` (Shift_JIS; "~" and "～" stand for a
// blank) in the pane with the mark of `position` and adds its entries to
// `hits`; the list is emptied first for the first word (position 0). Returns
// the number of hits, -1 for an empty word, -2 for an empty pane. The view
// ends with the first hit's line at the top and the caret on the hit.
int RichEditSearchMark(RichEditEx& pane, std::string_view word, PaneHitList& hits, int position, bool blackFirstWord);

// Empties the hit list and marks words 1 to 7 in order.
void RichEditSearchList(RichEditEx& pane, const std::vector<std::string>& words, bool blackFirstWord, PaneHitList& hits);

// What a click on a hit entry does: shows the entry in `label` (may be
// null), selects the hit with the caret before it, scrolls its line to the
// top and gives the focus back to the list.
void ListBoxClick(RichEditEx& pane, PaneHitList& hits, QLabel* label);

// Wires a hit list to its pane: a click on an entry, or Enter on it, runs
// ListBoxClick.
void ConnectHitList(RichEditEx& pane, PaneHitList& hits, QLabel* label);

// A whole batch search of one pane, as the menu items and tool buttons run
// it. Stops (false) when the pane is empty, the find text trimmed is empty or
// it holds no word. Otherwise calls `beforeSearch` (the window adds the text
// to the find box's history, brings the pane's page to the front and makes
// the pane the clicked one), then under the busy cursor: with
// `searchBeforeBlack` the pane's text is made black and the first word
// marked red, else the colours stay and the first word is marked black.
bool BatchSearchPane(RichEditEx& pane, PaneHitList& hits, const QString& findText, bool searchBeforeBlack,
                     std::vector<std::string>& searchWorkList, const std::function<void()>& beforeSearch = {});

// The search that Enter in the find box runs on the Work pane: the pane's
// text made black, the first word marked red. Stops (false) as
// BatchSearchPane does; `beforeSearch` brings the Work page to the front and
// makes the pane the clicked one.
bool FindBoxEnterSearch(RichEditEx& workPane, PaneHitList& hits, const QString& findText,
                        std::vector<std::string>& searchWorkList, const std::function<void()>& beforeSearch = {});

}  // namespace zelm::gui
