#include "indent/PagePlan.h"

#include <algorithm>

#include "indent/AdjustLines.h"
#include "indent/BreakLines.h"
#include "indent/NormalizeTagCase.h"

namespace zelm {
namespace {

void Append(std::vector<LineBreakReach>& to, const std::vector<LineBreakReach>& reach) {
  to.insert(to.end(), reach.begin(), reach.end());
}

}  // namespace

std::vector<LineBreakReach> ReachOfPasses(const std::vector<PlanPass>& passes, bool converted) {
  // Worked out once from the passes' tables.
  static const std::vector<LineBreakReach> kBlankLines{LineBreakReach::BlankLines()};
  static const std::vector<LineBreakReach> kNormaliseCase = NormalizeTagCaseReach();
  static const std::vector<LineBreakReach> kBreakFull = PreBreakLinesReach();
  static const std::vector<LineBreakReach> kBreakLight = LightBreakLinesReach();
  static const std::vector<LineBreakReach> kAdjust = AdjustLinesReach();
  std::vector<LineBreakReach> reach;
  if (converted) Append(reach, kBlankLines);  // the conversion drops blank lines
  for (PlanPass pass : passes) {
    switch (pass) {
      case PlanPass::kDropBlankLines: Append(reach, kBlankLines); break;
      case PlanPass::kNormaliseCase: Append(reach, kNormaliseCase); break;
      case PlanPass::kRewriteCharsetDecl: break;  // kept in the first part instead (MergeFirstParts)
      case PlanPass::kBreakFull: Append(reach, kBreakFull); break;
      case PlanPass::kBreakLight: Append(reach, kBreakLight); break;
      case PlanPass::kAdjust: Append(reach, kAdjust); break;
    }
  }
  return reach;
}

void CutPlan(PagePlan& plan, std::size_t parts) {
  plan.cuts = {0};
  if (parts < 2 || plan.MakesWork()) return;
  if (plan.passes.empty()) {
    // The level pass settles a cut at any line start.
    plan.cuts = LineAlignedCuts(plan.Text(), parts);
    return;
  }
  plan.cuts = InputPassCuts(plan.Text(), ReachOfPasses(plan.passes, false), parts);
}

bool PlanShiftJisPage(PagePlan& plan, std::size_t parts) {
  if (parts < 2 || plan.MakesWork()) return false;
  std::vector<std::size_t> cuts = ConversionCuts(plan.Text(), ReachOfPasses(plan.passes, true), parts);
  if (cuts.size() < 2) return false;
  std::optional<ShiftJisPageParts> page = ShiftJisPageParts::Of(plan.Text().substr(0, cuts[1]));
  if (!page) return false;
  plan.page = std::move(page);
  plan.cuts = std::move(cuts);
  return true;
}

void MergeFirstParts(PagePlan& plan, std::size_t count) {
  count = std::min(count, plan.cuts.size());
  if (count < 2) return;
  plan.cuts.erase(plan.cuts.begin() + 1, plan.cuts.begin() + static_cast<std::ptrdiff_t>(count));
}

}  // namespace zelm
