// The executor of page plans (PagePlan.h): every part through its passes,
// side by side on the plan's threads; then, in order, line adjustment and
// the level pass settled where a part started from a wrong guess; then the
// parts joined. The texts are the bytes the passes give on the whole text,
// whatever the cuts and the number of threads.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/CharsetLabel.h"
#include "indent/PagePlan.h"

namespace zelm {

// The texts a plan makes, as it asks for them.
struct PlanTexts {
  std::string org;    // with PagePlan::orgAfter
  std::string local;  // with PagePlan::keepLocal
  std::string work;   // with a plan that makes the Work text
  // The level pass's Result; with PlanJoin::kPieces and more than one part,
  // in `pieces` instead, which joined are the Result.
  std::string result;
  std::vector<std::string> pieces;
  WholeTextLabels labels;  // the labels of a converted page's parts, for ShiftJisPageParts::Declared
};

// Runs the plan. A plan that holds its text (PagePlan::owned) gives it up
// as soon as no pass needs it any more. Throws IndentationTooLarge as the
// level pass does.
PlanTexts ExecutePlan(PagePlan plan);

// Runs a plan with the level pass's Result and hands the Result to `take`
// piece by piece, in order, each dropped once taken, so that the whole
// Result is never held (the plan's joining of "</div>" with comments is
// not done).
void ExecutePlan(PagePlan plan, const std::function<void(std::string_view)>& take);

}  // namespace zelm
