#include "BenchSupport.h"
#include "text/StringUtil.h"

namespace zelm::bench {
namespace {

void BM_ReplaceAllText(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return ReplaceAllText(page, "<td>", "<TD>"); });
}
ZELM_PAGE_BENCHMARK(BM_ReplaceAllText);

void BM_DeleteBlocksComments(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return DeleteBlocks(page, "<!--", "-->"); });
}
ZELM_PAGE_BENCHMARK(BM_DeleteBlocksComments);

void BM_DeleteBlocksMBOpeningTags(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return DeleteBlocksMB(page, "<td", ">"); });
}
ZELM_PAGE_BENCHMARK(BM_DeleteBlocksMBOpeningTags);

void BM_SplitAndJoinLines(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return JoinLines(SplitLines(page)); });
}
ZELM_PAGE_BENCHMARK(BM_SplitAndJoinLines);

void BM_NormalizeLineEnds(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return NormalizeLineEnds(page); });
}
ZELM_PAGE_BENCHMARK(BM_NormalizeLineEnds);

}  // namespace
}  // namespace zelm::bench
