#include "BenchSupport.h"
#include "indent/AdjustLines.h"
#include "indent/BreakLines.h"
#include "indent/CharsetDecl.h"
#include "indent/NormalizeTagCase.h"

namespace zelm::bench {
namespace {

void BM_NormalizeTagCase(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return NormalizeTagCase(page); });
}
ZELM_PAGE_BENCHMARK(BM_NormalizeTagCase);

void BM_RewriteCharsetDecl(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return RewriteCharsetDecl(page, 0); });
}
ZELM_PAGE_BENCHMARK(BM_RewriteCharsetDecl);

void BM_PreBreakLines(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return PreBreakLines(page); });
}
ZELM_PAGE_BENCHMARK(BM_PreBreakLines);

void BM_LightBreakLines(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return LightBreakLines(page); });
}
ZELM_PAGE_BENCHMARK(BM_LightBreakLines);

// Line adjustment runs on text that has been broken one tag per line.
void BM_AdjustLines(benchmark::State& state) {
  const std::string broken = PreBreakLines(PageOfMegabytes(static_cast<int>(state.range(0))));
  RunOver(state, broken, [](const std::string& text) { return AdjustLines(text); });
}
ZELM_PAGE_BENCHMARK(BM_AdjustLines);

}  // namespace
}  // namespace zelm::bench
