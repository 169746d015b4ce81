// The settling of level parts passed side by side (see LevelParts.h).
#include "indent/LevelParts.h"

#include <algorithm>
#include <cstring>

namespace zelm {
namespace {

// Where the pass stands after the parts settled so far.
struct LevelSettling {
  LevelState state;
  std::size_t indentBytes = 0;
  std::size_t limit = 0;  // IndentationLimitFor the whole text
  int indentType = 0;
};

// Settles a part passed from a guess: false when the guess does not hold.
bool SettleGuessedPart(LevelPart& part, LevelSettling& settling) {
  if (!part.start.SameFlags(settling.state)) return false;
  const int start = settling.state.level;
  std::size_t added = 0;
  for (const DeferredIndent& indent : part.deferred)
    added += static_cast<std::size_t>(indent.LevelFrom(start)) * IndentUnitBytes(settling.indentType);
  settling.indentBytes += added;
  if (settling.indentBytes > settling.limit) throw IndentationTooLarge(settling.limit);
  part.startLevel = start;
  part.size = part.out.size() + added;
  settling.state = part.end;
  settling.state.level = part.deferredEnd.LevelFrom(start);
  return true;
}

// Passes a range for real from where the settled parts leave the pass,
// appending to `out`.
void PassForReal(const LineRange& range, LevelSettling& settling, std::string& out) {
  LevelPassOutput output;
  output.indentType = settling.indentType;
  output.result = &out;
  output.indentBytes = settling.indentBytes;
  output.limit = settling.limit;
  const LevelPassEnd end = PassLevels(range, settling.state, output);
  settling.state = end.state;
  settling.indentBytes = end.indentBytes;
}

}  // namespace

void PassLevelPart(LevelPart& part, int indentType) {
  LevelPassOutput output;
  output.indentType = indentType;
  output.result = &part.out;
  if (!part.first) output.deferred = &part.deferred;
  const LevelPassEnd end = PassLevels(part.range, part.first ? LevelState{} : part.start, output);
  part.end = end.state;
  part.deferredEnd = end.deferredEnd;
  part.indentBytes = end.indentBytes;
}

void SettleLevelParts(std::vector<LevelPart>& parts, std::size_t wholeTextSize, int indentType,
                      const std::function<void(std::size_t)>& restoreRange) {
  if (parts.empty()) return;
  LevelSettling settling;
  settling.limit = IndentationLimitFor(wholeTextSize);
  settling.indentType = indentType;
  settling.state = parts[0].end;
  settling.indentBytes = parts[0].indentBytes;
  parts[0].size = parts[0].out.size();
  for (std::size_t k = 1; k < parts.size(); ++k) {
    LevelPart& part = parts[k];
    if (part.leadingLine) {
      part.leadingOut.clear();
      PassForReal(*part.leadingLine, settling, part.leadingOut);
    }
    if (part.guessSpoilt || !SettleGuessedPart(part, settling)) {
      if (restoreRange) restoreRange(k);
      part.out.clear();
      part.deferred.clear();
      PassForReal(part.range, settling, part.out);
      part.size = part.out.size();
    }
    part.size += part.leadingOut.size();
  }
}

void WriteSettledPart(const LevelPart& part, int indentType, char* to) {
  to = std::copy(part.leadingOut.begin(), part.leadingOut.end(), to);
  const std::size_t unit = IndentUnitBytes(indentType);
  const char fill = indentType == kIndentTab ? '\t' : ' ';
  std::size_t copied = 0;
  for (const DeferredIndent& indent : part.deferred) {
    to = std::copy(part.out.data() + copied, part.out.data() + indent.offset, to);
    to = std::fill_n(to, static_cast<std::size_t>(indent.LevelFrom(part.startLevel)) * unit, fill);
    copied = indent.offset;
  }
  std::copy(part.out.data() + copied, part.out.data() + part.out.size(), to);
}

// The text moves back from the end, the indentation going in at each
// deferred place, and the leading line's output goes in front.
std::string ExpandSettledPart(LevelPart& part, int indentType) {
  const std::size_t unit = IndentUnitBytes(indentType);
  const char fill = indentType == kIndentTab ? '\t' : ' ';
  const std::size_t lead = part.leadingOut.size();
  std::string& out = part.out;
  std::size_t from = out.size();  // the text before this is still to move
  out.resize(part.size);
  char* const bytes = out.data();
  std::size_t to = part.size;
  for (auto indent = part.deferred.rbegin(); indent != part.deferred.rend(); ++indent) {
    const std::size_t chunk = from - indent->offset;
    to -= chunk;
    std::memmove(bytes + to, bytes + indent->offset, chunk);
    from = indent->offset;
    const std::size_t indentBytes = static_cast<std::size_t>(indent->LevelFrom(part.startLevel)) * unit;
    to -= indentBytes;
    std::memset(bytes + to, fill, indentBytes);
  }
  std::memmove(bytes + lead, bytes, from);
  std::memcpy(bytes, part.leadingOut.data(), lead);
  std::vector<DeferredIndent>().swap(part.deferred);
  return std::move(out);
}

}  // namespace zelm
