// Syntax colouring: scanning and writing the RTF document, reading it back,
// and the whole round. Bytes per second are counted in bytes of the page.
#include <map>

#include "BenchSupport.h"
#include "colour/RtfReader.h"
#include "colour/zhnHTMLRTF.h"

namespace zelm::bench {
namespace {

std::string ColourDocumentOf(const std::string& page) {
  TzhnHTMLRTF scanner;
  scanner.SetSource(page);
  return scanner.GetRTF();
}

const std::string& DocumentOfMegabytes(int megabytes) {
  static std::map<int, std::string> documents;
  auto it = documents.find(megabytes);
  if (it == documents.end()) it = documents.emplace(megabytes, ColourDocumentOf(PageOfMegabytes(megabytes))).first;
  return it->second;
}

void BM_ColourScanAndWrite(benchmark::State& state) { RunOverPage(state, ColourDocumentOf); }
ZELM_PAGE_BENCHMARK(BM_ColourScanAndWrite);

void BM_ColourReadBack(benchmark::State& state) {
  const int megabytes = static_cast<int>(state.range(0));
  const std::string& document = DocumentOfMegabytes(megabytes);
  RunOver(state, document, [](const std::string& rtf) { return ReadRTF(rtf); }, PageOfMegabytes(megabytes).size());
  state.counters["document_bytes"] = static_cast<double>(document.size());
}
ZELM_PAGE_BENCHMARK(BM_ColourReadBack);

void BM_ColourWhole(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return ReadRTF(ColourDocumentOf(page)); });
}
ZELM_PAGE_BENCHMARK(BM_ColourWhole);

}  // namespace
}  // namespace zelm::bench
