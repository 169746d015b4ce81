#include "indent/PlanExecutor.h"

#include <algorithm>

#include "indent/AdjustLines.h"
#include "indent/BreakLines.h"
#include "indent/CharsetDecl.h"
#include "indent/LevelMarkers.h"
#include "indent/LevelParts.h"
#include "indent/NormalizeTagCase.h"
#include "text/StringUtil.h"
#include "threads/ThreadPool.h"

namespace zelm {
namespace {

// Gives a text's memory back. Assigning an empty string would not: the
// string keeps its buffer, and a string moved from may hold another's.
void Free(std::string& text) { std::string().swap(text); }

// Joins every "</div>" line with a following line that starts a comment
// (letters compared without case). Only the line break goes: an author's
// "</DIV>" keeps its case, so the Result still holds the Local text.
std::string JoinDivComments(std::string_view text) {
  constexpr std::string_view kJoin = "</div>\r\n<!--";
  constexpr std::size_t kLineBreakAt = 6;  // after "</div>"
  std::string out;
  out.reserve(text.size());
  std::size_t copied = 0;
  for (std::size_t at = FindNoCaseAtBoundary(text, kJoin); at != std::string_view::npos;
       at = FindNoCaseAtBoundary(text, kJoin, at + kJoin.size())) {
    out.append(text, copied, at + kLineBreakAt - copied);
    copied = at + kLineBreakAt + 2;
  }
  out.append(text, copied);
  return out;
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

// One part of a plan. Line adjustment in every part but the first starts
// from a guess, the state of the middle of a body; once the part before it
// is done, a wrong guess makes the part go through the passes again.
//
// A part's Local text starts with the printable byte its source starts with,
// so its first line is a text line: the level pass classifies it without
// the line before, and no line of the part before looks at it.
struct Part {
  bool first = false;
  std::string org;
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

bool MakesResult(PlanLevels levels) { return levels == PlanLevels::kResult || levels == PlanLevels::kWorkAndResult; }

class Executor {
 public:
  explicit Executor(PagePlan& plan)
      : plan_(plan), text_(plan.Text()), parts_(plan.PartCount()), labels_(plan.PartCount()) {
    for (std::size_t k = 0; k < parts_.size(); ++k) {
      parts_[k].first = k == 0;
      if (k > 0) parts_[k].start.inBody = true;
    }
    // A whole text the plan holds goes once its first pass has read it.
    releaseText_ = parts_.size() == 1 && !plan_.owned.empty();
  }

  PlanTexts Run() {
    PlanTexts texts;
    if (parts_.size() == 1) {
      RunWhole(texts);
    } else if (plan_.levels == PlanLevels::kNone) {
      RunSideBySide(parts_.size(), plan_.threads, [&](std::size_t k) { PassInput(k); });
      SettleAdjustment();
      if (plan_.orgAfter) texts.org = JoinedTexts(&Part::org);
      if (plan_.keepLocal) texts.local = JoinedTexts(&Part::local);
    } else {
      std::vector<LevelPart> levels = SettledLevels(texts);
      if (plan_.join == PlanJoin::kPieces && !plan_.joinDivComments) texts.pieces = ResultPieces(levels);
      else texts.result = JoinedResult(levels);
    }
    if (plan_.joinDivComments && MakesResult(plan_.levels)) texts.result = JoinDivComments(texts.result);
    for (std::size_t k = 0; k < labels_.size(); ++k) texts.labels.Add(labels_[k]);
    return texts;
  }

  void HandOut(const std::function<void(std::string_view)>& take) {
    if (parts_.size() == 1) {
      PlanTexts texts;
      RunWhole(texts);
      take(texts.result);
      return;
    }
    PlanTexts texts;
    std::vector<LevelPart> levels = SettledLevels(texts);
    for (LevelPart& level : levels) {
      const std::string piece = ExpandSettledPart(level, plan_.indentType);
      take(piece);
    }
  }

 private:
  bool HasInputPasses() const { return !plan_.passes.empty() || plan_.page; }

  // ---- The input passes ------------------------------------------------------

  // Part k through the plan's passes from its start state: its Org text
  // when kept, and its Local text.
  void PassInput(std::size_t k) {
    Part& part = parts_[k];
    std::string text;  // the text so far, once a pass has made one
    std::string_view current;
    if (plan_.page) {
      text = ShiftJisPageParts::Converted(plan_.Part(k), labels_[k]);
      current = text;
    } else {
      current = plan_.Part(k);
    }
    const std::size_t count = plan_.passes.size();
    for (std::size_t i = 0; i < count; ++i) {
      if (plan_.orgAfter == i) part.org.assign(current);
      std::string next;
      switch (plan_.passes[i]) {
        case PlanPass::kDropBlankLines: next = RemoveBlankLines(current); break;
        case PlanPass::kNormaliseCase: next = NormalizeTagCase(current); break;
        case PlanPass::kRewriteCharsetDecl:
          if (!part.first) continue;  // the plan keeps every declaration in the first part
          next = RewriteCharsetDecl(current, 0);
          break;
        case PlanPass::kBreakFull: next = PreBreakLines(current); break;
        case PlanPass::kBreakLight: next = LightBreakLines(current); break;
        case PlanPass::kAdjust:
          part.end = part.start;
          next = AdjustLines(current, part.end);
          break;
      }
      text = std::move(next);
      current = text;
      ReleaseText();
    }
    if (plan_.orgAfter == count) part.org.assign(current);
    part.local = current.data() == text.data() ? std::move(text) : std::string(current);
  }

  void ReleaseText() {
    if (!releaseText_) return;
    releaseText_ = false;
    Free(plan_.owned);
  }

  // Checks the guessed start of every part after the first, in order, and
  // passes a part whose guess was wrong again from its real start. Returns
  // the parts whose Local text was made again.
  std::vector<bool> SettleAdjustment() {
    std::vector<bool> redone(parts_.size(), false);
    for (std::size_t k = 1; k < parts_.size(); ++k) {
      if (parts_[k].start == parts_[k - 1].end) continue;
      parts_[k].start = parts_[k - 1].end;
      PassInput(k);
      redone[k] = true;
    }
    return redone;
  }

  std::string JoinedTexts(std::string Part::*text) {
    std::size_t size = 0;
    for (const Part& part : parts_) size += (part.*text).size();
    std::string joined;
    joined.reserve(size);
    for (Part& part : parts_) {
      joined += part.*text;
      Free(part.*text);
    }
    return joined;
  }

  // ---- One part ----------------------------------------------------------------

  void RunWhole(PlanTexts& texts) {
    Part& part = parts_[0];
    std::string_view local = text_;
    if (HasInputPasses()) {
      PassInput(0);
      local = part.local;
      texts.org = std::move(part.org);
    }
    switch (plan_.levels) {
      case PlanLevels::kNone: break;
      case PlanLevels::kWork: texts.work = MarkIndentLevels(local, plan_.indentType); break;
      case PlanLevels::kResult: texts.result = IndentWithoutMarkers(local, plan_.indentType); break;
      case PlanLevels::kWorkAndResult: {
        MarkedText marked = MarkIndentLevelsWithResult(local, plan_.indentType);
        texts.work = std::move(marked.work);
        texts.result = std::move(marked.result);
        break;
      }
    }
    if (plan_.keepLocal) texts.local = HasInputPasses() ? std::move(part.local) : std::string(local);
  }

  // ---- The level pass over parts -----------------------------------------------

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

  // Lets a passed part's Local text go, keeping its first and last lines.
  static void LetLocalGo(Part& part) {
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
    Free(part.local);
  }

  // Every part through the passes and the level pass side by side, then
  // settled in order: their Result is ready to be joined or handed out.
  std::vector<LevelPart> SettledLevels(PlanTexts& texts) {
    if (!HasInputPasses()) return SettledLevelsOfText();
    RunSideBySide(parts_.size(), plan_.threads, [&](std::size_t k) {
      Part& part = parts_[k];
      PassInput(k);
      AimLevelPart(part);
      PassLevelPart(part.level, plan_.indentType);
      if (!plan_.keepLocal) LetLocalGo(part);
    });
    const std::vector<bool> redone = SettleAdjustment();

    std::size_t localSize = 0;
    std::string_view lastLine;  // of the Local text so far
    std::vector<LevelPart> levels(parts_.size());
    for (std::size_t k = 0; k < parts_.size(); ++k) {
      Part& part = parts_[k];
      if (redone[k] || plan_.keepLocal) {  // its Local text is there
        if (redone[k]) AimLevelPart(part);
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
    SettleLevelParts(levels, localSize, plan_.indentType, [&](std::size_t k) {
      Part& part = parts_[k];
      if (!part.local.empty() || part.localSize == 0) return;
      PassInput(k);
      levels[k].range = RangeAfterFirstLine(part.local);
    });
    if (plan_.orgAfter) texts.org = JoinedTexts(&Part::org);
    if (plan_.keepLocal) texts.local = JoinedTexts(&Part::local);
    return levels;
  }

  // The level pass alone: the parts are ranges of the text, each of which
  // finds the line before it there.
  std::vector<LevelPart> SettledLevelsOfText() {
    std::vector<LevelPart> levels(parts_.size());
    for (std::size_t k = 0; k < levels.size(); ++k) {
      levels[k].range = {text_, plan_.cuts[k], k + 1 < levels.size() ? plan_.cuts[k + 1] : text_.size()};
      levels[k].first = k == 0;
      if (k > 0) levels[k].start = GuessedMiddleState();
    }
    RunSideBySide(levels.size(), plan_.threads, [&](std::size_t k) { PassLevelPart(levels[k], plan_.indentType); });
    SettleLevelParts(levels, text_.size(), plan_.indentType);
    return levels;
  }

  // The Result of settled parts, written side by side.
  std::string JoinedResult(std::vector<LevelPart>& levels) {
    std::vector<std::size_t> at(levels.size() + 1, 0);
    for (std::size_t k = 0; k < levels.size(); ++k) at[k + 1] = at[k] + levels[k].size;
    std::string result(at.back(), '\0');
    RunSideBySide(levels.size(), plan_.threads, [&](std::size_t k) {
      WriteSettledPart(levels[k], plan_.indentType, result.data() + at[k]);
      Free(levels[k].out);
    });
    return result;
  }

  // The same as pieces, each part's text getting its indentation where it
  // stands: no buffer for the whole Result is made.
  std::vector<std::string> ResultPieces(std::vector<LevelPart>& levels) {
    std::vector<std::string> pieces(levels.size());
    RunSideBySide(levels.size(), plan_.threads,
                  [&](std::size_t k) { pieces[k] = ExpandSettledPart(levels[k], plan_.indentType); });
    return pieces;
  }

  PagePlan& plan_;
  const std::string_view text_;
  std::vector<Part> parts_;
  std::vector<WholeTextLabels> labels_;  // per part: written side by side
  bool releaseText_ = false;
};

}  // namespace

PlanTexts ExecutePlan(PagePlan plan) { return Executor(plan).Run(); }

void ExecutePlan(PagePlan plan, const std::function<void(std::string_view)>& take) { Executor(plan).HandOut(take); }

}  // namespace zelm
