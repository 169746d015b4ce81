// Shared set-up of the benchmark suite: pages of 1, 5 and 20 MB, generated
// once per size and kept for every benchmark.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "PageGenerator.h"

namespace zelm::bench {

inline const std::string& PageOfMegabytes(int megabytes) {
  static std::map<int, std::string> pages;
  auto it = pages.find(megabytes);
  if (it == pages.end()) it = pages.emplace(megabytes, GeneratePage(std::size_t(megabytes) << 20, 7)).first;
  return it->second;
}

// Runs `pass` over the page of state.range(0) megabytes and reports bytes/s.
template <typename Pass>
void RunOverPage(benchmark::State& state, Pass pass) {
  const std::string& page = PageOfMegabytes(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(pass(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}

}  // namespace zelm::bench

// Registers a pass over the 1, 5 and 20 MB pages.
#define ZELM_PAGE_BENCHMARK(name) BENCHMARK(name)->Arg(1)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond)
