#include "indent/SharedConversion.h"

#include <algorithm>

#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/ByteSearch.h"
#include "encoding/CharsetLabel.h"
#include "indent/SharedInputPasses.h"
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
std::size_t ConversionCutFrom(std::string_view native, std::size_t aim) {
  const std::size_t limit = std::min(native.size(), aim + kCutReach);
  const std::string_view blocks = native.substr(0, std::min(native.size(), limit + kBlockReach));
  for (std::size_t feed = FindByte(native, aim, '\n'); feed != std::string_view::npos && feed < limit;
       feed = FindByte(native, feed + 1, '\n')) {
    if (!IsConversionCut(native, feed + 1)) continue;
    if (const std::size_t end = EndOfCommentOrScriptAround(blocks, feed + 1); end != std::string_view::npos) {
      feed = end - 1;  // look again after the block
      continue;
    }
    return feed + 1;
  }
  return std::string_view::npos;
}

std::string_view PartOf(std::string_view native, const std::vector<std::size_t>& cuts, std::size_t k) {
  const std::size_t end = k + 1 < cuts.size() ? cuts[k + 1] : native.size();
  return native.substr(cuts[k], end - cuts[k]);
}

}  // namespace

std::vector<std::size_t> ConversionCuts(std::string_view native, const PassSharing& sharing) {
  std::vector<std::size_t> cuts{0};
  const std::size_t pieces = sharing.PiecesFor(native.size());
  if (pieces < 2) return cuts;
  // The first part ends soon after the head: it alone decides how the page is read.
  const std::size_t body = FindLowerCaseBytes(native, "<body");
  if (body == std::string_view::npos) return cuts;
  const std::size_t afterHead = ConversionCutFrom(native, body + 1);
  if (afterHead == std::string_view::npos) return cuts;
  cuts.push_back(afterHead);
  const std::size_t rest = native.size() - afterHead;
  for (std::size_t k = 1; k < pieces; ++k) {
    const std::size_t cut = ConversionCutFrom(native, std::max(afterHead + rest / pieces * k, cuts.back() + 1));
    if (cut == std::string_view::npos) continue;
    if (cut > cuts.back() && cut < native.size()) cuts.push_back(cut);
  }
  return cuts;
}

std::string JoinParts(std::vector<std::string>& parts, unsigned threads) {
  std::vector<std::size_t> at(parts.size() + 1, 0);
  for (std::size_t k = 0; k < parts.size(); ++k) at[k + 1] = at[k] + parts[k].size();
  std::string joined(at.back(), '\0');
  RunSideBySide(parts.size(), threads, [&](std::size_t k) {
    std::copy(parts[k].begin(), parts[k].end(), joined.begin() + static_cast<std::ptrdiff_t>(at[k]));
    std::string().swap(parts[k]);
  });
  return joined;
}

std::optional<ShiftJisPageParts> ShiftJisPageParts::Of(std::string_view native, const PassSharing& sharing) {
  std::vector<std::size_t> cuts = ConversionCuts(native, sharing);
  if (cuts.size() < 2) return std::nullopt;
  const std::string first = RemoveBlankLines(PartOf(native, cuts, 0));
  if (AutomaticModeReadsShiftJis(first) != true) return std::nullopt;
  // The first part holds the first "<body": the head lies in it.
  std::string beforeBody = first.substr(0, FindLowerCaseBytes(first, "<body"));
  return ShiftJisPageParts(native, std::move(cuts), std::move(beforeBody));
}

std::string_view ShiftJisPageParts::Loaded(std::size_t k) const { return PartOf(native_, cuts_, k); }

std::string ShiftJisPageParts::Converted(std::size_t k, WholeTextLabels& labels) const {
  std::string dropped = RemoveBlankLines(Loaded(k));
  labels.Add(dropped);  // read before the part's own labels are rewritten
  return ConvertShiftJisPageTaking(std::move(dropped));
}

CharCodeIndex ShiftJisPageParts::Declared(const WholeTextLabels& labels) const {
  return GetCharCodeFromMeta(beforeBody_, labels);
}

std::optional<ConvertedShiftJisPage> ConvertShiftJisPageSideBySide(std::string_view native,
                                                                   const PassSharing& sharing) {
  const std::optional<ShiftJisPageParts> page = ShiftJisPageParts::Of(native, sharing);
  if (!page) return std::nullopt;
  std::vector<std::string> parts(page->Count());
  std::vector<WholeTextLabels> labels(parts.size());
  RunSideBySide(parts.size(), sharing.threads, [&](std::size_t k) { parts[k] = page->Converted(k, labels[k]); });
  for (std::size_t k = 1; k < labels.size(); ++k) labels[0].Add(labels[k]);
  return ConvertedShiftJisPage{std::move(parts), page->Declared(labels[0])};
}

}  // namespace zelm
