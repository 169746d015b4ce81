// The unified diff zelm-cli indent --diff prints: a page against its
// indented result, and the worst case, a page against one that has none of
// its lines in the same order (another generated page), where the search
// is bounded.
#include "BenchSupport.h"
#include "indent/Pipeline.h"
#include "text/LineDiff.h"

namespace zelm::bench {
namespace {

void RunDiff(benchmark::State& state, const std::string& before, const std::string& after) {
  bool minimal = true;
  for (auto _ : state) {
    std::string diff = UnifiedDiff(before, after, "a/page.html", "b/page.html", 3, &minimal);
    benchmark::DoNotOptimize(diff);
  }
  state.counters["minimal"] = minimal ? 1 : 0;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(before.size() + after.size()));
}

void BM_DiffPageAgainstResult(benchmark::State& state) {
  const std::string& page = PageOfMegabytes(static_cast<int>(state.range(0)));
  RunDiff(state, page, FileToResultStage(page, PipelineOptions{}).Result);
}
BENCHMARK(BM_DiffPageAgainstResult)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_DiffPageAgainstAnotherPage(benchmark::State& state) {
  const std::size_t bytes = std::size_t(state.range(0)) << 20;
  RunDiff(state, GeneratePage(bytes, 7), GeneratePage(bytes, 8));
}
BENCHMARK(BM_DiffPageAgainstAnotherPage)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelm::bench
