// The checks of the tools menu on whole pages: structure checks, entity
// conversion and the CSS colour list.
#include "BenchSupport.h"
#include "encoding/CharacterReferences.h"
#include "indent/StructureAnalysis.h"
#include "text/CssColours.h"
#include "text/HtmlEntities.h"

namespace zelm::bench {
namespace {

void BM_CountLevelElements(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return CountLevelElements(page); });
}
ZELM_PAGE_BENCHMARK(BM_CountLevelElements);

void BM_MisplacedLevelTagLines(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return MisplacedLevelTagLines(page, false); });
}
ZELM_PAGE_BENCHMARK(BM_MisplacedLevelTagLines);

void BM_DivSkeletonAndSummary(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) {
    const DivSkeleton skeleton = BuildDivSkeleton(page);
    return SummarizeDivs(skeleton).divs;
  });
}
ZELM_PAGE_BENCHMARK(BM_DivSkeletonAndSummary);

void BM_ConvertAllToCharacterReferences(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return ConvertAllToCharacterReferences(page).text; });
}
ZELM_PAGE_BENCHMARK(BM_ConvertAllToCharacterReferences);

void BM_DecodeCharacterReferences(benchmark::State& state) {
  const std::string page = ConvertAllToCharacterReferences(
                               EscapeHtmlSpecialChars(PageOfMegabytes(static_cast<int>(state.range(0)))))
                               .text;
  RunOver(state, page, [](const std::string& text) { return DecodeCharacterReferences(text); });
}
ZELM_PAGE_BENCHMARK(BM_DecodeCharacterReferences);

void BM_ListCssColours(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return ListCssColours(page).size(); });
}
ZELM_PAGE_BENCHMARK(BM_ListCssColours);

}  // namespace
}  // namespace zelm::bench
