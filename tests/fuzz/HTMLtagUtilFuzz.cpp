// The tag classification over arbitrary lines: the one-walk inner tag test
// gives what a search for each tag's first occurrence gives, the
// replacement in closing div lines leaves every other line as it was, and
// the one-pass rewriting of labelled closing tags gives what rewriting one
// tag at a time gives (the two patterns serving as the marks).
//
// Input: one option byte (lengths of the old and new patterns), the two
// patterns, then the text.
#include <array>
#include <string>
#include <vector>

#include "../indent/ReferenceLevelPass.h"
#include "FuzzSupport.h"
#include "indent/DivCommentMarks.h"
#include "indent/HTMLtagUtil.h"

namespace zelm::fuzz {
namespace {

constexpr std::array<std::string_view, 37> kOpening{
    "<div", "<address", "<table", "<tbody", "<tr", "<dl", "<ul", "<ol", "<pre", "<form", "<thead",
    "<tfoot", "<cite", "<object", "<fieldset", "<select", "<map", "<blockquote", "noscript",
    "<section", "<nav", "<article", "<aside", "<hgroup", "<header", "<footer", "<figure", "<main",
    "<video", "<audio", "<canvas", "<h1", "<h2", "<h3", "<h4", "<h5", "<h6",
};

// True when some tag's first occurrence at a boundary is at byte 3 or later.
bool ReferenceHasInnerBlockTag(std::string_view line) {
  for (std::string_view tag : kOpening) {
    if (NaiveSjisPos(tag, line) >= 3) return true;
  }
  for (std::string_view tag : kOpening) {
    const std::string closing = tag.starts_with('<') ? "</" + std::string(tag.substr(1)) : std::string(tag);
    if (NaiveSjisPos(closing, line) >= 3) return true;
  }
  return false;
}

// Rewrites one labelled tag at a time in a copy of the text, each search
// from the start of the copy, going on after the text just written.
std::string ReferenceReplaceCommentSubStr(std::string_view text, std::string_view start, std::string_view endTag) {
  std::string w(text);
  std::size_t from = 0;
  for (;;) {
    const Pos a = NaivePosFromIndex0(start, w, from);
    if (a == 0) break;
    const Pos b = NaiveSjisPosFrom(endTag, w, a - 1 + start.size());
    if (b == 0) break;
    const std::size_t blockSize = b - 1 + endTag.size() - (a - 1);
    const std::string comment = w.substr(a - 1 + start.size(), blockSize - start.size() - endTag.size());
    const std::string written = "><!--" + comment + "-->";
    w.replace(a - 1, blockSize, written);
    from = a - 1 + written.size();
  }
  return w;
}

// Does the walk over the characters of `mark` end at its end, its last
// byte no lead byte left alone? (Marks cut in a character are not compared:
// the copy is walked anew and the text is not.)
bool WholeCharacters(std::string_view mark) {
  std::size_t i = 0;
  while (i < mark.size()) {
    if (i + 1 == mark.size() && IsSjisLeadByte(static_cast<unsigned char>(mark[i]))) return false;
    i += SjisCharLength(mark, i);
  }
  return true;
}

std::string WithoutLineBreaks(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '\r' && c != '\n') out += c;
  return out;
}

}  // namespace
}  // namespace zelm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelm;
  using namespace zelm::fuzz;
  Input input(data, size);
  const std::uint8_t options = input.Byte();
  const std::string oldPattern = WithoutLineBreaks(input.Take(1 + (options & 7)));
  const std::string newPattern = WithoutLineBreaks(input.Take((options >> 3) & 15));
  const std::string_view text = input.Rest();

  const std::vector<std::string_view> lines = SplitLines(text);
  for (std::string_view line : lines) {
    if (line.size() > 1024) {
      IsBlockTag(line);
      HasInnerBlockTag(line);
      continue;
    }
    ZELM_CHECK(IsBlockTag(line) == test::ReferenceIsBlockTag(line), "IsBlockTag of " + Show(line));
    ZELM_CHECK(IsBlockTag(PlainTrimView(line)) == test::ReferenceIsBlockTag(PlainTrimView(line)),
               "IsBlockTag of " + Show(PlainTrimView(line)));
    const bool inner = HasInnerBlockTag(line);
    ZELM_CHECK(inner == ReferenceHasInnerBlockTag(line), "HasInnerBlockTag of " + Show(line));
    ZELM_CHECK(inner == test::ReferenceHasInnerBlockTag(line), "HasInnerBlockTag of " + Show(line));
  }

  const std::string_view start = oldPattern;
  const std::string endTag = newPattern + ">";
  if (text.size() <= 4096 && WholeCharacters(start) && WholeCharacters(endTag)) {
    ZELM_CHECK(ReplaceCommentSubStr(text, start, endTag) == ReferenceReplaceCommentSubStr(text, start, endTag),
               "ReplaceCommentSubStr with " + Show(start) + " and " + Show(endTag));
  }

  const std::string replaced = ReplaceInDivCloseLines(text, oldPattern, newPattern);
  const std::vector<std::string_view> replacedLines = SplitLines(replaced);
  ZELM_CHECK(replacedLines.size() == lines.size(), "ReplaceInDivCloseLines changed the line count");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool closesOnly = NaiveSjisPos("</div", lines[i]) != 0 && NaiveSjisPos("<div", lines[i]) == 0;
    if (!closesOnly) ZELM_CHECK(replacedLines[i] == lines[i], "line " + std::to_string(i + 1) + " changed");
  }
  return 0;
}
