// The level pass and its reverse over arbitrary texts: cutting the markers
// gives back every non-blank line's content in order (with the pass's own
// documented changes), and the Work text grows only by a marker and the
// indentation of each line.
//
// Input: one option byte (the indentation type), then the text.
#include <array>
#include <charconv>
#include <string>
#include <vector>

#include "../indent/ReferenceLevelPass.h"
#include "FuzzSupport.h"
#include "indent/LevelMarkerFormat.h"
#include "indent/LevelMarkers.h"

namespace zelm::fuzz {
namespace {

constexpr std::array<int, 6> kIndentTypes{kIndentTwoSpaces, kIndentFourSpaces, kIndentTab, kIndentFlushLeft, 4, -1};

// The one change of content the indented text may show for a line.
bool SameContent(std::string_view source, std::string_view result) {
  const std::string_view content = PlainTrimView(source);
  const std::string_view shown = PlainTrimView(result);
  if (shown == content) return true;
  if (content == "<td></td>" && shown == "<td>&nbsp;</td>") return true;
  if (content == "<th></th>" && shown == "<th>&nbsp;</th>") return true;
  return shown.starts_with(marker::kBetweenSectionsTagPrefix) &&
         shown.substr(marker::kBetweenSectionsTagPrefix.size()) == content;
}

// The level a level marker at the start of the line shows, or -1.
int MarkedLevel(std::string_view line, std::size_t markerLength) {
  constexpr std::string_view kEnd = "]%-->";
  const std::string_view marker = line.substr(0, markerLength);
  if (!marker.ends_with(kEnd)) return -1;
  const std::size_t open = marker.rfind('[');
  if (open == std::string_view::npos) return -1;
  std::string_view digits = marker.substr(open + 1, marker.size() - kEnd.size() - open - 1);
  while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
  int level = -1;
  std::from_chars(digits.data(), digits.data() + digits.size(), level);
  return level;
}

std::size_t Digits(std::size_t n) {
  std::size_t d = 1;
  while (n >= 10) n /= 10, ++d;
  return d;
}

}  // namespace
}  // namespace zelm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelm;
  using namespace zelm::fuzz;
  Input input(data, size);
  const int indentType = kIndentTypes[input.Byte() % kIndentTypes.size()];
  const std::string_view text = input.Rest();

  const std::vector<std::string_view> lines = SplitLines(text);
  MarkedText marked;
  try {
    marked = MarkIndentLevelsWithResult(text, indentType);
  } catch (const IndentationTooLarge& error) {
    // Only a page nested deeper than its size allows.
    ZELM_CHECK(IndentString(1, indentType).size() != 0, "flush left cannot be too deep");
    return 0;
  }
  const std::string& work = marked.work;
  ZELM_CHECK(MarkIndentLevels(text, indentType) == work, "the Work text depends on asking for the result");
  ZELM_CHECK(IndentWithoutMarkers(text, indentType) == marked.result, "the Result alone differs");
  if (text.size() <= 16 * 1024) {
    const test::ReferenceMarked reference = test::ReferenceMarkIndentLevels(text, indentType);
    ZELM_CHECK(work == reference.work, "the Work text differs from the line-by-line pass for " + Show(text));
    ZELM_CHECK(marked.result == reference.result, "the Result differs from the line-by-line pass for " + Show(text));
  }
  const std::vector<std::string_view> workLines = SplitLines(work);

  bool markerLikeLine = false;
  for (std::string_view line : lines)
    markerLikeLine = markerLikeLine || marker::MarkerLengthAt(line) != 0 || marker::MarkerLengthAt(PlainTrimView(line)) != 0;

  // Growth: each Work line is its source line behind a marker and an
  // indentation, with at most "&nbsp;" or "■▽" added. Level 1 is the start,
  // and only a line can open a level. (Checked where the author wrote no
  // marker-like text, whose numbers the pass does not write.)
  if (!markerLikeLine) {
    const std::size_t longestMarker = 30 + (Digits(lines.size()) > 4 ? Digits(lines.size()) - 4 : 0) +
                                       (Digits(lines.size()) > 3 ? Digits(lines.size()) - 3 : 0);
    std::size_t allowed = text.size();
    for (std::string_view line : workLines) {
      const std::size_t markerLength = marker::MarkerLengthAt(line);
      ZELM_CHECK(markerLength <= longestMarker, "a marker of " + std::to_string(markerLength) + " bytes");
      const int level = markerLength == 0 ? -1 : MarkedLevel(line, markerLength);
      if (level >= 0) {
        ZELM_CHECK(static_cast<std::size_t>(level) <= lines.size() + 1, "level " + std::to_string(level) + " beyond the line count");
        allowed += IndentString(level, indentType).size();
      }
      allowed += markerLength + 6 + 2;
    }
    ZELM_CHECK(work.size() <= allowed, "Work text of " + std::to_string(work.size()) + " bytes, at most " +
                                           std::to_string(allowed) + " expected");
  }

  // Cutting the markers gives the content back, line by line.
  std::vector<std::string_view> content;
  for (std::string_view line : lines)
    if (!PlainTrimView(line).empty()) content.push_back(line);
  const std::vector<std::string_view> result = SplitLines(marked.result);
  ZELM_CHECK(result.size() == content.size(), std::to_string(result.size()) + " lines back for " +
                                                  std::to_string(content.size()) + " of " + Show(text));
  for (std::size_t i = 0; i < content.size(); ++i)
    ZELM_CHECK(SameContent(content[i], result[i]),
               "line " + std::to_string(i + 1) + ": " + Show(content[i]) + " came back as " + Show(result[i]));
  // The reverse step on its own cannot tell the author's marker-like line
  // that the pass left unmarked from a marker; on other texts it agrees.
  if (!markerLikeLine) ZELM_CHECK(StripLevelMarkers(work) == marked.result, "StripLevelMarkers differs from the result");

  // The reverse step and the symbol removal on any text.
  const std::string strippedAny = StripLevelMarkers(text);
  ZELM_CHECK(strippedAny.size() <= text.size() + 2 * lines.size(), "StripLevelMarkers grew the text");
  ZELM_CHECK(SplitLines(strippedAny).size() == content.size(), "StripLevelMarkers lost or made lines");
  ZELM_CHECK(RemoveMarkerSymbols(text).size() <= text.size(), "RemoveMarkerSymbols grew the text");
  return 0;
}
