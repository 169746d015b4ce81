// One tag per line, by line (see AdjustLines.h).
#include "indent/AdjustLines.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "indent/TagWhitespace.h"
#include "match/FirstOccurrences.h"
#include "text/ByteScan.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

// What the split stage looks for in every line, found in one walk. A
// pattern without blanks at its ends occurs in the trimmed line exactly
// where it occurs in the raw one. The end of a comment only counts inside a
// comment or on a line that opens one, and is looked for then.
namespace pattern {
enum LinePattern : std::size_t {
  kCommentOpen,    // "<!--"
  kHeadEnd,        // "</head>"
  kBodyEnd,        // "</body"
  kBodyStart,      // "<body"
  kAnyTag,         // "<"
  kHeadStart,      // "<head>"
  kScriptOpen,     // "<script"
  kScriptEnd,      // "</script"
  kParagraphEnd,   // "</p"
  kSplitTags,      // the tags a body line is split in front of
  kCount = kSplitTags + 15,
};
}  // namespace pattern

// Tags a body line is split in front of; when several occur, the last one in
// this list decides.
constexpr std::string_view kPatterns[] = {
    "<!--", "</head>", "</body", "<body", "<", "<head>", "<script", "</script", "</p",
    "<table", "<tbody", "<tr", "<ul", "<dl", "<form", "<div", "</table", "</tbody", "</tr", "</ul", "</dl",
    "</form", "</div", "</pre",
};
static_assert(std::size(kPatterns) == pattern::kCount);

const FirstOccurrenceScanner& Scanner() {
  static const FirstOccurrenceScanner scanner(std::vector<std::string>(std::begin(kPatterns), std::end(kPatterns)));
  return scanner;
}

constexpr std::size_t kAbsent = FirstOccurrenceScanner::kAbsent;

bool StartsWith(std::string_view text, std::string_view prefix) { return text.starts_with(prefix); }

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
  if (FindByte(work, 0, '\t') != std::string_view::npos) {
    scratch = TabsToSpaces(std::string(raw));
    work = scratch;
  }
  work = PlainTrimView(work);
  // After the plain trim only a full-width space can stand at either end.
  if (StartsWith(work, kFullWidthSpace) || EndsWith(work, kFullWidthSpace)) {
    scratch = PlainTrim(TrimZSP(work));
    work = scratch;
  }
  if (FindRun<2>(work, 0, {'>', ' '}) != std::string_view::npos) {
    scratch = FoldGapsBetweenTags(std::string(work), 16);
    work = scratch;
  }
  return work;
}

bool TakesNextLine(std::string_view line, std::string_view next) {
  if (PlainTrimView(next) == ">") return true;
  if (!StartsWith(next, "</")) return false;  // every closing line below is a closing tag
  for (const JoinRule& rule : kJoinRules) {
    if (next == rule.closing && StartsWith(line, rule.opening) &&
        (rule.unless.empty() || SjisPos(rule.unless, line) == 0))
      return true;
  }
  return false;
}

// The join stage, fed line by line: blank lines are dropped, and a line is
// joined with the next one when that only closes it. The line waiting for
// its successor is the tail of the output, not yet ended.
class LineJoiner {
 public:
  explicit LineJoiner(std::size_t expectedSize) { out_.reserve(expectedSize); }

  void Add(std::string_view line) {
    if (PlainTrimView(line).empty()) return;
    if (waiting_) {
      waiting_ = false;
      if (TakesNextLine(std::string_view(out_).substr(waitingAt_), line)) {
        // The joined line is not looked at again.
        out_ += PlainTrimView(line);
        out_ += "\r\n";
        return;
      }
      out_ += "\r\n";
    }
    waitingAt_ = out_.size();
    out_ += line;
    waiting_ = true;
  }

  std::string Finish() {
    if (waiting_) out_ += "\r\n";  // after every line, the last one included, as JoinLines does
    return std::move(out_);
  }

 private:
  std::string out_;
  std::size_t waitingAt_ = 0;
  bool waiting_ = false;
};

class LineSplitter {
 public:
  LineSplitter(LineJoiner& out, const AdjustState& state)
      : out_(out), inHead_(state.inHead), inBody_(state.inBody), afterBody_(state.afterBody),
        inComment_(state.inComment) {}

  AdjustState State() const { return {inHead_, inBody_, afterBody_, inComment_}; }

  void Add(std::string_view raw) {
    const std::string_view work = WorkCopy(raw, scratch_);
    if (work.empty()) return;
    Scanner().Scan(raw, inRaw_);
    if (HandleComment(raw, work)) return;
    if (HandleSection(raw, work)) return;
    if (inBody_) {
      SplitBodyLine(raw, work);
    } else {
      Emit(SjisContains(raw, " <") ? work : raw);
    }
  }

 private:
  void Emit(std::string_view line) { out_.Add(line); }
  bool Has(std::size_t p) const { return inRaw_.Has(p); }

  bool HandleComment(std::string_view raw, std::string_view work) {
    const std::size_t open = inRaw_.At(pattern::kCommentOpen);
    if (open == kAbsent && !inComment_) return false;
    const std::size_t close = FindAtBoundary(raw, "-->");
    if (open != kAbsent && close != kAbsent && open < close) {
      Emit(work);
    } else if (inComment_ && open == kAbsent && close == kAbsent) {
      Emit(raw);
    } else if (inComment_ && close != kAbsent && open == kAbsent) {
      Emit(raw);
      inComment_ = false;
    } else if (!inComment_ && open != kAbsent && close == kAbsent) {
      Emit(raw);
      inComment_ = true;
    } else {
      return false;
    }
    return true;
  }

  bool HandleSection(std::string_view raw, std::string_view work) {
    if (Has(pattern::kHeadEnd)) {
      inHead_ = false;
      Emit(work);
    } else if (Has(pattern::kBodyEnd)) {
      inBody_ = false;
      afterBody_ = true;
      Emit(work);
    } else if (afterBody_) {
      Emit(raw);
    } else if (Has(pattern::kBodyStart)) {
      inBody_ = true;
      Emit(work);
    } else if (inHead_) {
      Emit(Has(pattern::kAnyTag) ? work : raw);
    } else if (Has(pattern::kHeadStart)) {
      inHead_ = true;
      Emit(work);
    } else {
      return false;
    }
    return true;
  }

  // Where the patterns first occur in the work copy: the raw line's
  // occurrences moved by the trim, unless the work copy was rewritten.
  class InWork {
   public:
    InWork(const FirstOccurrences& inRaw, std::string_view raw, std::string_view work, FirstOccurrences& scratch) {
      const bool viewOfRaw = work.data() >= raw.data() && work.data() + work.size() <= raw.data() + raw.size();
      if (viewOfRaw) {
        at_ = &inRaw;
        offset_ = static_cast<std::size_t>(work.data() - raw.data());
      } else {
        Scanner().Scan(work, scratch);
        at_ = &scratch;
      }
    }
    std::size_t operator[](std::size_t p) const { return at_->Has(p) ? at_->At(p) - offset_ : kAbsent; }

   private:
    const FirstOccurrences* at_;
    std::size_t offset_ = 0;
  };

  void SplitBodyLine(std::string_view raw, std::string_view work) {
    const InWork at(inRaw_, raw, work, inWork_);
    // A tag at the very start is no split point.
    std::size_t split = kAbsent;
    for (std::size_t p = pattern::kSplitTags; p < pattern::kCount; ++p)
      if (at[p] != kAbsent && at[p] >= 1) split = at[p];
    if (at[pattern::kScriptOpen] == kAbsent && at[pattern::kScriptEnd] != kAbsent && at[pattern::kScriptEnd] >= 1)
      split = at[pattern::kScriptEnd];
    if (split != kAbsent) {
      EmitTwo(work, split);
    } else if (StartsWith(work, "<p") && at[pattern::kParagraphEnd] == kAbsent) {
      const std::size_t gt = FindAtBoundary(work, ">");
      if (gt != kAbsent) EmitTwo(work, gt + 1);
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

  LineJoiner& out_;
  std::string scratch_;
  FirstOccurrences inRaw_, inWork_;
  bool inHead_, inBody_, afterBody_, inComment_;
};

}  // namespace

std::string AdjustLines(std::string_view text) {
  AdjustState state;
  return AdjustLines(text, state);
}

std::string AdjustLines(std::string_view text, AdjustState& state) {
  if (text.empty()) return {};
  LineJoiner joiner(text.size() + text.size() / 16);
  LineSplitter splitter(joiner, state);
  LineReader reader(text);
  for (std::string_view line; reader.Next(line);) splitter.Add(line);
  state = splitter.State();
  return joiner.Finish();
}

std::vector<LineBreakReach> AdjustLinesReach() {
  std::vector<LineBreakReach> reach{LineBreakReach::BlankLines(),
                                    LineBreakReach::Text("", ">", LineBreakReach::Lead::kBlanks)};
  // The next line is compared after the split stage trimmed it, and may be
  // the first of two the split made of its line: it starts with the closing.
  for (const JoinRule& rule : kJoinRules)
    reach.push_back(LineBreakReach::Text("", std::string(rule.closing), LineBreakReach::Lead::kBlanks));
  return reach;
}

}  // namespace zelm
