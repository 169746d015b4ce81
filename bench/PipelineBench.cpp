// The stages of zelm-cli indent on whole pages: the file input stage, the
// indent stage, and the whole job from the file on disk to the bytes to
// write.
#include <unistd.h>

#include <filesystem>
#include <map>

#include "BenchSupport.h"
#include "app/cli/IndentJob.h"
#include "app/cli/MemoryPolicy.h"
#include "indent/Pipeline.h"
#include "text/FileIO.h"
#include "text/StringUtil.h"
#include "threads/ThreadPool.h"

namespace zelm::bench {
namespace {

int Megabytes(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

void SetBytes(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// The Local text of the page, prepared once per size.
const std::string& LocalPage(int megabytes) {
  static std::map<int, std::string> pages;
  auto it = pages.find(megabytes);
  if (it == pages.end())
    it = pages.emplace(megabytes, FileInputStage(PageOfMegabytes(megabytes), PipelineOptions{}).Local).first;
  return it->second;
}

// The page written once per size to a file that lives as long as the run.
const std::string& PageFile(int megabytes) {
  static std::map<int, std::string> files;
  auto it = files.find(megabytes);
  if (it == files.end()) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("zelm-bench-" + std::to_string(::getpid()) + "-" + std::to_string(megabytes) + ".html");
    const std::string& page = PageOfMegabytes(megabytes);
    if (!SaveTextFile(page, path.string()).ok()) throw std::runtime_error("cannot write " + path.string());
    it = files.emplace(megabytes, path.string()).first;
    static struct Cleanup {
      ~Cleanup() {
        std::error_code ignored;
        for (const auto& [size, file] : files) std::filesystem::remove(file, ignored);
      }
    } cleanup;
  }
  return it->second;
}

// Every text of the file input stage, as the GUI keeps them.
void BM_FileInputStage(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return FileInputStage(page, PipelineOptions{}); });
}
ZELM_PAGE_BENCHMARK(BM_FileInputStage);

// Only the Local text, as zelm-cli indent asks for it.
void BM_FileInputStageLocalOnly(benchmark::State& state) {
  WantedInputTexts localOnly;
  localOnly.Native = localOnly.Org = localOnly.RefOrg = false;
  RunOverPage(state, [&](const std::string& page) { return FileInputStage(page, PipelineOptions{}, localOnly); });
}
ZELM_PAGE_BENCHMARK(BM_FileInputStageLocalOnly);

// Both the Work and the Result text.
void BM_IndentStage(benchmark::State& state) {
  RunOver(state, LocalPage(Megabytes(state)),
          [](const std::string& local) { return IndentStage(local, PipelineOptions{}); });
}
ZELM_PAGE_BENCHMARK(BM_IndentStage);

// Only the Result text, as zelm-cli indent asks for it.
void BM_IndentStageResultOnly(benchmark::State& state) {
  RunOver(state, LocalPage(Megabytes(state)),
          [](const std::string& local) { return IndentStage(local, PipelineOptions{}, WantedIndentTexts::Result); });
}
ZELM_PAGE_BENCHMARK(BM_IndentStageResultOnly);

// The same with the page shared out over every core, as zelm-cli does.
void BM_IndentStageResultOnlyAllCores(benchmark::State& state) {
  PipelineOptions options;
  options.Threads = DefaultPassThreads();
  RunOver(state, LocalPage(Megabytes(state)),
          [&](const std::string& local) { return IndentStage(local, options, WantedIndentTexts::Result); });
}
ZELM_PAGE_BENCHMARK(BM_IndentStageResultOnlyAllCores);

// The whole suite runs with the memory policy of zelm-cli (every text comes
// from the heap, freed ones are reused), its heap in large pages: a pass is
// measured on memory already in use, and a large page is not charged for
// page-table walks that a small one escapes.
const bool kCliMemoryPolicy = (cli::KeepFreedMemoryForReuse(), cli::PrepareHeapInLargePages(std::size_t{1} << 30), true);

// zelm-cli indent PAGE: read, both stages, encode for output, the page
// shared over `threads` threads.
void RunIndentFileJob(benchmark::State& state, unsigned threads) {
  const std::string& path = PageFile(Megabytes(state));
  cli::IndentJobOptions options;
  options.pipeline.Threads = threads;
  for (auto _ : state) {
    const cli::JobOutcome outcome = cli::IndentFile(path, options);
    if (!outcome.ok) state.SkipWithError(outcome.message.c_str());
    benchmark::DoNotOptimize(outcome.pieces.data());
  }
  SetBytes(state, PageOfMegabytes(Megabytes(state)).size());
}

void BM_IndentFileJob(benchmark::State& state) { RunIndentFileJob(state, 1); }
ZELM_PAGE_BENCHMARK(BM_IndentFileJob);

// The same with the page shared out over every core, as zelm-cli does.
void BM_IndentFileJobAllCores(benchmark::State& state) { RunIndentFileJob(state, DefaultPassThreads()); }
ZELM_PAGE_BENCHMARK(BM_IndentFileJobAllCores);

}  // namespace
}  // namespace zelm::bench
