#include "indent/PageCuts.h"

namespace zelm {
namespace {

bool EndsLineAlone(char c) { return static_cast<unsigned char>(c) > 0x20; }

// The end of the first `close` after `at` when no `open` comes before it,
// or npos.
std::size_t EndOfBlockAround(std::string_view text, std::size_t at, std::string_view open, std::string_view close) {
  const std::size_t closing = text.find(close, at);
  if (closing == std::string_view::npos) return std::string_view::npos;
  const std::size_t opening = text.find(open, at);
  return opening < closing ? std::string_view::npos : closing + close.size();
}

}  // namespace

std::size_t PartsFor(std::size_t size, const PassSharing& sharing, std::size_t partBytes) {
  const std::size_t shared = sharing.PiecesFor(size);
  return partBytes == 0 ? shared : std::max(shared, size / partBytes);
}

bool StartsLineAlone(std::string_view text, std::size_t at) {
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  if (at >= text.size()) return false;
  const char c = text[at];
  if (c <= 0x20 || c >= 0x7f || c == '>') return false;
  return c != '<' || at + 1 >= text.size() || text[at + 1] != '/';
}

bool NoReachAcross(std::string_view text, std::size_t at, const std::vector<LineBreakReach>& reaches) {
  for (const LineBreakReach& reach : reaches)
    if (reach.AppliesAt(text, at)) return false;
  return true;
}

std::size_t EndOfCommentOrScriptAround(std::string_view text, std::size_t at) {
  const std::size_t comment = EndOfBlockAround(text, at, "<!--", "-->");
  if (comment != std::string_view::npos) return comment;
  return EndOfBlockAround(text, at, "<script", "</script");
}

std::vector<std::size_t> InputPassCuts(std::string_view text, const std::vector<LineBreakReach>& reaches,
                                       std::size_t parts) {
  std::vector<std::size_t> cuts{0};
  if (parts < 2) return cuts;
  const std::size_t step = text.size() / parts;
  for (std::size_t k = 1; k < parts; ++k) {
    // A cut is looked for from the aimed-at place up to the next one.
    const std::size_t aim = std::max(step * k, cuts.back() + 1);
    const std::string_view window = text.substr(0, std::min(text.size(), aim + step));
    const std::string_view blocksWindow = text.substr(0, std::min(text.size(), aim + 2 * step + kBlockReach));
    for (std::size_t cr = window.find('\r', aim); cr != std::string_view::npos && cr + 2 < text.size();
         cr = window.find('\r', cr + 1)) {
      if (cr == 0 || text[cr + 1] != '\n' || !EndsLineAlone(text[cr - 1]) || !StartsLineAlone(text, cr + 2)) continue;
      if (!NoReachAcross(text, cr + 2, reaches)) continue;
      if (const std::size_t end = EndOfCommentOrScriptAround(blocksWindow, cr + 2); end != std::string_view::npos) {
        cr = end - 1;  // look again after the block
        continue;
      }
      cuts.push_back(cr + 2);
      break;
    }
  }
  return cuts;
}

std::vector<std::size_t> LineAlignedCuts(std::string_view text, std::size_t pieces) {
  std::vector<std::size_t> cuts{0};
  if (pieces < 2 || text.empty()) return cuts;
  for (std::size_t k = 1; k < pieces; ++k) {
    const std::size_t aim = std::max(text.size() / pieces * k, cuts.back() + 1);
    // A line that starts right at the aimed-at place is cut there.
    const std::size_t feed = text.find('\n', aim - 1);
    if (feed == std::string_view::npos || feed + 1 >= text.size()) break;
    cuts.push_back(feed + 1);
  }
  return cuts;
}

}  // namespace zelm
