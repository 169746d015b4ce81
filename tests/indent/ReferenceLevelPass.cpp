#include "ReferenceLevelPass.h"

#include <algorithm>
#include <array>
#include <vector>

#include "indent/LevelMarkerFormat.h"
#include "indent/LevelMarkers.h"
#include "text/StringUtil.h"

namespace zelm::test {
namespace {

using namespace marker;

constexpr std::array<std::string_view, 40> kLevelElementNames{
    "div", "address", "table", "tbody", "tr", "dl", "ul", "ol", "pre", "form", "thead", "tfoot",
    "cite", "object", "fieldset", "select", "map", "blockquote", "noscript", "section", "nav",
    "article", "aside", "hgroup", "header", "footer", "figure", "main", "video", "audio", "canvas",
    "figcaption", "h1", "h2", "h3", "h4", "h5", "h6", "svg", "g",
};

const std::vector<std::string>& InnerTags(bool closing) {
  static const auto build = [](std::string_view open) {
    std::vector<std::string> tags;
    for (std::string_view name : {"div", "address", "table", "tbody", "tr", "dl", "ul", "ol", "pre", "form",
                                  "thead", "tfoot", "cite", "object", "fieldset", "select", "map", "blockquote",
                                  "noscript", "section", "nav", "article", "aside", "hgroup", "header", "footer",
                                  "figure", "main", "video", "audio", "canvas", "h1", "h2", "h3", "h4", "h5", "h6"})
      tags.push_back(name == "noscript" ? std::string(name) : std::string(open) + std::string(name));
    return tags;
  };
  static const std::vector<std::string> opening = build("<"), closingTags = build("</");
  return closing ? closingTags : opening;
}

bool Contains(std::string_view text, std::string_view sub) { return SjisPos(sub, text) != 0; }

// True when the first "<!--" has a "-->" starting after its first byte.
bool HasWholeComment(std::string_view raw) {
  const Pos open = SjisPos("<!--", raw);
  return open != 0 && SjisPosFrom("-->", raw, open) != 0;
}

std::string_view CutAt(std::string_view text, std::string_view stop) {
  const Pos at = SjisPos(stop, text);
  return at == 0 ? text : text.substr(0, at - 1);
}

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

struct LineFacts {
  std::size_t number = 0;
  std::string_view raw, trimmed;
  std::string low, head, closeForm;
  std::string abbreviation;
  bool ShortAbbreviation() const { return abbreviation.size() < 2; }
};

class Pass {
 public:
  Pass(std::string_view text, int indentType) : lines_(SplitLines(text)), indentType_(indentType) {}

  ReferenceMarked Run() {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      LineFacts f;
      f.number = i + 1;
      f.raw = lines_[i];
      f.trimmed = PlainTrimView(f.raw);
      f.low = SjisLowerCase(f.trimmed);
      f.head = std::string(CutAt(CutAt(f.low, ">"), " "));
      f.closeForm = ReplaceFirstExact(f.head, "<", "</");
      f.abbreviation = std::string(AbbreviationOf(f.closeForm));
      if (!f.trimmed.empty()) {
        line_.clear();
        if (!EmitCommentLine(f)) EmitSectionLine(f);
        work_.push_back(line_);
        const bool unmarked = line_ == f.raw || line_ == f.trimmed;
        result_.push_back(unmarked ? line_ : line_.substr(MarkerLengthAt(line_)));
      }
      previousTrimmed_ = std::string(f.trimmed);
      previousHead_ = f.head;
    }
    return {JoinLines(work_), JoinLines(result_)};
  }

 private:
  bool EmitCommentLine(const LineFacts& f) {
    const bool opens = Contains(f.raw, "<!--");
    const bool closes = Contains(f.raw, "-->");
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
    if (!inHead_) line_ += prefix;
    line_ += f.raw;
    return true;
  }

  void EmitSectionLine(const LineFacts& f) {
    if (!Contains(f.trimmed, "</div") && !Contains(f.trimmed, "<div") && HasWholeComment(f.raw)) {
      if (!inHead_) line_ += kCommentOneLine;
      line_ += f.raw;
      inComment_ = false;
    } else if (Contains(f.raw, "</head>")) {
      inHead_ = false;
      line_ += f.trimmed;
    } else if (Contains(f.raw, "</body")) {
      inBody_ = false;
      afterBody_ = true;
      line_ += f.trimmed;
    } else if (afterBody_) {
      line_ += f.raw;
    } else if (Contains(f.raw, "<body")) {
      inBody_ = true;
      inHead_ = false;
      line_ += f.trimmed;
    } else if (inHead_) {
      line_ += Contains(f.raw, "<") ? f.trimmed : f.raw;
    } else if (Contains(f.raw, "<head>")) {
      inHead_ = true;
      line_ += f.trimmed;
    } else if (inBody_) {
      EmitBodyLine(f);
    } else if (!Contains(f.raw, " <")) {
      line_ += kBetweenSectionsPrefix;
      line_ += f.raw;
    } else {
      line_ += kBetweenSectionsTagPrefix;
      line_ += f.trimmed;
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
      line_ += f.trimmed;
      return;
    }
    if (!f.trimmed.starts_with('<')) {
      EmitTextLine(f);
    } else if (!inScript_ || Contains(f.trimmed, "<script")) {
      EmitTagLine(f);
    } else {
      AppendCodePrefix(line_, f.number);
      line_ += f.raw;
    }
  }

  void EmitTextLine(const LineFacts& f) {
    const auto any = [&](std::initializer_list<std::string_view> parts) {
      return std::any_of(parts.begin(), parts.end(), [&](std::string_view p) { return Contains(f.raw, p); });
    };
    if (inScript_ || any({"(", ")", "{", "}", "+", ";", " var "})) {
      AppendCodePrefix(line_, f.number);
    } else if (any({"</td>", "</dd>", "</dt>", "</th>"})) {
      AppendLevelMarker(line_, f.number, kTextClosingCell, kFillerCell, level_);
    } else if (ReferenceHasInnerBlockTag(f.raw)) {
      level_ = std::max(level_ - 1, 0);
      AppendLevelMarker(line_, f.number, kTextClosingLevel, kFillerCell, level_);
    } else if (!Contains(f.raw, "</")) {
      AppendLevelMarker(line_, f.number, kTextPlain, kFillerPlain, level_);
    } else {
      AppendLevelMarker(line_, f.number, kTextClosingInline, kFillerOther, level_);
    }
    line_ += f.raw;
  }

  void EmitTagLine(const LineFacts& f) {
    const std::string_view t = f.trimmed;
    if (Contains(t, "</span>") && !Contains(t, "<div")) {
      Indented(f, f.ShortAbbreviation() ? kSpanCloseShort : kSpanClose);
    } else if (Contains(t, "</td") || Contains(t, "</thd")) {
      if (t == "<td></td>") Indented(f, kCellClose, "<td>&nbsp;</td>");
      else if (t == "<th></th>") Indented(f, kCellClose, "<th>&nbsp;</th>");
      else Indented(f, kCellClose);
    } else if (t.starts_with("</")) {
      if (ReferenceIsBlockTag(t)) {
        level_ = std::max(level_ - 1, 0);
        if (t == "</table>") Indented(f, previousTrimmed_ == "</tr>" ? kTableCloseAfterRow : kTableClose);
        else Indented(f, kLevelClose);
      } else if (t.starts_with("</style")) {
        FlushLeft(f, kOtherClose);
      } else {
        Indented(f, kOtherClose);
      }
    } else if (Contains(f.low, f.closeForm)) {
      if (f.ShortAbbreviation()) Indented(f, kClosedInLineShort);
      else if (t.starts_with("<script")) FlushLeft(f, kClosedInLine);
      else Indented(f, kClosedInLine);
    } else if (f.head != previousHead_) {
      const bool opensLevel = ReferenceIsBlockTag(t);
      if (t == "<p>") {
        Indented(f, kClosedInLine);
      } else if (t.starts_with("<table")) {
        const bool rowNext = f.number < lines_.size() && SjisLowerCase(lines_[f.number]) == "<tr>";
        Indented(f, rowNext ? kTableBeforeRow : kTableOther);
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
    } else if (ReferenceIsBlockTag(f.head)) {
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
    AppendLevelMarker(line_, f.number, symbols, f.abbreviation, level_);
  }
  void Indented(const LineFacts& f, std::string_view symbols) { Indented(f, symbols, f.trimmed); }
  void Indented(const LineFacts& f, std::string_view symbols, std::string_view text) {
    Marker(f, symbols);
    line_ += IndentString(level_, indentType_);
    line_ += text;
  }
  void FlushLeft(const LineFacts& f, std::string_view symbols) {
    Marker(f, symbols);
    line_ += f.trimmed;
  }

  const std::vector<std::string_view> lines_;
  const int indentType_;
  std::vector<std::string> work_, result_;
  std::string line_;
  int level_ = 1;
  bool inHead_ = true, inBody_ = false, afterBody_ = false, inComment_ = false, inScript_ = false;
  std::string previousTrimmed_, previousHead_;
};

}  // namespace

bool ReferenceIsBlockTag(std::string_view line) {
  if (SjisPos("<", line) >= 2) return false;
  const std::string name = ReplaceFirstExact(ReplaceFirstExact(line, "</", ""), "<", "");
  return std::any_of(kLevelElementNames.begin(), kLevelElementNames.end(),
                     [&](std::string_view element) { return name.starts_with(element); });
}

bool ReferenceHasInnerBlockTag(std::string_view line) {
  for (bool closing : {false, true})
    for (const std::string& tag : InnerTags(closing))
      if (SjisPos(tag, line) >= 3) return true;
  return false;
}

ReferenceMarked ReferenceMarkIndentLevels(std::string_view text, int indentType) {
  return Pass(text, indentType).Run();
}

namespace {

// Tags a body line is split in front of; the last one in the list that
// occurs at character 2 or later decides.
constexpr std::string_view kSplitTags[] = {
    "<table", "<tbody", "<tr", "<ul", "<dl", "<form", "<div", "</table", "</tbody", "</tr", "</ul", "</dl",
    "</form", "</div", "</pre",
};

struct JoinRule {
  std::string_view opening, unless, closing;
};

constexpr JoinRule kJoinRules[] = {
    {"<a ", {}, "</a>"},          {"<dd", {}, "</dd>"},          {"<div", "</div", "</div>"},
    {"<p", "</p>", "</p>"},       {"<map", "</map>", "</map>"},  {"<td", "</td>", "</td>"},
    {"<th", "</th>", "</th>"},    {"<li", "</li>", "</li>"},     {"<address", {}, "</address>"},
    {"<script", "</script>", "</script>"}, {"<h1", {}, "</h1>"}, {"<h2", {}, "</h2>"},
    {"<h3", {}, "</h3>"},         {"<h4", {}, "</h4>"},          {"<h5", {}, "</h5>"},
    {"<h6", {}, "</h6>"},
};

std::string WorkCopyOf(std::string_view raw) {
  std::string work = PlainTrim(TrimZSP(PlainTrim(ReplaceAllText(raw, "\t", " "))));
  for (std::size_t k = 16; k >= 1; --k) {
    std::string gap(k + 2, ' ');
    gap.front() = '>';
    gap.back() = '<';
    work = ReplaceAllText(work, gap, "><");
  }
  return work;
}

class Splitter {
 public:
  std::vector<std::string> lines;

  void Add(std::string_view raw) {
    const std::string work = WorkCopyOf(raw);
    if (work.empty()) return;
    const Pos open = SjisPos("<!--", raw), close = SjisPos("-->", raw);
    if (open != 0 && close != 0 && open < close) return Emit(work);
    if (inComment_ && open == 0 && close == 0) return Emit(raw);
    if (inComment_ && close != 0 && open == 0) {
      inComment_ = false;
      return Emit(raw);
    }
    if (!inComment_ && open != 0 && close == 0) {
      inComment_ = true;
      return Emit(raw);
    }
    if (Contains(raw, "</head>")) {
      inHead_ = false;
      return Emit(work);
    }
    if (Contains(raw, "</body")) {
      inBody_ = false;
      afterBody_ = true;
      return Emit(work);
    }
    if (afterBody_) return Emit(raw);
    if (Contains(raw, "<body")) {
      inBody_ = true;
      return Emit(work);
    }
    if (inHead_) return Emit(Contains(raw, "<") ? std::string_view(work) : raw);
    if (Contains(raw, "<head>")) {
      inHead_ = true;
      return Emit(work);
    }
    if (!inBody_) return Emit(Contains(raw, " <") ? std::string_view(work) : raw);
    Pos split = 0;
    for (std::string_view tag : kSplitTags)
      if (SjisPos(tag, work) >= 2) split = SjisPos(tag, work);
    if (!Contains(work, "<script") && SjisPos("</script", work) >= 2) split = SjisPos("</script", work);
    const std::string_view w(work);
    if (split != 0) {
      Emit(PlainTrim(w.substr(0, split - 1)));
      Emit(PlainTrim(w.substr(split - 1)));
    } else if (w.starts_with("<p") && !Contains(w, "</p")) {
      const Pos gt = SjisPos(">", w);
      if (gt == 0) return Emit(w);
      Emit(PlainTrim(w.substr(0, gt)));
      Emit(PlainTrim(w.substr(gt)));
    } else if (w.starts_with("<")) {
      Emit(w);
    } else {
      Emit(raw);
    }
  }

 private:
  void Emit(std::string_view line) { lines.emplace_back(line); }
  bool inHead_ = false, inBody_ = false, afterBody_ = false, inComment_ = false;
};

bool Takes(std::string_view line, std::string_view next) {
  if (PlainTrim(next) == ">") return true;
  for (const JoinRule& rule : kJoinRules)
    if (next == rule.closing && line.starts_with(rule.opening) && (rule.unless.empty() || !Contains(line, rule.unless)))
      return true;
  return false;
}

}  // namespace

std::string ReferenceAdjustLines(std::string_view text) {
  if (text.empty()) return {};
  Splitter splitter;
  for (std::string_view line : SplitLines(text)) splitter.Add(line);
  std::vector<std::string> kept, joined;
  for (const std::string& line : splitter.lines)
    if (!PlainTrim(line).empty()) kept.push_back(line);
  for (std::size_t i = 0; i < kept.size(); ++i) {
    joined.push_back(kept[i]);
    if (i + 1 < kept.size() && Takes(kept[i], kept[i + 1])) joined.back() += PlainTrim(kept[++i]);
  }
  return JoinLines(joined);
}

}  // namespace zelm::test
