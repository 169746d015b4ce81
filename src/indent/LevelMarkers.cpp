// The level pass: every line of the one-tag-per-line text is classified,
// the running indentation level is kept, and the line is written back behind
// its level marker; and the reverse step that cuts the markers away.
#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "indent/HTMLAdjustText.h"
#include "indent/HTMLtagUtil.h"
#include "indent/LevelMarkerFormat.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using namespace marker;

// Signs that make a text line in the body look like script code.
constexpr std::array<std::string_view, 7> kCodeSigns{"(", ")", "{", "}", "+", ";", " var "};
// Closing tags that end a cell, term or definition inside a text line.
constexpr std::array<std::string_view, 4> kCellCloses{"</td>", "</dd>", "</dt>", "</th>"};

bool ContainsAny(std::string_view text, std::span<const std::string_view> parts) {
  return std::any_of(parts.begin(), parts.end(), [&](std::string_view part) { return SjisContains(text, part); });
}

// True when the first "<!--" has a "-->" starting after its first byte.
bool HasWholeComment(std::string_view raw) {
  const std::size_t open = FindAtBoundary(raw, "<!--");
  return open != std::string_view::npos && FindAtBoundary(raw, "-->", open + 1) != std::string_view::npos;
}

std::string_view CutAt(std::string_view text, std::string_view stop) {
  const std::size_t at = FindAtBoundary(text, stop);
  return at == std::string_view::npos ? text : text.substr(0, at);
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

// What the classification needs to know of one line.
struct LineFacts {
  std::size_t number = 0;      // 1-based
  std::string_view raw;        // as written
  std::string_view trimmed;    // without bytes <= 0x20 at both ends
  std::string low;             // trimmed with ASCII letters lowered
  std::string_view head;       // low up to the first ">" and then the first space
  std::string closeForm;       // head with its first "<" written as "</"
  std::string_view abbreviation;
  bool ShortAbbreviation() const { return abbreviation.size() < 2; }
};

class LevelPass {
 public:
  // With `result`, also writes each line without the marker this pass put
  // in front of it.
  LevelPass(std::string_view text, int indentType, std::string* result)
      : lines_(SplitLines(text)), indentType_(indentType), result_(result) {
    out_.reserve(text.size() + lines_.size() * 40);
    if (result_) result_->reserve(text.size() + text.size() / 2);
    maxIndentBytes_ = IndentationLimitFor(text.size());
  }

  std::string Run() {
    LineFacts facts;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      Describe(i, facts);
      if (!facts.trimmed.empty()) {
        const std::size_t lineStart = out_.size();
        if (!EmitCommentLine(facts)) EmitSectionLine(facts);
        if (result_) AppendWithoutOwnMarker(std::string_view(out_).substr(lineStart), facts);
        out_ += "\r\n";
      }
      previousTrimmed_ = facts.trimmed;
      previousHead_.assign(facts.head);
    }
    return std::move(out_);
  }

 private:
  void Describe(std::size_t index, LineFacts& f) const {
    f.number = index + 1;
    f.raw = lines_[index];
    f.trimmed = PlainTrimView(f.raw);
    f.low = SjisLowerCase(f.trimmed);
    f.head = CutAt(CutAt(f.low, ">"), " ");
    const std::size_t open = FindAtBoundary(f.head, "<");
    const std::size_t slashAt = open == std::string_view::npos ? f.head.size() : open + 1;
    f.closeForm.assign(f.head.substr(0, slashAt));
    if (open != std::string_view::npos) f.closeForm += '/';
    f.closeForm.append(f.head.substr(slashAt));
    f.abbreviation = AbbreviationOf(f.closeForm);
  }

  // A line written as it stands (head lines, lines after the body) carries
  // no marker of this pass, even when the author's text looks like one.
  void AppendWithoutOwnMarker(std::string_view line, const LineFacts& f) {
    const bool unmarked = line == f.raw || line == f.trimmed;
    *result_ += unmarked ? line : line.substr(MarkerLengthAt(line));
    *result_ += "\r\n";
  }

  bool NextLineIs(std::size_t number, std::string_view lowered) const {
    return number < lines_.size() && SjisLowerCase(lines_[number]) == lowered;
  }

  // Lines that open, continue or close a comment spread over several lines.
  bool EmitCommentLine(const LineFacts& f) {
    const bool opens = SjisContains(f.raw, "<!--");
    const bool closes = SjisContains(f.raw, "-->");
    std::string_view prefix;
    if (inComment_ && !opens && !closes) {
      prefix = kCommentMiddle;
    } else if (inComment_ && closes && !opens) {
      prefix = kCommentLast;
      inComment_ = false;
    } else if (!inComment_ && opens && !closes) {
      prefix = kCommentFirst;
      inComment_ = true;
    } else {
      return false;
    }
    if (!inHead_) out_ += prefix;
    out_ += f.raw;
    return true;
  }

  void EmitSectionLine(const LineFacts& f) {
    if (!SjisContains(f.trimmed, "</div") && !SjisContains(f.trimmed, "<div") && HasWholeComment(f.raw)) {
      if (!inHead_) out_ += kCommentOneLine;
      out_ += f.raw;
      // The comment is closed on this line in the head as well; a flag left
      // set there would hide the "</head>" line.
      inComment_ = false;
    } else if (SjisContains(f.raw, "</head>")) {
      inHead_ = false;
      out_ += f.trimmed;
    } else if (SjisContains(f.raw, "</body")) {
      inBody_ = false;
      afterBody_ = true;
      out_ += f.trimmed;
    } else if (afterBody_) {
      out_ += f.raw;
    } else if (SjisContains(f.raw, "<body")) {
      inBody_ = true;
      inHead_ = false;
      out_ += f.trimmed;
    } else if (inHead_) {
      out_ += SjisContains(f.raw, "<") ? f.trimmed : f.raw;
    } else if (SjisContains(f.raw, "<head>")) {
      inHead_ = true;
      out_ += f.trimmed;
    } else if (inBody_) {
      EmitBodyLine(f);
    } else if (!SjisContains(f.raw, " <")) {
      out_ += kBetweenSectionsPrefix;
      out_ += f.raw;
    } else {
      out_ += kBetweenSectionsTagPrefix;
      out_ += f.trimmed;
    }
  }

  void EmitBodyLine(const LineFacts& f) {
    const Pos scriptOpen = SjisPos("<script", f.raw);
    const Pos scriptClose = SjisPos("</script", f.raw);
    if (scriptOpen != 0 && scriptClose != 0 && scriptOpen < scriptClose) {
      inScript_ = false;
    } else if (scriptOpen != 0 && scriptClose == 0) {
      inScript_ = true;
    } else if (scriptClose != 0 && scriptOpen == 0) {
      inScript_ = false;
      Marker(f, kScriptClose);
      out_ += f.trimmed;
      return;
    }
    if (!f.trimmed.starts_with('<')) {
      EmitTextLine(f);
    } else if (!inScript_ || SjisContains(f.trimmed, "<script")) {
      EmitTagLine(f);
    } else {
      AppendCodePrefix(out_, f.number);
      out_ += f.raw;
    }
  }

  // Text lines stand unindented behind their marker.
  void EmitTextLine(const LineFacts& f) {
    if (inScript_ || ContainsAny(f.raw, kCodeSigns)) {
      AppendCodePrefix(out_, f.number);
    } else if (ContainsAny(f.raw, kCellCloses)) {
      AppendLevelMarker(out_, f.number, kTextClosingCell, kFillerCell, level_);
    } else if (HasInnerBlockTag(f.raw)) {
      level_ = std::max(level_ - 1, 0);
      AppendLevelMarker(out_, f.number, kTextClosingLevel, kFillerCell, level_);
    } else if (!SjisContains(f.raw, "</")) {
      AppendLevelMarker(out_, f.number, kTextPlain, kFillerPlain, level_);
    } else {
      AppendLevelMarker(out_, f.number, kTextClosingInline, kFillerOther, level_);
    }
    out_ += f.raw;
  }

  void EmitTagLine(const LineFacts& f) {
    const std::string_view t = f.trimmed;
    if (SjisContains(t, "</span>") && !SjisContains(t, "<div")) {
      Indented(f, f.ShortAbbreviation() ? kSpanCloseShort : kSpanClose);
    } else if (SjisContains(t, "</td") || SjisContains(t, "</thd")) {
      // An empty cell gets a space that browsers keep.
      if (t == "<td></td>") Indented(f, kCellClose, "<td>&nbsp;</td>");
      else if (t == "<th></th>") Indented(f, kCellClose, "<th>&nbsp;</th>");
      else Indented(f, kCellClose);
    } else if (t.starts_with("</")) {
      EmitClosingTagLine(f);
    } else if (SjisContains(f.low, f.closeForm)) {
      if (f.ShortAbbreviation()) Indented(f, kClosedInLineShort);
      else if (t.starts_with("<script")) FlushLeft(f, kClosedInLine);
      else Indented(f, kClosedInLine);
    } else if (f.head != previousHead_) {
      EmitNewKindLine(f);
    } else {
      EmitRepeatedKindLine(f);
    }
  }

  void EmitClosingTagLine(const LineFacts& f) {
    const std::string_view t = f.trimmed;
    if (IsBlockTag(t)) {
      level_ = std::max(level_ - 1, 0);
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
      Indented(f, NextLineIs(f.number, "<tr>") ? kTableBeforeRow : kTableOther);
    } else if (f.ShortAbbreviation()) {
      Indented(f, kNewKindShort);
    } else if (t.starts_with("<script")) {
      FlushLeft(f, kScriptOpen);
      inScript_ = true;
    } else if (t.starts_with("<style")) {
      FlushLeft(f, kNewKind);
    } else {
      Indented(f, kNewKind);
    }
    if (opensLevel) ++level_;
  }

  void EmitRepeatedKindLine(const LineFacts& f) {
    const std::string_view t = f.trimmed;
    if (IsBlockTag(f.head)) {
      Indented(f, kRepeatedLevelOpen);
      ++level_;
    } else if (t.starts_with("<p>")) {
      Indented(f, kRepeatedParagraph);
    } else if (f.ShortAbbreviation()) {
      Indented(f, kRepeatedShort);
    } else if (t.starts_with("<script")) {
      FlushLeft(f, kScriptOpen);
      inScript_ = true;
    } else {
      Indented(f, kRepeated);
    }
  }

  void Marker(const LineFacts& f, std::string_view symbols) {
    AppendLevelMarker(out_, f.number, symbols, f.abbreviation, level_);
  }
  void Indented(const LineFacts& f, std::string_view symbols) { Indented(f, symbols, f.trimmed); }
  void Indented(const LineFacts& f, std::string_view symbols, std::string_view text) {
    Marker(f, symbols);
    CountIndentation();
    AppendIndent(out_, level_, indentType_);
    out_ += text;
  }
  void FlushLeft(const LineFacts& f, std::string_view symbols) {
    Marker(f, symbols);
    out_ += f.trimmed;
  }

  // Deep nesting makes the indentation grow with the square of the depth;
  // stop before it exhausts memory.
  void CountIndentation() {
    indentBytes_ += static_cast<std::size_t>(std::max(level_, 0)) * IndentUnitBytes(indentType_);
    if (indentBytes_ > maxIndentBytes_) throw IndentationTooLarge(maxIndentBytes_);
  }

  const std::vector<std::string_view> lines_;
  const int indentType_;
  std::string* result_;
  std::string out_;
  std::size_t indentBytes_ = 0;
  std::size_t maxIndentBytes_ = 0;

  int level_ = 1;
  bool inHead_ = true;  // also everything before "<head>"
  bool inBody_ = false;
  bool afterBody_ = false;
  bool inComment_ = false;
  bool inScript_ = false;
  std::string_view previousTrimmed_;
  std::string previousHead_;
};

// Symbols that only ever stood inside cut markers, or that older texts carry.
constexpr std::array<std::string_view, 5> kSymbolsToRemove{
    kRepeatedLevelOpen,  // ◎●
    kClosedInLineShort,  // ◎○
    "\x81\x9d\x81\x90",  // ◎＄
    kRepeated,           // ◎□
    "\x81\xa1\x81\x9e",  // ■◇
};

}  // namespace

std::string IndentString(int level, int indentType) {
  std::string indent;
  AppendIndent(indent, level, indentType);
  return indent;
}

std::string MarkIndentLevels(std::string_view text, int indentType) {
  return LevelPass(text, indentType, nullptr).Run();
}

MarkedText MarkIndentLevelsWithResult(std::string_view text, int indentType) {
  MarkedText marked;
  marked.work = LevelPass(text, indentType, &marked.result).Run();
  return marked;
}

std::size_t IndentationLimitFor(std::size_t textSize) { return 4 * textSize + (std::size_t(64) << 20); }

IndentationTooLarge::IndentationTooLarge(std::size_t limit)
    : std::length_error("the indentation would take more than " + std::to_string(limit >> 20) +
                        " MB (four times the page plus 64 MB): the page is nested too deeply"),
      limit_(limit) {}

std::string StripLevelMarkers(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::string_view line : SplitLines(text)) {
    if (PlainTrimView(line).empty()) continue;
    out += line.substr(MarkerLengthAt(line));
    out += "\r\n";
  }
  return out;
}

std::string RemoveMarkerSymbols(std::string_view text) {
  std::string out(text);
  for (std::string_view symbols : kSymbolsToRemove) out = ReplaceAllText(out, symbols, "");
  return out;
}

}  // namespace zelm
