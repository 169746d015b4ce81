// A page's plan: the parts a text is cut into, where each part's text comes
// from, which passes run on it, and how the parts are settled and joined.
// Every stage of the pipeline makes a plan and hands it to the one executor
// (PlanExecutor.h); a small page, or one the passes must see whole, is a
// plan of one part, so the same code runs for every size and thread count.
//
//   text or loaded page ──cut──▶ part 0 │ part 1 │ … │ part n
//   each part, side by side: [converted] → passes in order → [level pass]
//   then in order: line adjustment and the level pass settled (a part after
//   the first starts from a guess; a wrong guess passes it again)
//   then joined: one text, or the Result in pieces
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "indent/LineBreakReach.h"
#include "indent/PageCuts.h"
#include "indent/ShiftJisPageParts.h"

namespace zelm {

// The passes a plan runs on every part, in the order listed. Line
// adjustment keeps state from line to line and comes last; the level pass
// follows them all (PagePlan::levels).
enum class PlanPass : std::uint8_t {
  kDropBlankLines,      // RemoveBlankLines
  kNormaliseCase,       // NormalizeTagCase
  kRewriteCharsetDecl,  // RewriteCharsetDecl(text, 0): on the first part, the only one that may hold a declaration
  kBreakFull,           // PreBreakLines
  kBreakLight,          // LightBreakLines
  kAdjust,              // AdjustLines, a part after the first from a guess
};

// Which texts of the level pass a plan makes. Work markers number the lines
// and look at the next line: a plan that makes the Work text has one part.
enum class PlanLevels : std::uint8_t { kNone, kWork, kResult, kWorkAndResult };

// How a plan's Result (or, without the level pass, its last text) is
// handed over: one text, or pieces that joined are the text (one per part).
enum class PlanJoin : std::uint8_t { kWhole, kPieces };

struct PagePlan {
  // Where the parts' texts come from: the text cut at `cuts` (the first 0);
  // with `page`, it is a loaded page the automatic mode reads as Shift_JIS,
  // and each part is converted when its passes run. The text is `owned`
  // when a plan holds it (the executor lets it go as soon as no pass needs
  // it), else `text`.
  std::string_view text;
  std::string owned;
  std::optional<ShiftJisPageParts> page;
  std::vector<std::size_t> cuts{0};

  std::vector<PlanPass> passes;
  // The Org text is the text after the first `orgAfter` passes; none is
  // kept without it.
  std::optional<std::size_t> orgAfter;
  bool keepLocal = false;  // the text after every pass, before the level pass
  PlanLevels levels = PlanLevels::kNone;
  int indentType = 0;
  // The Result's "</div>" lines joined with a following comment line, on the
  // Result as a whole.
  bool joinDivComments = false;
  PlanJoin join = PlanJoin::kWhole;
  unsigned threads = 1;

  std::string_view Text() const { return owned.empty() ? text : std::string_view(owned); }
  std::size_t PartCount() const { return cuts.size(); }
  // Part k of the text, before its passes.
  std::string_view Part(std::size_t k) const {
    const std::size_t end = k + 1 < cuts.size() ? cuts[k + 1] : Text().size();
    return Text().substr(cuts[k], end - cuts[k]);
  }
  bool MakesWork() const { return levels == PlanLevels::kWork || levels == PlanLevels::kWorkAndResult; }
};

// The rules of the plan's passes (its conversion included) that can match
// across a line break.
std::vector<LineBreakReach> ReachOfPasses(const std::vector<PlanPass>& passes, bool converted);

// Cuts a plan's Shift_JIS text into up to `parts` parts where its passes
// allow it (one part keeps it whole): at line starts for the level pass
// alone, else where none of its passes reaches across. A plan that makes
// the Work text stays whole.
void CutPlan(PagePlan& plan, std::size_t parts);

// Takes the plan's text as a loaded page that each part converts on its
// own (PagePlan::page), cut at conversion cuts none of the plan's passes
// reaches across. False, with the plan as it was, when the page is not cut
// or when the automatic mode does not read it as Shift_JIS.
bool PlanShiftJisPage(PagePlan& plan, std::size_t parts);

// Merges parts [0, count) into the first part: the rewriting of charset
// declarations, which looks at the whole text, then finds every one there.
void MergeFirstParts(PagePlan& plan, std::size_t count);

}  // namespace zelm
