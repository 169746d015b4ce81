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

constexpr std::string_view kFullWidthSpace = "\x81\x40";

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The line as the split stage compares and emits it: tabs as spaces, no
// surrounding blanks or full-width spaces, short gaps between tags folded.
// Most lines need none of that beyond the trim, so the result is a view of
// the line itself or of `scratch`.
std::string_view WorkCopy(std::string_view raw, std::string& scratch) {
  std::string_view work = raw;
  if (work.find('\t') != std::string_view::npos) {
    scratch = TabsToSpaces(std::string(raw));
    work = scratch;
  }
  work = PlainTrimView(work);
  // After the plain trim only a full-width space can stand at either end.
  if (StartsWith(work, kFullWidthSpace) || EndsWith(work, kFullWidthSpace)) {
    scratch = PlainTrim(TrimZSP(work));
    work = scratch;
  }
  if (work.find("> ") != std::string_view::npos) {
    scratch = FoldGapsBetweenTags(std::string(work), 16);
    work = scratch;
  }
  return work;
}

// The lines emitted by the split stage, kept back to back in one buffer.
class EmittedLines {
 public:
  void Add(std::string_view line) {
    spans_.push_back({bytes_.size(), line.size()});
    bytes_ += line;
  }
  std::size_t size() const { return spans_.size(); }
  std::string_view operator[](std::size_t i) const {
    return std::string_view(bytes_).substr(spans_[i].first, spans_[i].second);
  }

 private:
  std::string bytes_;
  std::vector<std::pair<std::size_t, std::size_t>> spans_;
};

class LineSplitter {
 public:
  explicit LineSplitter(EmittedLines& out) : out_(out) {}

  void Add(std::string_view raw) {
    const std::string_view work = WorkCopy(raw, scratch_);
    if (work.empty()) return;
    if (HandleComment(raw, work)) return;
    if (HandleSection(raw, work)) return;
    if (inBody_) {
      SplitBodyLine(raw, work);
    } else {
      Emit(Contains(raw, " <") ? work : raw);
    }
  }

 private:
  void Emit(std::string_view line) { out_.Add(line); }

  bool HandleComment(std::string_view raw, std::string_view work) {
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

  bool HandleSection(std::string_view raw, std::string_view work) {
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
      Emit(Contains(raw, "<") ? work : raw);
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
      else Emit(work);  // an unfinished tag: nothing to split off
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

  EmittedLines& out_;
  std::string scratch_;
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
  EmittedLines split;
  LineSplitter splitter(split);
  for (std::string_view line : SplitLines(text)) splitter.Add(line);

  std::vector<std::string_view> kept;
  kept.reserve(split.size());
  for (std::size_t i = 0; i < split.size(); ++i)
    if (!PlainTrimView(split[i]).empty()) kept.push_back(split[i]);

  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < kept.size(); ++i) {
    out += kept[i];
    if (i + 1 < kept.size() && TakesNextLine(kept[i], kept[i + 1])) {
      // A line that only closes the tag (or only holds ">") is taken in
      // trimmed; the joined line is not looked at again.
      out += PlainTrimView(kept[i + 1]);
      ++i;
    }
    out += "\r\n";  // after every line, the last one included, as JoinLines does
  }
  return out;
}

}  // namespace zelm
