#include "indent/ShiftJisPageParts.h"

#include <algorithm>

#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/ByteSearch.h"
#include "indent/PageCuts.h"
#include "text/ByteScan.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

// How far past its aim a cut is looked for.
constexpr std::size_t kCutReach = std::size_t{64} << 10;

bool IsPrintableAscii(char c) { return c > 0x20 && c < 0x7F; }

// Right after a line feed ending a line whose last byte is printable ASCII,
// in front of a line that starts alone with printable ASCII.
bool IsConversionCut(std::string_view native, std::size_t at) {
  if (at < 3 || at >= native.size() || native[at - 1] != '\n' || !IsPrintableAscii(native[at])) return false;
  const std::size_t last = native[at - 2] == '\r' ? at - 3 : at - 2;
  return IsPrintableAscii(native[last]) && StartsLineAlone(native, at);
}

// The first cut at or after `aim`, within reach and out of comments and
// scripts; npos when there is none.
std::size_t ConversionCutFrom(std::string_view native, std::size_t aim, const std::vector<LineBreakReach>& reaches) {
  const std::size_t limit = std::min(native.size(), aim + kCutReach);
  const std::string_view blocks = native.substr(0, std::min(native.size(), limit + kBlockReach));
  for (std::size_t feed = FindByte(native, aim, '\n'); feed != std::string_view::npos && feed < limit;
       feed = FindByte(native, feed + 1, '\n')) {
    if (!IsConversionCut(native, feed + 1) || !NoReachAcross(native, feed + 1, reaches)) continue;
    if (const std::size_t end = EndOfCommentOrScriptAround(blocks, feed + 1); end != std::string_view::npos) {
      feed = end - 1;  // look again after the block
      continue;
    }
    return feed + 1;
  }
  return std::string_view::npos;
}

}  // namespace

std::vector<std::size_t> ConversionCuts(std::string_view native, const std::vector<LineBreakReach>& reaches,
                                        std::size_t parts) {
  std::vector<std::size_t> cuts{0};
  if (parts < 2) return cuts;
  // The first part ends soon after the head: it alone decides how the page is read.
  const std::size_t body = FindLowerCaseBytes(native, "<body");
  if (body == std::string_view::npos) return cuts;
  const std::size_t afterHead = ConversionCutFrom(native, body + 1, reaches);
  if (afterHead == std::string_view::npos) return cuts;
  cuts.push_back(afterHead);
  const std::size_t rest = native.size() - afterHead;
  for (std::size_t k = 1; k < parts; ++k) {
    const std::size_t cut = ConversionCutFrom(native, std::max(afterHead + rest / parts * k, cuts.back() + 1), reaches);
    if (cut == std::string_view::npos) continue;
    if (cut > cuts.back() && cut < native.size()) cuts.push_back(cut);
  }
  return cuts;
}

std::optional<ShiftJisPageParts> ShiftJisPageParts::Of(std::string_view firstPart) {
  const std::string first = RemoveBlankLines(firstPart);
  if (AutomaticModeReadsShiftJis(first) != true) return std::nullopt;
  // The first part holds the first "<body": the head lies in it.
  return ShiftJisPageParts(first.substr(0, FindLowerCaseBytes(first, "<body")));
}

std::string ShiftJisPageParts::Converted(std::string_view part, WholeTextLabels& labels) {
  std::string dropped = RemoveBlankLines(part);
  labels.Add(dropped);  // read before the part's own labels are rewritten
  return ConvertShiftJisPageTaking(std::move(dropped));
}

CharCodeIndex ShiftJisPageParts::Declared(const WholeTextLabels& labels) const {
  return GetCharCodeFromMeta(beforeBody_, labels);
}

}  // namespace zelm
