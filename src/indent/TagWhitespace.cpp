#include "indent/TagWhitespace.h"

#include <algorithm>
#include <vector>

#include "text/ByteScan.h"
#include "text/SjisScan.h"

namespace zelm {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// Deletes byte ranges from a text in place, front to back: everything
// before the next deleted range is moved down over the ranges deleted so
// far. Moving happens only when the next range is known and never reaches
// the start of that range, so a scan that reads ahead of the last range
// sees the text as it was, and a boundary test that reads backwards stops
// at the (ASCII) bytes of that range, which are still in place.
class InPlaceEraser {
 public:
  explicit InPlaceEraser(std::string& text) : text_(text) {}

  // Deletes text[from, to); ranges must come in order.
  void Erase(std::size_t from, std::size_t to) {
    Keep(from);
    read_ = to;
  }

  void Finish() {
    Keep(text_.size());
    text_.resize(write_);
  }

 private:
  void Keep(std::size_t until) {
    if (write_ != read_) {
      std::copy(text_.begin() + Offset(read_), text_.begin() + Offset(until), text_.begin() + Offset(write_));
    }
    write_ += until - read_;
    read_ = until;
  }

  static std::ptrdiff_t Offset(std::size_t i) { return static_cast<std::ptrdiff_t>(i); }

  std::string& text_;
  std::size_t read_ = 0, write_ = 0;
};

}  // namespace

std::string TabsToSpaces(std::string text) {
  for (std::size_t tab = FindByte(text, 0, '\t'); tab != npos; tab = FindByte(text, tab + 1, '\t'))
    if (IsCharBoundary(text, tab)) text[tab] = ' ';
  return text;
}

std::string PullUpLineStartBrackets(std::string text, std::size_t maxSpaces) {
  // The run of line breaks in front of a candidate ">": where each CR LF
  // starts and how many spaces follow it.
  struct Break {
    std::size_t at, spaces;
  };
  std::vector<Break> run;
  const std::string_view view(text);
  const std::size_t n = view.size();
  InPlaceEraser eraser(text);

  std::size_t from = 0;
  for (std::size_t cr = FindByte(view, 0, '\r'); cr != npos; cr = FindByte(view, from, '\r')) {
    from = cr + 1;
    if (cr + 1 >= n || view[cr + 1] != '\n') continue;
    run.clear();
    std::size_t p = cr;
    while (p + 1 < n && view[p] == '\r' && view[p + 1] == '\n') {
      const std::size_t spaces = CountSpacesAt(view, p + 2);
      run.push_back({p, spaces});
      p += 2 + spaces;
    }
    from = p;
    if (p >= n || view[p] != '>' || run.back().spaces > maxSpaces) continue;
    // Only now is the first CR's place judged (a walk back over the text
    // before it). A CR that is the second byte of a character starts no
    // line break: the run starts at the next one, which follows a line feed.
    if (!IsCharBoundary(view, cr)) {
      if (run.size() == 1) continue;
      run.erase(run.begin());
    }
    // The last break goes when the rule for its indent runs; the one before
    // it is then directly in front of the ">" and goes too if its rule runs
    // later, that is, if its indent is smaller.
    std::size_t firstEaten = run.size() - 1;
    while (firstEaten > 0 && run[firstEaten - 1].spaces < run[firstEaten].spaces) --firstEaten;
    eraser.Erase(run[firstEaten].at, p);
  }
  eraser.Finish();
  return text;
}

std::vector<LineBreakReach> LineStartBracketsReach(std::size_t maxSpaces) {
  return {LineBreakReach::BlankLines(), LineBreakReach::Text("", ">", LineBreakReach::Lead::kSpaces, maxSpaces)};
}

std::string FoldGapsBetweenTags(std::string text, std::size_t maxSpaces) {
  const std::string_view view(text);
  InPlaceEraser eraser(text);
  for (std::size_t gt = FindPair(view, 0, '>', ' '); gt != npos; gt = FindPair(view, gt + 1, '>', ' ')) {
    const std::size_t spaces = CountSpacesAt(view, gt + 1);
    const std::size_t after = gt + 1 + spaces;
    if (spaces == 0 || spaces > maxSpaces || after >= view.size() || view[after] != '<') continue;
    if (!IsCharBoundary(view, gt)) continue;
    eraser.Erase(gt + 1, after);
  }
  eraser.Finish();
  return text;
}

}  // namespace zelm
