// One tag per line, by line: trims lines, splits a body line once at a
// structural tag that is not at its start, then joins a tag line with a
// following line that only closes it.
#include <string>
#include <string_view>
#include <vector>

#include "indent/HTMLAdjustText.h"
#include "indent/TagWhitespace.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

bool Contains(std::string_view text, std::string_view sub) { return SjisPos(sub, text) != 0; }

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Tags a body line is split in front of; when several occur, the last one in
// this list decides.
constexpr std::string_view kSplitTags[] = {
    "<table", "<tbody", "<tr", "<ul", "<dl", "<form", "<div", "</table", "</tbody", "</tr", "</ul", "</dl",
    "</form", "</div", "</pre",
};

// A line that starts with `opening`, does not hold `unless` (when given) and
// is followed by a line that is exactly `closing` takes that line in.
struct JoinRule {
  std::string_view opening, unless, closing;
};

constexpr JoinRule kJoinRules[] = {
    {"<a ", {}, "</a>"},
    {"<dd", {}, "</dd>"},
    {"<div", "</div", "</div>"},
    {"<p", "</p>", "</p>"},
    {"<map", "</map>", "</map>"},
    {"<td", "</td>", "</td>"},
    {"<th", "</th>", "</th>"},
    {"<li", "</li>", "</li>"},
    {"<address", {}, "</address>"},
    {"<script", "</script>", "</script>"},
    {"<h1", {}, "</h1>"},
    {"<h2", {}, "</h2>"},
    {"<h3", {}, "</h3>"},
    {"<h4", {}, "</h4>"},
    {"<h5", {}, "</h5>"},
    {"<h6", {}, "</h6>"},
};

// The line as the split stage compares and emits it: tabs as spaces, no
// surrounding blanks or full-width spaces, short gaps between tags folded.
std::string WorkCopy(std::string_view line) {
  return FoldGapsBetweenTags(PlainTrim(TrimZSP(PlainTrimView(TabsToSpaces(std::string(line))))), 16);
}

class LineSplitter {
 public:
  explicit LineSplitter(std::vector<std::string>& out) : out_(out) {}

  void Add(std::string_view raw) {
    const std::string work = WorkCopy(raw);
    if (work.empty()) return;
    if (HandleComment(raw, work)) return;
    if (HandleSection(raw, work)) return;
    if (inBody_) {
      SplitBodyLine(raw, work);
    } else {
      Emit(Contains(raw, " <") ? std::string_view(work) : raw);
    }
  }

 private:
  void Emit(std::string_view line) { out_.emplace_back(line); }

  bool HandleComment(std::string_view raw, const std::string& work) {
    const Pos open = SjisPos("<!--", raw);
    const Pos close = SjisPos("-->", raw);
    if (open != 0 && close != 0 && open < close) {
      Emit(work);
    } else if (inComment_ && open == 0 && close == 0) {
      Emit(raw);
    } else if (inComment_ && close != 0 && open == 0) {
      Emit(raw);
      inComment_ = false;
    } else if (!inComment_ && open != 0 && close == 0) {
      Emit(raw);
      inComment_ = true;
    } else {
      return false;
    }
    return true;
  }

  bool HandleSection(std::string_view raw, const std::string& work) {
    if (Contains(raw, "</head>")) {
      inHead_ = false;
      Emit(work);
    } else if (Contains(raw, "</body")) {
      inBody_ = false;
      afterBody_ = true;
      Emit(work);
    } else if (afterBody_) {
      Emit(raw);
    } else if (Contains(raw, "<body")) {
      inBody_ = true;
      Emit(work);
    } else if (inHead_) {
      Emit(Contains(raw, "<") ? std::string_view(work) : raw);
    } else if (Contains(raw, "<head>")) {
      inHead_ = true;
      Emit(work);
    } else {
      return false;
    }
    return true;
  }

  void SplitBodyLine(std::string_view raw, std::string_view work) {
    Pos split = 0;
    for (std::string_view tag : kSplitTags) {
      const Pos p = SjisPos(tag, work);
      if (p >= 2) split = p;
    }
    if (!Contains(work, "<script")) {
      const Pos p = SjisPos("</script", work);
      if (p >= 2) split = p;
    }
    if (split != 0) {
      EmitTwo(work, split - 1);
    } else if (StartsWith(work, "<p") && !Contains(work, "</p")) {
      const Pos gt = SjisPos(">", work);
      if (gt != 0) EmitTwo(work, gt);
      else Emit(work);
    } else if (StartsWith(work, "<")) {
      Emit(work);
    } else {
      Emit(raw);
    }
  }

  // The bytes before index `at` and the rest, each trimmed.
  void EmitTwo(std::string_view work, std::size_t at) {
    Emit(PlainTrimView(work.substr(0, at)));
    Emit(PlainTrimView(work.substr(at)));
  }

  std::vector<std::string>& out_;
  bool inHead_ = false, inBody_ = false, afterBody_ = false, inComment_ = false;
};

bool TakesNextLine(std::string_view line, std::string_view next) {
  if (PlainTrimView(next) == ">") return true;
  for (const JoinRule& rule : kJoinRules) {
    if (next == rule.closing && StartsWith(line, rule.opening) && (rule.unless.empty() || !Contains(line, rule.unless)))
      return true;
  }
  return false;
}

}  // namespace

std::string AdjustLines(std::string_view text) {
  if (text.empty()) return {};
  std::vector<std::string> split;
  LineSplitter splitter(split);
  for (std::string_view line : SplitLines(text)) splitter.Add(line);

  std::vector<std::string_view> kept;
  kept.reserve(split.size());
  for (const std::string& line : split)
    if (!PlainTrimView(line).empty()) kept.push_back(line);

  std::vector<std::string> joined;
  joined.reserve(kept.size());
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (i + 1 < kept.size() && TakesNextLine(kept[i], kept[i + 1])) {
      // A line that only closes the tag (or only holds ">") is taken in
      // trimmed; the joined line is not looked at again.
      joined.push_back(std::string(kept[i]) + std::string(PlainTrimView(kept[i + 1])));
      ++i;
    } else {
      joined.emplace_back(kept[i]);
    }
  }
  return JoinLines(joined);
}

}  // namespace zelm
