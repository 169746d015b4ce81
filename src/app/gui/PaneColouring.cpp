#include "app/gui/PaneColouring.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "colour/RtfReader.h"
#include "colour/zhnHTMLRTF.h"

namespace zelm::gui {

const ColourStyle& ColourRuns::StyleAt(std::size_t ch) const { return palette_[styles_[RunAt(ch)]]; }

std::size_t ColourRuns::RunAt(std::size_t ch) const {
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), static_cast<std::uint32_t>(ch));
  return after == starts_.begin() ? 0 : static_cast<std::size_t>(after - starts_.begin()) - 1;
}

void ColourRuns::Append(std::uint32_t start, const ColourStyle& style) {
  auto found = std::find(palette_.begin(), palette_.end(), style);
  if (found == palette_.end()) {
    palette_.push_back(style);
    found = palette_.end() - 1;
  }
  const auto index = static_cast<std::uint8_t>(found - palette_.begin());
  if (!starts_.empty() && starts_.back() == start) {
    styles_.back() = index;  // the run before it covers nothing
    if (starts_.size() > 1 && styles_[styles_.size() - 2] == index) {
      starts_.pop_back();
      styles_.pop_back();
    }
    return;
  }
  if (!styles_.empty() && styles_.back() == index) return;
  starts_.push_back(start);
  styles_.push_back(index);
}

void ColourRuns::ApplyEdit(std::size_t from, std::size_t removed, std::size_t added) {
  if (starts_.empty()) return;
  // The run at 0 stays at 0: text put in front of everything takes the
  // first run's style. A run that starts at `from` moves behind the inserted
  // text, which thereby belongs to the run before it.
  const auto first = std::lower_bound(starts_.begin(), starts_.end(), static_cast<std::uint32_t>(std::max<std::size_t>(from, 1)));
  std::size_t k = static_cast<std::size_t>(first - starts_.begin());
  const auto collapsedAt = static_cast<std::uint32_t>(from + added);
  const auto removedEnd = from + removed;
  std::size_t collapsed = 0;  // runs whose start lay in the removed stretch, or right at its end
  const auto delta = static_cast<std::uint32_t>(added - removed);  // wraps for a net removal, as intended
  for (std::size_t i = k; i < starts_.size(); ++i) {
    if (starts_[i] < removedEnd) {
      starts_[i] = collapsedAt;
      ++collapsed;
    } else {
      starts_[i] += delta;
    }
  }
  // Of runs that now start at the same place only the last covers any text,
  // and a run that now follows one of its own style joins it.
  const std::size_t lo = k > 0 ? k - 1 : 0;
  const std::size_t hi = std::min(starts_.size(), k + collapsed + 1);
  std::size_t kept = lo;
  for (std::size_t i = lo; i < hi; ++i) {
    if (i + 1 < starts_.size() && starts_[i] == starts_[i + 1]) continue;
    if (kept > 0 && styles_[kept - 1] == styles_[i]) continue;
    starts_[kept] = starts_[i];
    styles_[kept] = styles_[i];
    ++kept;
  }
  starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(kept), starts_.begin() + static_cast<std::ptrdiff_t>(hi));
  styles_.erase(styles_.begin() + static_cast<std::ptrdiff_t>(kept), styles_.begin() + static_cast<std::ptrdiff_t>(hi));
  if (kept < starts_.size() && kept > 0 && styles_[kept] == styles_[kept - 1]) {
    starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(kept));
    styles_.erase(styles_.begin() + static_cast<std::ptrdiff_t>(kept));
  }
}

namespace {

ColourStyle StyleOf(const RtfRun& run) { return ColourStyle{run.color, run.bold}; }

// The byte of `paneText` at which each byte position of `documentText`
// stands, for the run starts (ascending) only. The reader gives back the
// text with every line break as CR LF and without what follows a NUL byte;
// apart from that the two texts are the same bytes.
std::vector<std::uint32_t> PaneBytesOfRunStarts(std::string_view paneText, std::string_view documentText,
                                                const std::vector<RtfRun>& runs) {
  std::vector<std::uint32_t> paneBytes;
  paneBytes.reserve(runs.size());
  std::size_t i = 0, j = 0, r = 0;
  while (r < runs.size()) {
    while (r < runs.size() && runs[r].start <= j) {
      paneBytes.push_back(static_cast<std::uint32_t>(i));
      ++r;
    }
    if (i >= paneText.size() || j >= documentText.size()) break;
    if (documentText[j] == '\r' && j + 1 < documentText.size() && documentText[j + 1] == '\n' &&
        (paneText[i] == '\r' || paneText[i] == '\n')) {
      const std::size_t paneBreak = (paneText[i] == '\r' && i + 1 < paneText.size() && paneText[i + 1] == '\n') ? 2 : 1;
      // A run that starts between the CR and the LF starts at the break.
      if (r < runs.size() && runs[r].start == j + 1) {
        paneBytes.push_back(static_cast<std::uint32_t>(i));
        ++r;
      }
      i += paneBreak;
      j += 2;
    } else {
      ++i;
      ++j;
    }
  }
  while (paneBytes.size() < runs.size()) paneBytes.push_back(static_cast<std::uint32_t>(paneText.size()));
  return paneBytes;
}

}  // namespace

ColourRuns ColourRunsOf(std::string_view sjis, const PositionMap& map) {
  ColourRuns result;
  if (sjis.empty()) return result;

  const std::string text(sjis);  // the scanner reads a text that ends with a NUL
  std::string document;
  document.reserve(sjis.size() * 3);
  {
    TzhnHTMLRTF scanner;
    scanner.SetSource(text);
    StringSink sink(document);
    scanner.WriteRTF(sink);
  }
  const RtfText read = ReadRTF(document);
  document = std::string();

  const bool sameBytes = read.text.size() == sjis.size() && std::memcmp(read.text.data(), sjis.data(), sjis.size()) == 0;
  std::vector<std::uint32_t> paneBytes;
  if (!sameBytes) paneBytes = PaneBytesOfRunStarts(sjis, read.text, read.runs);

  // Byte positions to characters: the runs and the two-byte units both come
  // in order, so one walk over each does it.
  const std::vector<std::uint32_t>& pairs = map.PairStarts();
  std::size_t pairsBefore = 0;
  std::uint32_t documentEnd = 0;
  for (std::size_t r = 0; r < read.runs.size(); ++r) {
    const std::uint32_t byte = sameBytes ? read.runs[r].start : paneBytes[r];
    while (pairsBefore < pairs.size() && pairs[pairsBefore] < byte) ++pairsBefore;
    result.Append(static_cast<std::uint32_t>(byte - pairsBefore), StyleOf(read.runs[r]));
  }
  if (!read.runs.empty()) {
    const RtfRun& last = read.runs.back();
    documentEnd = sameBytes ? last.start + last.length
                            : static_cast<std::uint32_t>(PaneBytesOfRunStarts(sjis, read.text, {RtfRun{last.start + last.length, 0}}).front());
  }
  if (documentEnd < sjis.size()) {
    result.Append(static_cast<std::uint32_t>(map.CharOfByte(documentEnd)), ColourStyle{});
  }
  return result;
}

}  // namespace zelm::gui
