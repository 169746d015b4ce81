// Page plans cut into many small parts against the plain passes run one
// after another on the whole page: the executor's Org, Local and Result
// texts, and the stages with cutting forced against the same stages on one
// part, are the same bytes whatever the cuts and the number of threads.
//
// Input: two option bytes (indent type, tag case, breaking, the stage's
// flags; the part size and the threads), then the page.
#include <string>

#include "FuzzSupport.h"
#include "indent/AdjustLines.h"
#include "indent/BreakLines.h"
#include "indent/CharsetDecl.h"
#include "indent/LevelMarkers.h"
#include "indent/NormalizeTagCase.h"
#include "indent/PageCuts.h"
#include "indent/PagePlan.h"
#include "indent/Pipeline.h"
#include "indent/PlanExecutor.h"

namespace zelm::fuzz {
namespace {

enum class Breaking { kNone, kFull, kLight };

struct PlainTexts {
  std::string org, local, result;
  bool tooDeep = false;
};

// The passes one after another on the whole text.
PlainTexts PlainPasses(std::string_view text, bool normaliseCase, Breaking breaking, int indentType) {
  PlainTexts plain;
  plain.org = RewriteCharsetDecl(normaliseCase ? NormalizeTagCase(text) : std::string(text), 0);
  std::string broken = breaking == Breaking::kFull    ? PreBreakLines(plain.org)
                       : breaking == Breaking::kLight ? LightBreakLines(plain.org)
                                                      : plain.org;
  plain.local = AdjustLines(broken);
  try {
    plain.result = IndentWithoutMarkers(plain.local, indentType);
  } catch (const IndentationTooLarge&) {
    plain.tooDeep = true;
  }
  return plain;
}

// The same passes as a plan cut into parts of about `partBytes`, every
// charset declaration kept in the first part.
PagePlan CutPlanOf(std::string_view text, bool normaliseCase, Breaking breaking, int indentType,
                   std::size_t partBytes, unsigned threads) {
  PagePlan plan;
  plan.text = text;
  if (normaliseCase) plan.passes.push_back(PlanPass::kNormaliseCase);
  plan.passes.push_back(PlanPass::kRewriteCharsetDecl);
  plan.orgAfter = plan.passes.size();
  if (breaking == Breaking::kFull) plan.passes.push_back(PlanPass::kBreakFull);
  if (breaking == Breaking::kLight) plan.passes.push_back(PlanPass::kBreakLight);
  plan.passes.push_back(PlanPass::kAdjust);
  plan.keepLocal = true;
  plan.levels = PlanLevels::kResult;
  plan.indentType = indentType;
  plan.threads = threads;
  CutPlan(plan, PartsFor(text.size(), PassSharing{}, partBytes));
  for (std::size_t k = plan.PartCount(); k-- > 1;) {
    if (!MayHoldCharsetDecl(plan.Part(k))) continue;
    MergeFirstParts(plan, k + 1);
    break;
  }
  return plan;
}

void CheckExecutor(std::string_view page, bool normaliseCase, Breaking breaking, int indentType,
                   std::size_t partBytes, unsigned threads) {
  const PlainTexts plain = PlainPasses(page, normaliseCase, breaking, indentType);
  PlanTexts planned;
  bool tooDeep = false;
  try {
    planned = ExecutePlan(CutPlanOf(page, normaliseCase, breaking, indentType, partBytes, threads));
  } catch (const IndentationTooLarge&) {
    tooDeep = true;
  }
  ZELM_CHECK(tooDeep == plain.tooDeep, "the plan and the plain passes disagree on nesting too deep to indent");
  if (tooDeep) return;
  ZELM_CHECK(planned.org == plain.org, "the planned Org text differs from the plain passes'");
  ZELM_CHECK(planned.local == plain.local, "the planned Local text differs from the plain passes'");
  ZELM_CHECK(planned.result == plain.result, "the planned Result differs from the plain passes'");
}

// The stages with cutting forced against the same stages on one part.
void CheckStages(std::string_view page, const PipelineOptions& one, std::size_t partBytes, unsigned threads) {
  PipelineOptions cut = one;
  cut.CutPartBytes = partBytes;
  cut.Threads = threads;
  const FileInputTexts input = FileInputStage(page, one);
  const FileInputTexts inputCut = FileInputStage(page, cut);
  ZELM_CHECK(inputCut.Org == input.Org, "the file input stage's Org text depends on the cuts");
  ZELM_CHECK(inputCut.Local == input.Local, "the file input stage's Local text depends on the cuts");
  ZELM_CHECK(inputCut.DetectedCode == input.DetectedCode, "the declared code depends on the cuts");
  ZELM_CHECK(inputCut.lossLine == input.lossLine, "the line of the first loss depends on the cuts");
  const PasteInputTexts paste = PasteInputStage(page, one);
  const PasteInputTexts pasteCut = PasteInputStage(page, cut);
  ZELM_CHECK(pasteCut.Org == paste.Org && pasteCut.Local == paste.Local, "the paste stage depends on the cuts");
  std::string result;
  try {
    result = IndentStage(input.Local, one, WantedIndentTexts::Result).Result;
  } catch (const IndentationTooLarge&) {
    return;  // the executor's check above compares the refusal
  }
  ZELM_CHECK(IndentStage(input.Local, cut, WantedIndentTexts::Result).Result == result,
             "the indent stage's Result depends on the cuts");
  cut.ResultInPieces = true;
  const IndentedFileTexts straight = FileToResultStage(page, cut);
  std::string joined = straight.Result;
  for (const std::string& piece : straight.ResultPieces) joined += piece;
  ZELM_CHECK(joined == result, "the file's Result in pieces is not the indent stage's");
}

}  // namespace
}  // namespace zelm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelm;
  using namespace zelm::fuzz;
  Input input(data, size);
  const std::uint8_t first = input.Byte();
  const std::uint8_t second = input.Byte();
  const int indentType = first & 3;
  const bool normaliseCase = first & 0x04;
  const Breaking breaking = static_cast<Breaking>(((first >> 3) & 3) % 3);
  const std::size_t partBytes = 1 + (second & 0x3f);  // many small parts
  const unsigned threads = 1 + (second >> 6);
  const std::string_view page = input.Rest();
  CheckExecutor(page, normaliseCase, breaking, indentType, partBytes, threads);

  PipelineOptions options;
  options.IndentType = static_cast<IndentType>(indentType);
  options.ConvertUpper2Lower = normaliseCase;
  options.DontPreprocessing = breaking != Breaking::kFull;
  options.DivCommentConcat = first & 0x20;
  options.KeepPre = first & 0x40;
  if (first & 0x80) options.OpenCharset = OpenCharset::kShiftJis;
  CheckStages(page, options, partBytes, threads);
  return 0;
}
