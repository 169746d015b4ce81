#include "indent/SharedInputPasses.h"

#include <algorithm>

#include "indent/HTMLAdjustText.h"
#include "indent/IndentUtil.h"
#include "indent/LevelParts.h"

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

// One part of the text. Line adjustment in every part but the first starts
// from a guess, the state of the middle of a body; once the part before it
// is done, a wrong guess makes the part go through the passes again.
//
// A part's Local text starts with the printable byte its source starts with,
// so its first line is a text line: the level pass classifies it without
// the line before, and no line of the part before looks at it.
struct Part {
  std::string_view source;
  // A part given by its maker: the source is made when the passes need it
  // and not kept.
  std::function<std::string()> make;
  bool first = false;
  std::string local;
  AdjustState start;
  AdjustState end;
  LevelPart level;
  // Once passed, a part keeps only what settling needs of its Local text;
  // the rest is made again in the rare case it is passed again.
  std::size_t localSize = 0;
  std::string leadingText;  // the line its level pass left for settling
  std::string lastLine;     // see LastLineOf
};

void PassToLocal(Part& part, const InputPasses& passes) {
  std::string text;
  if (part.make) {
    text = part.make();
    if (passes.normaliseCase) text = NormalizeTagCase(text);
  } else {
    text = passes.normaliseCase ? NormalizeTagCase(part.source) : std::string(part.source);
  }
  if (part.first) text = RewriteCharsetDecl(text, 0);
  const std::string broken = passes.breakLines(text);
  std::string().swap(text);
  part.end = part.start;
  part.local = AdjustLines(broken, part.end);
}

// The lines of a part's Local text after its first, which waits for the
// part before.
LineRange RangeAfterFirstLine(std::string_view local) {
  const std::size_t feed = local.find('\n');
  const std::size_t second = feed == std::string_view::npos ? local.size() : feed + 1;
  LineRange range;
  range.text = local;
  range.begin = second;
  range.end = local.size();
  return range;
}

// The level pass of a part: the first part whole; in any other one the
// lines after the first, from a guess, while the first line waits for the
// last line of the part before it.
void AimLevelPart(Part& part) {
  const std::string_view local = part.local;
  part.level.first = part.first;
  if (part.first) {
    part.level.range = {local, 0, local.size()};
    return;
  }
  part.level.range = RangeAfterFirstLine(local);
  LineRange leading;
  leading.text = local;
  leading.end = part.level.range.begin;
  part.level.leadingLine = leading;
  part.level.start = GuessedMiddleState();
}

// The line a Local text's final CR LF ends, as a line reader going on into
// the next part's text sees it before that text's first line.
std::string_view LastLineOf(std::string_view local) {
  std::size_t end = local.size();
  if (end > 0 && local[end - 1] == '\n') --end;
  if (end > 0 && local[end - 1] == '\r') --end;
  std::size_t start = end;
  while (start > 0 && local[start - 1] != '\n' && local[start - 1] != '\r') --start;
  return local.substr(start, end - start);
}

// Lets a passed part's Local text go, keeping its first and last lines.
void LetLocalGo(Part& part) {
  part.localSize = part.local.size();
  part.lastLine = LastLineOf(part.local);
  if (part.level.leadingLine) {
    const LineRange& leading = *part.level.leadingLine;
    part.leadingText = leading.text.substr(leading.begin, leading.end - leading.begin);
    LineRange kept;
    kept.text = part.leadingText;
    kept.end = part.leadingText.size();
    part.level.leadingLine = kept;
  }
  part.level.range.text = {};
  std::string().swap(part.local);
}

std::vector<Part> CutIntoParts(std::string_view text, const PassSharing& sharing) {
  const std::vector<std::size_t> cuts = InputPassCuts(text, sharing);
  std::vector<Part> parts(cuts.size() < 2 ? 0 : cuts.size());
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const std::size_t end = k + 1 < cuts.size() ? cuts[k + 1] : text.size();
    parts[k].source = text.substr(cuts[k], end - cuts[k]);
    parts[k].first = k == 0;
    if (k > 0) parts[k].start.inBody = true;
  }
  return parts;
}

// The rewriting of charset declarations looks at the whole text; when only
// the first part may hold one, it can be left to that part. Tag-case
// normalisation never makes "charset=" or "encoding=", so the parts are
// looked at as they are.
// Parts given by their maker come from a caller that made sure of it.
bool LaterPartsMayHoldDeclaration(const std::vector<Part>& parts, unsigned threads) {
  if (parts.empty() || parts.front().make) return false;
  std::vector<char> may(parts.size(), 0);  // not vector<bool>: parts are looked at side by side
  RunSideBySide(parts.size() - 1, threads, [&](std::size_t k) { may[k + 1] = MayHoldCharsetDecl(parts[k + 1].source); });
  return std::find(may.begin(), may.end(), 1) != may.end();
}

// Checks the guessed start of every part after the first, in order, and
// passes a part whose guess was wrong again from its real start. Returns
// the parts whose Local text was made again.
std::vector<bool> SettleAdjustment(std::vector<Part>& parts, const InputPasses& passes) {
  std::vector<bool> redone(parts.size(), false);
  for (std::size_t k = 1; k < parts.size(); ++k) {
    if (parts[k].start == parts[k - 1].end) continue;
    parts[k].start = parts[k - 1].end;
    PassToLocal(parts[k], passes);
    redone[k] = true;
  }
  return redone;
}

std::vector<Part> PartsOf(const std::vector<std::string>& pieces) {
  std::vector<Part> parts(pieces.size() < 2 ? 0 : pieces.size());
  for (std::size_t k = 0; k < parts.size(); ++k) {
    parts[k].source = pieces[k];
    parts[k].first = k == 0;
    if (k > 0) parts[k].start.inBody = true;
  }
  return parts;
}

std::optional<std::vector<LevelPart>> IndentParts(std::vector<Part> parts, const InputPasses& passes, int indentType,
                                                  const PassSharing& sharing);

std::vector<Part> PartsMadeBy(std::size_t count, const std::function<std::string(std::size_t)>& makePart) {
  std::vector<Part> parts(count < 2 ? 0 : count);
  for (std::size_t k = 0; k < parts.size(); ++k) {
    parts[k].make = [&makePart, k] { return makePart(k); };
    parts[k].first = k == 0;
    if (k > 0) parts[k].start.inBody = true;
  }
  return parts;
}

}  // namespace

// A line no input pass looks at together with the line before it: blanks,
// then a printable ASCII byte that is not ">", and when it is "<", not a
// closing tag (line adjustment joins those to the line before, and ">" CR LF
// "</a>" is a rule of its own).
bool StartsLineAlone(std::string_view text, std::size_t at) {
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  if (at >= text.size()) return false;
  const char c = text[at];
  if (c <= 0x20 || c >= 0x7f || c == '>') return false;
  return c != '<' || at + 1 >= text.size() || text[at + 1] != '/';
}

std::size_t EndOfCommentOrScriptAround(std::string_view text, std::size_t at) {
  const std::size_t comment = EndOfBlockAround(text, at, "<!--", "-->");
  if (comment != std::string_view::npos) return comment;
  return EndOfBlockAround(text, at, "<script", "</script");
}

std::vector<std::size_t> InputPassCuts(std::string_view text, const PassSharing& sharing) {
  std::vector<std::size_t> cuts{0};
  const std::size_t pieces = sharing.PiecesFor(text.size());
  if (pieces < 2) return cuts;
  const std::size_t step = text.size() / pieces;
  for (std::size_t k = 1; k < pieces; ++k) {
    // A cut is looked for from the aimed-at place up to the next one.
    const std::size_t aim = std::max(step * k, cuts.back() + 1);
    const std::string_view window = text.substr(0, std::min(text.size(), aim + step));
    const std::string_view blocksWindow = text.substr(0, std::min(text.size(), aim + 2 * step + kBlockReach));
    for (std::size_t cr = window.find('\r', aim); cr != std::string_view::npos && cr + 2 < text.size();
         cr = window.find('\r', cr + 1)) {
      if (cr == 0 || text[cr + 1] != '\n' || !EndsLineAlone(text[cr - 1]) || !StartsLineAlone(text, cr + 2)) continue;
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

std::optional<std::string> SharedLocalText(std::string_view text, const InputPasses& passes,
                                           const PassSharing& sharing) {
  std::vector<Part> parts = CutIntoParts(text, sharing);
  if (parts.empty() || LaterPartsMayHoldDeclaration(parts, sharing.threads)) return std::nullopt;
  RunSideBySide(parts.size(), sharing.threads, [&](std::size_t k) { PassToLocal(parts[k], passes); });
  SettleAdjustment(parts, passes);
  std::size_t size = 0;
  for (const Part& part : parts) size += part.local.size();
  std::string local;
  local.reserve(size);
  for (Part& part : parts) {
    local += part.local;
    std::string().swap(part.local);
  }
  return local;
}

std::optional<std::string> SharedIndentedText(std::string_view text, const InputPasses& passes, int indentType,
                                              const PassSharing& sharing) {
  std::optional<std::vector<LevelPart>> levels = IndentParts(CutIntoParts(text, sharing), passes, indentType, sharing);
  if (!levels) return std::nullopt;
  return JoinLevelParts(*levels, indentType, sharing.threads);
}

std::optional<std::string> SharedIndentedText(const std::vector<std::string>& parts, const InputPasses& passes,
                                              int indentType, const PassSharing& sharing) {
  std::optional<std::vector<LevelPart>> levels = IndentParts(PartsOf(parts), passes, indentType, sharing);
  if (!levels) return std::nullopt;
  return JoinLevelParts(*levels, indentType, sharing.threads);
}

std::optional<std::vector<std::string>> SharedIndentedPieces(std::size_t count,
                                                             const std::function<std::string(std::size_t)>& makePart,
                                                             const InputPasses& passes, int indentType,
                                                             const PassSharing& sharing) {
  std::optional<std::vector<LevelPart>> levels = IndentParts(PartsMadeBy(count, makePart), passes, indentType, sharing);
  if (!levels) return std::nullopt;
  return SettledResultPieces(*levels, indentType, sharing.threads);
}

namespace {

// The parts through every pass, settled: their Result is ready to be
// joined or handed out in pieces.
std::optional<std::vector<LevelPart>> IndentParts(std::vector<Part> parts, const InputPasses& passes, int indentType,
                                                  const PassSharing& sharing) {
  if (parts.empty() || LaterPartsMayHoldDeclaration(parts, sharing.threads)) return std::nullopt;
  RunSideBySide(parts.size(), sharing.threads, [&](std::size_t k) {
    Part& part = parts[k];
    PassToLocal(part, passes);
    AimLevelPart(part);
    PassLevelPart(part.level, indentType);
    LetLocalGo(part);
  });
  const std::vector<bool> redone = SettleAdjustment(parts, passes);

  std::size_t localSize = 0;
  std::string_view lastLine;  // of the Local text so far
  std::vector<LevelPart> levels(parts.size());
  for (std::size_t k = 0; k < parts.size(); ++k) {
    Part& part = parts[k];
    if (redone[k]) {  // its Local text is new
      AimLevelPart(part);
      part.localSize = part.local.size();
      part.lastLine = LastLineOf(part.local);
    }
    localSize += part.localSize;
    levels[k] = std::move(part.level);
    levels[k].guessSpoilt = redone[k];
    if (levels[k].leadingLine) levels[k].leadingLine->previousLine = lastLine;
    if (part.localSize != 0) lastLine = part.lastLine;
  }
  // A part passed from a wrong guess gets its Local text back: its start,
  // now settled, gives the same text as before.
  SettleLevelParts(levels, localSize, indentType, [&](std::size_t k) {
    Part& part = parts[k];
    if (!part.local.empty() || part.localSize == 0) return;
    PassToLocal(part, passes);
    levels[k].range = RangeAfterFirstLine(part.local);
  });
  return levels;
}

}  // namespace

}  // namespace zelm
