// The desktop program's panes on whole pages, under the platform Qt is given
// (offscreen unless QT_QPA_PLATFORM says otherwise):
// - BM_OpenIndentColour/N: open an N MB Shift_JIS page from disk, run the
//   input stage and the indent stage, put the six texts into their panes as
//   the window does (Native, Org, RefOrg and Local from the input stage, Work
//   and Result from the indent stage), colour every pane and show the window
//   painted. The left and right page controls show Local and Result; the
//   other panes are filled when their tabs are first shown.
// - BM_ShowHiddenPane/N: what that first showing of a tab costs afterwards
//   (the Work tab: filling the editor, colouring, painting).
// - BM_TypeInColouredPane/5: one character typed into the middle of the
//   coloured Result pane of a 5 MB page, until the pane is painted again.
// Times are wall-clock times of the whole step, with the C library's memory
// policy, as the program zelm has it. With --cli-memory-policy the suite
// runs with zelm-cli's, as zelm-bench does: freed memory is kept for reuse,
// so that the panes of a page opened after another take the memory the
// earlier page freed, and the heap is in large pages, so that a text of
// megabytes is not faulted in 4 KB at a time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>

#include "BenchSupport.h"
#include "app/cli/MemoryPolicy.h"
#include "app/gui/RichEditEx.h"
#include "app/gui/RichEditUtil.h"
#include "indent/Pipeline.h"
#include "text/FileIO.h"

namespace zelm::bench {
namespace {

using gui::RichEditEx;

// The page of `megabytes` MB written once to a temporary file.
const std::string& PageFile(int megabytes) {
  static std::map<int, std::string> files;
  static struct Cleanup {
    ~Cleanup() {
      std::error_code ignored;
      for (const auto& [size, file] : files) std::filesystem::remove(file, ignored);
    }
  } cleanup;
  auto it = files.find(megabytes);
  if (it == files.end()) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("zelm-gui-bench-" + std::to_string(::getpid()) + "-" + std::to_string(megabytes) + ".html");
    if (!SaveTextFile(PageOfMegabytes(megabytes), path.string()).ok()) throw std::runtime_error("cannot write " + path.string());
    it = files.emplace(megabytes, path.string()).first;
  }
  return it->second;
}

// The work page of the main window, as far as the panes go: the left page
// control with Local and RefOrg, the right one with Result, Work, Org and
// Native, in a window of the main window's size.
struct PaneWindow {
  QWidget window;
  QTabWidget* left = nullptr;
  QTabWidget* right = nullptr;
  RichEditEx* Local = nullptr;
  RichEditEx* RefOrg = nullptr;
  RichEditEx* Result = nullptr;
  RichEditEx* Work = nullptr;
  RichEditEx* Org = nullptr;
  RichEditEx* Native = nullptr;

  PaneWindow() {
    auto* layout = new QHBoxLayout(&window);
    left = new QTabWidget;
    right = new QTabWidget;
    layout->addWidget(left);
    layout->addWidget(right);
    auto pane = [](QTabWidget* tabs, const char* caption) {
      auto* p = new RichEditEx;
      p->SetLineNumbers(true);
      p->SetMargins(gui::kPaneLeftMargin, gui::kPaneRightMargin);
      tabs->addTab(p, QString::fromLatin1(caption));
      return p;
    };
    Local = pane(left, "Local");
    RefOrg = pane(left, "RefOrg");
    Result = pane(right, "Result");
    Work = pane(right, "Work");
    Org = pane(right, "Org");
    Native = pane(right, "Native");
    window.resize(1240, 826);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) throw std::runtime_error("the window was not shown");
    // The fonts are loaded and the glyphs of a page drawn once before any
    // run, as in a window that has shown a page before.
    for (RichEditEx* p : {Local, Result}) {
      p->SetSjisText(PageOfMegabytes(1).substr(0, 1 << 16));
      p->Colour();
    }
    Paint();
  }

  void Paint() {
    QApplication::processEvents();
    window.repaint();
    QApplication::processEvents();
  }
};

// Opening a page as the window does: load, both stages, six panes coloured.
void OpenIndentColour(PaneWindow& w, const std::string& path) {
  const PipelineOptions options;
  FileInputTexts input = FileInputStage(LoadTextFile(path), options);
  IndentTexts indented = IndentStage(input.Local, options);
  const std::pair<RichEditEx*, std::string*> fills[] = {
      {w.Native, &input.Native}, {w.Org, &input.Org},   {w.RefOrg, &input.RefOrg},
      {w.Local, &input.Local},   {w.Work, &indented.Work}, {w.Result, &indented.Result},
  };
  for (const auto& [pane, text] : fills) {
    pane->SetSjisText(std::move(*text));
    gui::RichEditColorRetry(*pane);
  }
  w.Paint();
}

PaneWindow& Window() {
  static PaneWindow window;
  return window;
}

void BM_OpenIndentColour(benchmark::State& state) {
  PaneWindow& w = Window();
  w.left->setCurrentWidget(w.Local);
  w.right->setCurrentWidget(w.Result);
  const std::string& path = PageFile(static_cast<int>(state.range(0)));
  for (auto _ : state) OpenIndentColour(w, path);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(PageOfMegabytes(static_cast<int>(state.range(0))).size()));
}
BENCHMARK(BM_OpenIndentColour)->Arg(1)->Arg(5)->Arg(20)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShowHiddenPane(benchmark::State& state) {
  PaneWindow& w = Window();
  const std::string& path = PageFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    w.right->setCurrentWidget(w.Result);
    OpenIndentColour(w, path);
    state.ResumeTiming();
    w.right->setCurrentWidget(w.Work);
    w.Paint();
  }
  w.right->setCurrentWidget(w.Result);
}
BENCHMARK(BM_ShowHiddenPane)->Arg(5)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TypeInColouredPane(benchmark::State& state) {
  PaneWindow& w = Window();
  w.right->setCurrentWidget(w.Result);
  OpenIndentColour(w, PageFile(static_cast<int>(state.range(0))));
  RichEditEx& pane = *w.Result;
  const int middle = pane.LineCount() / 2;
  pane.SetCaretPos(pane.LineStart(middle) + 2);
  pane.setFocus();
  w.Paint();
  for (auto _ : state) {
    QTest::keyClick(&pane, Qt::Key_A);
    pane.viewport()->repaint();
    QApplication::processEvents();
  }
  if (!pane.SjisText().empty() && pane.IsColoured()) state.SkipWithError("the typed text did not reach the pane");
}
BENCHMARK(BM_TypeInColouredPane)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace zelm::bench

int main(int argc, char** argv) {
  const auto cliPolicy = std::find(argv + 1, argv + argc, std::string_view("--cli-memory-policy"));
  if (cliPolicy != argv + argc) {
    std::rotate(cliPolicy, cliPolicy + 1, argv + argc);
    --argc;
    zelm::cli::KeepFreedMemoryForReuse();
    zelm::cli::PrepareHeapInLargePages(std::size_t{1} << 30);
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
