// The line classifier of the level pass (see LevelPass.h).
#include "indent/LevelPass.h"

#include <array>

#include "indent/HTMLtagUtil.h"
#include "indent/LevelMarkerFormat.h"
#include "match/FirstOccurrences.h"
#include "text/ByteScan.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using namespace marker;

// What the classification of every line looks for, found in one walk over
// the raw line. A pattern without blanks at its ends occurs in the trimmed
// line exactly where it occurs in the raw one. Text lines, which are few,
// are searched for more on their own; so is the end of a comment, which
// only counts inside a comment or on a line that opens one.
namespace pattern {
enum LinePattern : std::size_t {
  kCommentOpen,   // "<!--"
  kDivClose,      // "</div"
  kDivOpen,       // "<div"
  kHeadEnd,       // "</head>"
  kBodyEnd,       // "</body"
  kBodyStart,     // "<body"
  kAnyTag,        // "<"
  kHeadStart,     // "<head>"
  kScriptOpen,    // "<script"
  kScriptEnd,     // "</script"
  kEndTag,        // "</"
  kSpanEnd,       // "</span>"
  kCellEnd,       // "</td"
  kHeadCellEnd,   // "</thd"
  kCount,
};
}  // namespace pattern

constexpr std::string_view kLinePatterns[] = {
    "<!--", "</div", "<div", "</head>", "</body", "<body", "<", "<head>", "<script", "</script",
    "</", "</span>", "</td", "</thd",
};
static_assert(std::size(kLinePatterns) == pattern::kCount);

const FirstOccurrenceScanner& Scanner() {
  static const FirstOccurrenceScanner scanner(
      std::vector<std::string>(std::begin(kLinePatterns), std::end(kLinePatterns)));
  return scanner;
}

// Closing tags that end a cell, term or definition inside a text line.
constexpr std::array<std::string_view, 4> kCellCloses{"</td>", "</dd>", "</dt>", "</th>"};

// Whether a sign of script code starts at a character boundary of the
// line: one of "(){}+;", or " var ". Only the bytes that may start one are
// looked at, blanks only where " var " follows.
bool HasCodeSign(std::string_view line) {
  constexpr std::array<char, 7> kMayStart{'(', ')', '{', '}', '+', ';', ' '};
  std::size_t known = 0;  // a character starts here
  for (std::size_t i = FindAnyOf(line, 0, kMayStart); i != std::string_view::npos;
       i = FindAnyOf(line, i + 1, kMayStart)) {
    if (line[i] == ' ' && line.compare(i, 5, " var ") != 0) continue;
    if (!StartsCharacterAfter(line, known, i)) {
      known = i + 1;  // the second byte of a character
      continue;
    }
    return true;
  }
  return false;
}

// Whether one of kCellCloses starts at a character boundary of the line.
bool HasCellClose(std::string_view line) {
  std::size_t known = 0;
  for (std::size_t i = FindByte(line, 0, '<'); i != std::string_view::npos; i = FindByte(line, i + 1, '<')) {
    if (!StartsCharacterAfter(line, known, i)) {
      known = i + 1;
      continue;
    }
    known = i;
    const std::string_view rest = line.substr(i);
    for (std::string_view close : kCellCloses)
      if (rest.starts_with(close)) return true;
  }
  return false;
}

// The tag abbreviation: the bytes at positions 3 and 4 of the close form,
// as far as they exist. "<div" gives "di", "<p" (close form "</p") gives the
// one byte "p", and a closing head such as "</div" (close form "<//div")
// gives "/d". Half of a double-byte character is left out, so "<a" followed
// by a kanji gives "a" and a marker never splits a character. "One
// character" in the classification means an abbreviation shorter than two
// bytes; a two-byte kanji fills the field like two letters.
std::string_view AbbreviationOf(std::string_view closeForm) {
  constexpr std::size_t kFrom = 2, kTo = 4;
  std::size_t begin = kTo, end = kTo;
  for (std::size_t i = 0; i < closeForm.size() && i < kTo;) {
    const std::size_t length = SjisCharLength(closeForm, i);
    const bool whole = length == 2 || !IsSjisLeadByte(static_cast<unsigned char>(closeForm[i]));
    if (i >= kFrom && i + length <= kTo && whole) {
      begin = std::min(begin, i);
      end = i + length;
    }
    i += length;
  }
  return begin < end ? closeForm.substr(begin, end - begin) : std::string_view();
}

}  // namespace

std::size_t IndentUnitBytes(int indentType) {
  switch (indentType) {
    case kIndentTwoSpaces: return 2;
    case kIndentFourSpaces: return 4;
    case kIndentTab: return 1;
    default: return 0;
  }
}

void AppendIndent(std::string& out, int level, int indentType) {
  if (level <= 0) return;
  const std::size_t count = static_cast<std::size_t>(level);
  switch (indentType) {
    case kIndentTwoSpaces: out.append(2 * count, ' '); break;
    case kIndentFourSpaces: out.append(4 * count, ' '); break;
    case kIndentTab: out.append(count, '\t'); break;
    default: break;  // flush left, and any unknown type
  }
}

namespace {

bool EqualsNoCase(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (AsciiLower(text[i]) != lower[i]) return false;
  return true;
}

// What the classification needs to know of one line. The buffers are kept
// from line to line.
struct LineFacts {
  std::size_t number = 0;      // 1-based
  std::string_view raw;        // as written
  std::string_view trimmed;    // without bytes <= 0x20 at both ends
  std::string head;            // trimmed in lower case up to the first ">" and then the first space
  std::size_t headOpen = 0;    // where the head's first "<" is, npos when it has none
  char closeFormStart[4] = {};  // the first bytes of the close form: head with its first "<" written as "</"
  std::string_view abbreviation;  // in closeFormStart
  FirstOccurrences first;  // where each LinePattern first occurs in raw

  // Writes the close form to `out`, when it is asked for.
  void CloseForm(std::string& out) const {
    if (headOpen == std::string_view::npos) {
      out.assign(head);
      return;
    }
    out.assign(head, 0, headOpen + 1);
    out += '/';
    out.append(head, headOpen + 1);
  }

  bool Has(std::size_t pattern) const { return first.Has(pattern); }
  bool ShortAbbreviation() const { return abbreviation.size() < 2; }
};

// Fills head and abbreviation: the trimmed line is walked up to its first
// ">" or space, and the single-byte letters of that part are lowered.
//
// The head of a text line (one not starting with "<") is never compared
// with a tag line's, which always starts with "<", and only its first bytes
// go into the abbreviation: its first eight bytes stand for it.
void DescribeHead(LineFacts& f) {
  constexpr std::size_t kTextHeadBytes = 8;
  const std::string_view t = f.trimmed;
  const std::size_t limit = t.starts_with('<') ? t.size() : std::min(t.size(), kTextHeadBytes);
  // A lead byte right before the limit takes the byte after it.
  f.head.resize(std::min(t.size(), limit + 1));
  char* head = f.head.data();
  std::size_t end = 0;
  std::size_t open = std::string_view::npos;  // the first "<" of the head
  while (end < limit) {
    const char c = t[end];
    if (IsSjisLeadByte(static_cast<unsigned char>(c))) {
      head[end] = c;
      if (end + 1 < t.size()) {
        head[end + 1] = t[end + 1];  // the second byte keeps its value
        ++end;
      }
      ++end;
      continue;
    }
    if (c == '>' || c == ' ') break;
    if (c == '<' && open == std::string_view::npos) open = end;
    head[end++] = AsciiLower(c);
  }
  f.head.resize(end);
  f.headOpen = open;
  // The abbreviation needs the close form's first four bytes only: a
  // character that starts at the fourth byte is left out either way.
  std::size_t n = 0;
  for (std::size_t i = 0; i < end && n < sizeof f.closeFormStart; ++i) {
    f.closeFormStart[n++] = f.head[i];
    if (i == open && n < sizeof f.closeFormStart) f.closeFormStart[n++] = '/';
  }
  f.abbreviation = AbbreviationOf(std::string_view(f.closeFormStart, n));
}

class LevelPass {
 public:
  // The pass over the lines of one range, starting in `state`, writing the
  // marked Work text to `work` and the text without the markers to
  // `result`, each when given.
  LevelPass(const LineRange& range, const LevelState& state, int indentType, std::string* work, std::string* result)
      : range_(range), reader_(range.text.substr(range.begin)), indentType_(indentType), work_(work),
        result_(result), s_(state) {
    const std::size_t size = range.end - range.begin;
    if (work_) work_->reserve(work_->size() + 2 * size + 64);
    maxIndentBytes_ = IndentationLimitFor(range.text.size());
    facts_.number = range.firstLineNumber - 1;
    if (range.previousLine || range.begin > 0) {
      const std::string_view previous = range.previousLine ? *range.previousLine : LineBefore(range.text, range.begin);
      previousTrimmed_ = PlainTrimView(previous);
      if (!previousTrimmed_.empty()) {
        facts_.trimmed = previousTrimmed_;
        DescribeHead(facts_);
        previousHead_.swap(facts_.head);
      }
    }
  }

  // Result-only, with the level at the start unknown: every indentation is
  // noted in `deferred` instead of written, levels counted from kDeferredBase.
  static constexpr int kDeferredBase = 1 << 30;
  void DeferIndentation(std::vector<DeferredIndent>* deferred) {
    deferred_ = deferred;
    s_.level = kDeferredBase;
    lowest_ = kDeferredBase;
  }

  // The indentation written so far counts towards the limit as well.
  void ContinueCounting(std::size_t indentBytes, std::size_t limit) {
    indentBytes_ = indentBytes;
    maxIndentBytes_ = limit;
  }

  const LevelState& State() const { return s_; }
  // Where the deferred levels stand at the end, relative to the start.
  DeferredIndent DeferredEnd() const { return {0, s_.level - kDeferredBase, lowest_ - kDeferredBase}; }
  std::size_t IndentBytes() const { return indentBytes_; }

  void Run() {
    // Indentation takes about half as much again as the text; a part whose
    // levels are deferred writes none yet.
    const std::size_t size = range_.end - range_.begin;
    if (result_) result_->reserve(result_->size() + size + (deferred_ ? size / 4 : size / 2) + 64);
    LineFacts& f = facts_;
    for (std::string_view line; reader_.Next(line);) {
      if (static_cast<std::size_t>(line.data() - range_.text.data()) >= range_.end) break;
      f.number++;
      f.raw = line;
      f.trimmed = PlainTrimView(line);
      if (!f.trimmed.empty()) {
        Scanner().Scan(f.raw, f.first);
        DescribeHead(f);
        if (!EmitCommentLine(f)) EmitSectionLine(f);
        Text("\r\n");
      } else {
        f.head.clear();
      }
      previousTrimmed_ = f.trimmed;
      previousHead_.swap(f.head);
    }
  }

 private:
  // The line that ends right before `at`, a line start after a line feed.
  static std::string_view LineBefore(std::string_view text, std::size_t at) {
    std::size_t end = at - 1;  // the line feed
    if (end > 0 && text[end - 1] == '\r') --end;
    std::size_t start = end;
    while (start > 0 && text[start - 1] != '\n' && text[start - 1] != '\r') --start;
    return text.substr(start, end - start);
  }

  // --- Output: markers go to the Work text only, the rest to both --------

  void Text(std::string_view text) {
    if (work_) *work_ += text;
    if (result_) *result_ += text;
  }
  void Prefix(std::string_view prefix) {
    if (work_) *work_ += prefix;
  }
  void CodePrefix(const LineFacts& f) {
    if (work_) AppendCodePrefix(*work_, f.number);
  }
  void Marker(const LineFacts& f, std::string_view symbols, std::string_view abbreviation) {
    if (work_) AppendLevelMarker(*work_, f.number, symbols, abbreviation, s_.level);
  }
  void Marker(const LineFacts& f, std::string_view symbols) { Marker(f, symbols, f.abbreviation); }
  void Indented(const LineFacts& f, std::string_view symbols) { Indented(f, symbols, f.trimmed); }
  void Indented(const LineFacts& f, std::string_view symbols, std::string_view text) {
    Marker(f, symbols);
    CountIndentation();
    if (work_) AppendIndent(*work_, s_.level, indentType_);
    if (deferred_) deferred_->push_back({result_->size(), s_.level - kDeferredBase, lowest_ - kDeferredBase});
    else if (result_) AppendIndent(*result_, s_.level, indentType_);
    Text(text);
  }
  void FlushLeft(const LineFacts& f, std::string_view symbols) {
    Marker(f, symbols);
    Text(f.trimmed);
  }

  // --- Classification -------------------------------------------------------

  bool NextLineIs(std::string_view lowered) { return EqualsNoCase(reader_.Peek(), lowered); }

  // True when the first "<!--" has a "-->" starting after its first byte.
  static bool HasWholeComment(const LineFacts& f) {
    if (!f.Has(pattern::kCommentOpen)) return false;
    return FindAtBoundary(f.raw, "-->", f.first.At(pattern::kCommentOpen) + 1) != std::string_view::npos;
  }

  // Lines that open, continue or close a comment spread over several lines.
  bool EmitCommentLine(const LineFacts& f) {
    const bool opens = f.Has(pattern::kCommentOpen);
    if (!opens && !s_.inComment) return false;
    const bool closes = SjisContains(f.raw, "-->");
    std::string_view prefix;
    if (s_.inComment && !opens && !closes) {
      prefix = kCommentMiddle;
    } else if (s_.inComment && closes && !opens) {
      prefix = kCommentLast;
      s_.inComment = false;
    } else if (!s_.inComment && opens && !closes) {
      prefix = kCommentFirst;
      s_.inComment = true;
    } else {
      return false;
    }
    if (!s_.inHead) Prefix(prefix);
    Text(f.raw);
    return true;
  }

  void EmitSectionLine(const LineFacts& f) {
    if (!f.Has(pattern::kDivClose) && !f.Has(pattern::kDivOpen) && HasWholeComment(f)) {
      if (!s_.inHead) Prefix(kCommentOneLine);
      Text(f.raw);
      // The comment is closed on this line in the head as well; a flag left
      // set there would hide the "</head>" line.
      s_.inComment = false;
    } else if (f.Has(pattern::kHeadEnd)) {
      s_.inHead = false;
      Text(f.trimmed);
    } else if (f.Has(pattern::kBodyEnd)) {
      s_.inBody = false;
      s_.afterBody = true;
      Text(f.trimmed);
    } else if (s_.afterBody) {
      Text(f.raw);
    } else if (f.Has(pattern::kBodyStart)) {
      s_.inBody = true;
      s_.inHead = false;
      Text(f.trimmed);
    } else if (s_.inHead) {
      Text(f.Has(pattern::kAnyTag) ? f.trimmed : f.raw);
    } else if (f.Has(pattern::kHeadStart)) {
      s_.inHead = true;
      Text(f.trimmed);
    } else if (s_.inBody) {
      EmitBodyLine(f);
    } else if (!SjisContains(f.raw, " <")) {
      Prefix(kBetweenSectionsPrefix);
      Text(f.raw);
    } else {
      // Not a marker: it stays in the indented text.
      Text(kBetweenSectionsTagPrefix);
      Text(f.trimmed);
    }
  }

  void EmitBodyLine(const LineFacts& f) {
    const bool scriptOpen = f.Has(pattern::kScriptOpen), scriptClose = f.Has(pattern::kScriptEnd);
    if (scriptOpen && scriptClose && f.first.At(pattern::kScriptOpen) < f.first.At(pattern::kScriptEnd)) {
      s_.inScript = false;
    } else if (scriptOpen && !scriptClose) {
      s_.inScript = true;
    } else if (scriptClose && !scriptOpen) {
      s_.inScript = false;
      Marker(f, kScriptClose);
      Text(f.trimmed);
      return;
    }
    if (!f.trimmed.starts_with('<')) {
      EmitTextLine(f);
    } else if (!s_.inScript || scriptOpen) {
      EmitTagLine(f);
    } else {
      CodePrefix(f);
      Text(f.raw);
    }
  }

  // Text lines stand unindented behind their marker.
  void EmitTextLine(const LineFacts& f) {
    if (s_.inScript || HasCodeSign(f.raw)) {
      CodePrefix(f);
    } else if (HasCellClose(f.raw)) {
      Marker(f, kTextClosingCell, kFillerCell);
    } else if (HasInnerBlockTag(f.raw)) {
      LevelDown();
      Marker(f, kTextClosingLevel, kFillerCell);
    } else if (!f.Has(pattern::kEndTag)) {
      Marker(f, kTextPlain, kFillerPlain);
    } else {
      Marker(f, kTextClosingInline, kFillerOther);
    }
    Text(f.raw);
  }

  void EmitTagLine(const LineFacts& f) {
    const std::string_view t = f.trimmed;
    if (f.Has(pattern::kSpanEnd) && !f.Has(pattern::kDivOpen)) {
      Indented(f, f.ShortAbbreviation() ? kSpanCloseShort : kSpanClose);
    } else if (f.Has(pattern::kCellEnd) || f.Has(pattern::kHeadCellEnd)) {
      // An empty cell gets a space that browsers keep.
      if (t == "<td></td>") Indented(f, kCellClose, "<td>&nbsp;</td>");
      else if (t == "<th></th>") Indented(f, kCellClose, "<th>&nbsp;</th>");
      else Indented(f, kCellClose);
    } else if (t.starts_with("</")) {
      EmitClosingTagLine(f);
    } else if (ClosedOnItsLine(f)) {
      if (f.ShortAbbreviation()) Indented(f, kClosedInLineShort);
      else if (t.starts_with("<script")) FlushLeft(f, kClosedInLine);
      else Indented(f, kClosedInLine);
    } else if (f.head != previousHead_) {
      EmitNewKindLine(f);
    } else {
      EmitRepeatedKindLine(f);
    }
  }

  // Does the lowered line hold the close form of its own head? The close
  // form is lower case wherever the line has a single-byte character, so
  // comparing the line's letters without case is the same.
  bool ClosedOnItsLine(const LineFacts& f) {
    if (!f.Has(pattern::kEndTag)) return false;  // the close form starts with "</"
    const std::size_t from = f.first.At(pattern::kEndTag) - static_cast<std::size_t>(f.trimmed.data() - f.raw.data());
    f.CloseForm(closeForm_);
    return FindNoCaseAtBoundary(f.trimmed, closeForm_, from) != std::string_view::npos;
  }

  void EmitClosingTagLine(const LineFacts& f) {
    const std::string_view t = f.trimmed;
    if (IsBlockTag(t)) {
      LevelDown();
      if (t == "</table>") Indented(f, previousTrimmed_ == "</tr>" ? kTableCloseAfterRow : kTableClose);
      else Indented(f, kLevelClose);
    } else if (t.starts_with("</style")) {
      FlushLeft(f, kOtherClose);
    } else {
      Indented(f, kOtherClose);
    }
  }

  // An opening tag whose head differs from the previous line's. A level
  // element indents the lines after it.
  void EmitNewKindLine(const LineFacts& f) {
    const std::string_view t = f.trimmed;
    const bool opensLevel = IsBlockTag(t);
    if (t == "<p>") {
      Indented(f, kClosedInLine);
    } else if (t.starts_with("<table")) {
      Indented(f, NextLineIs("<tr>") ? kTableBeforeRow : kTableOther);
    } else if (f.ShortAbbreviation()) {
      Indented(f, kNewKindShort);
    } else if (t.starts_with("<script")) {
      FlushLeft(f, kScriptOpen);
      s_.inScript = true;
    } else if (t.starts_with("<style")) {
      FlushLeft(f, kNewKind);
    } else {
      Indented(f, kNewKind);
    }
    if (opensLevel) ++s_.level;
  }

  void EmitRepeatedKindLine(const LineFacts& f) {
    const std::string_view t = f.trimmed;
    if (IsBlockTag(f.head)) {
      Indented(f, kRepeatedLevelOpen);
      ++s_.level;
    } else if (t.starts_with("<p>")) {
      Indented(f, kRepeatedParagraph);
    } else if (f.ShortAbbreviation()) {
      Indented(f, kRepeatedShort);
    } else if (t.starts_with("<script")) {
      FlushLeft(f, kScriptOpen);
      s_.inScript = true;
    } else {
      Indented(f, kRepeated);
    }
  }

  // Deep nesting makes the indentation grow with the square of the depth;
  // stop before it exhausts memory.
  void LevelDown() {
    s_.level = std::max(s_.level - 1, 0);
    lowest_ = std::min(lowest_, s_.level);
  }

  void CountIndentation() {
    if (deferred_) return;  // counted once the levels are known
    indentBytes_ += static_cast<std::size_t>(std::max(s_.level, 0)) * IndentUnitBytes(indentType_);
    if (indentBytes_ > maxIndentBytes_) throw IndentationTooLarge(maxIndentBytes_);
  }

  LineRange range_;
  LineReader reader_;
  const int indentType_;
  std::string* work_;
  std::string* result_;
  LineFacts facts_;
  std::size_t indentBytes_ = 0;
  std::size_t maxIndentBytes_ = 0;

  LevelState s_;
  int lowest_ = 0;  // the lowest level since the start, while deferring
  std::vector<DeferredIndent>* deferred_ = nullptr;
  std::string_view previousTrimmed_;
  std::string previousHead_;
  std::string closeForm_;  // kept from line to line
};

}  // namespace

LevelState GuessedMiddleState() {
  LevelState state;
  state.inHead = false;
  state.inBody = true;
  return state;
}

LevelPassEnd PassLevels(const LineRange& range, const LevelState& start, const LevelPassOutput& output) {
  LevelPass pass(range, start, output.indentType, output.work, output.result);
  if (output.deferred) pass.DeferIndentation(output.deferred);
  if (output.indentBytes != 0 || output.limit)
    pass.ContinueCounting(output.indentBytes, output.limit ? *output.limit : IndentationLimitFor(range.text.size()));
  pass.Run();
  return {pass.State(), pass.DeferredEnd(), pass.IndentBytes()};
}

std::size_t IndentationLimitFor(std::size_t textSize) { return 4 * textSize + (std::size_t(64) << 20); }

IndentationTooLarge::IndentationTooLarge(std::size_t limit)
    : std::length_error("the indentation would take more than " + std::to_string(limit >> 20) +
                        " MB (four times the page plus 64 MB): the page is nested too deeply"),
      limit_(limit) {}

}  // namespace zelm
