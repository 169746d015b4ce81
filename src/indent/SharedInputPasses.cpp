#include "indent/SharedInputPasses.h"

#include <algorithm>

#include "indent/HTMLAdjustText.h"
#include "indent/IndentUtil.h"

namespace zelm {
namespace {

bool EndsLineAlone(char c) { return static_cast<unsigned char>(c) > 0x20 && c != '>'; }

bool StartsLineAlone(char c) { return c > 0x20 && c < 0x7f && c != '<' && c != '>'; }

// How far past the aimed-at place a cut is looked for.
constexpr std::size_t kCutSearch = 1 << 16;

// One part of the text. Line adjustment in every part but the first starts
// from a guess, the state of the middle of a body; once the part before it
// is done, a wrong guess makes the part go through the passes again.
struct Part {
  std::string_view source;
  std::string local;
  AdjustState start;
  AdjustState end;
  bool mayHoldDeclaration = false;
};

void PassPart(Part& part, bool first, const InputPasses& passes) {
  std::string text = passes.normaliseCase ? NormalizeTagCase(part.source) : std::string(part.source);
  if (first) {
    text = RewriteCharsetDecl(text, 0);
  } else if (MayHoldCharsetDecl(text)) {
    part.mayHoldDeclaration = true;
    return;
  }
  const std::string broken = passes.breakLines(text);
  std::string().swap(text);
  part.end = part.start;
  part.local = AdjustLines(broken, part.end);
}

}  // namespace

std::vector<std::size_t> InputPassCuts(std::string_view text, const PassSharing& sharing) {
  std::vector<std::size_t> cuts{0};
  const std::size_t minimum = std::max<std::size_t>(sharing.minimumPiece, 1);
  if (sharing.threads < 2 || text.size() < 2 * minimum) return cuts;
  const std::size_t pieces = std::min<std::size_t>(sharing.threads, text.size() / minimum);
  for (std::size_t k = 1; k < pieces; ++k) {
    const std::size_t aim = std::max(text.size() / pieces * k, cuts.back() + 1);
    const std::size_t last = std::min(text.size(), aim + kCutSearch);
    for (std::size_t cr = text.find('\r', aim); cr != std::string_view::npos && cr + 3 < last;
         cr = text.find('\r', cr + 1)) {
      if (cr > 0 && text[cr + 1] == '\n' && EndsLineAlone(text[cr - 1]) && StartsLineAlone(text[cr + 2])) {
        cuts.push_back(cr + 2);
        break;
      }
    }
  }
  return cuts;
}

std::optional<std::string> SharedLocalText(std::string_view text, const InputPasses& passes,
                                           const PassSharing& sharing) {
  const std::vector<std::size_t> cuts = InputPassCuts(text, sharing);
  if (cuts.size() < 2) return std::nullopt;
  std::vector<Part> parts(cuts.size());
  for (std::size_t k = 0; k < cuts.size(); ++k) {
    const std::size_t end = k + 1 < cuts.size() ? cuts[k + 1] : text.size();
    parts[k].source = text.substr(cuts[k], end - cuts[k]);
    if (k > 0) parts[k].start.inBody = true;
  }
  RunSideBySide(parts.size(), [&](std::size_t k) { PassPart(parts[k], k == 0, passes); });
  if (std::any_of(parts.begin(), parts.end(), [](const Part& part) { return part.mayHoldDeclaration; }))
    return std::nullopt;

  std::size_t size = 0;
  for (const Part& part : parts) size += part.local.size();
  std::string local;
  local.reserve(size + size / 64);
  AdjustState state = parts[0].end;
  local += parts[0].local;
  for (std::size_t k = 1; k < parts.size(); ++k) {
    Part& part = parts[k];
    if (part.start != state) {
      part.start = state;
      PassPart(part, /*first=*/false, passes);
    }
    local += part.local;
    std::string().swap(part.local);
    state = part.end;
  }
  return local;
}

}  // namespace zelm
