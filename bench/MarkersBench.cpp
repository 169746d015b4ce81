// The comment-marker commands on a page of about 5 MB with 100,000 closing
// div tags: each command must take time in proportion to the page, however
// many tags it rewrites.
#include "BenchSupport.h"
#include "indent/DivCommentMarks.h"

namespace zelm::bench {
namespace {

constexpr int kTags = 100000;

// Blocks of a div, a line of Japanese text and the closing tag, labelled
// with the default marks when `marked`: 4.9 MB marked, 3.1 MB plain.
std::string PageWithClosingTags(bool marked) {
  std::string page = "<html><body>\r\n";
  page.reserve(std::size_t{5} << 20);
  for (int i = 0; i < kTags; ++i) {
    page += "<div>\r\n  <p>\x93\xFA\x96\x7B\x8C\xEA</p>\r\n";
    page += marked ? "</div @-- box " + std::to_string(i) + " --@ >\r\n" : std::string("</div>\r\n");
  }
  page += "</body></html>\r\n";
  return page;
}

const std::string& PlainPage() {
  static const std::string page = PageWithClosingTags(false);
  return page;
}

const std::string& MarkedPage() {
  static const std::string page = PageWithClosingTags(true);
  return page;
}

void BM_DivMarkInsert(benchmark::State& state) {
  RunOver(state, PlainPage(),
          [](const std::string& page) { return RunDivMarkCommand(DivMarkCommand::Insert, page, {}); });
}
BENCHMARK(BM_DivMarkInsert)->Unit(benchmark::kMillisecond);

void BM_DivMarkRemove(benchmark::State& state) {
  RunOver(state, MarkedPage(),
          [](const std::string& page) { return RunDivMarkCommand(DivMarkCommand::Remove, page, {}); });
}
BENCHMARK(BM_DivMarkRemove)->Unit(benchmark::kMillisecond);

void BM_DivMarkReplace(benchmark::State& state) {
  RunOver(state, MarkedPage(),
          [](const std::string& page) { return RunDivMarkCommand(DivMarkCommand::Replace, page, {}); });
}
BENCHMARK(BM_DivMarkReplace)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelm::bench
