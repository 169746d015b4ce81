// Shared set-up of the benchmark suite: pages of 1, 5 and 20 MB, generated
// once per size and kept for every benchmark.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "PageGenerator.h"

namespace zelm::bench {

inline const std::string& PageOfMegabytes(int megabytes) {
  static std::map<int, std::string> pages;
  auto it = pages.find(megabytes);
  if (it == pages.end()) it = pages.emplace(megabytes, GeneratePage(std::size_t(megabytes) << 20, 7)).first;
  return it->second;
}

// Copies of a benchmark's input, enough to fill about 96 MB, that its runs
// take in turn. A run then finds its input out of the processor's cache, as
// a pass in the pipeline finds the text the pass before it wrote. Run after
// run on one copy, a page of 5 MB stays in the cache and one of 20 MB does
// not, and a pass would look slower per byte on the larger page.
class InputRotation {
 public:
  static constexpr std::size_t kBytes = std::size_t{96} << 20;

  explicit InputRotation(const std::string& input)
      : copies_(std::max<std::size_t>(1, kBytes / std::max<std::size_t>(input.size(), 1)), input) {}

  const std::string& Next() { return copies_[next_++ % copies_.size()]; }
  std::size_t Count() const { return copies_.size(); }

 private:
  std::vector<std::string> copies_;
  std::size_t next_ = 0;
};

// Runs `pass` over `input`, a fresh copy each run, and reports `bytes`
// (the input's size unless given) per second. Each result is kept for as
// many runs as there are copies: a run's text goes to memory no recent run
// wrote, as the texts of the pipeline's passes do. Freed at once, the last
// run's text would be written over again, in the cache on a 5 MB page and
// out of it on a 20 MB one.
template <typename Pass>
void RunOver(benchmark::State& state, const std::string& input, Pass pass, std::size_t bytes = 0) {
  InputRotation rotation(input);
  std::vector<decltype(pass(input))> results(rotation.Count());
  std::size_t next = 0;
  for (auto _ : state) {
    auto& result = results[next++ % results.size()];
    result = pass(rotation.Next());
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes != 0 ? bytes : input.size()));
}

// Runs `pass` over the page of state.range(0) megabytes and reports bytes/s.
template <typename Pass>
void RunOverPage(benchmark::State& state, Pass pass) {
  RunOver(state, PageOfMegabytes(static_cast<int>(state.range(0))), pass);
}

}  // namespace zelm::bench

// Registers a pass over the 1, 5 and 20 MB pages.
#define ZELM_PAGE_BENCHMARK(name) BENCHMARK(name)->Arg(1)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond)
