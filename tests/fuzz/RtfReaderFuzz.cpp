// The RTF reader over arbitrary documents: whatever it is given, its runs
// cover the text it reads in order, neighbouring runs differ, and the text
// is never longer than the document.
#include <string>

#include "FuzzSupport.h"
#include "colour/RtfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelm;
  using namespace zelm::fuzz;
  const std::string_view document(reinterpret_cast<const char*>(data), size);
  const RtfText read = ReadRTF(document);

  if (!document.starts_with("{\\rtf")) {
    ZELM_CHECK(read.text == document, "a plain text does not read as itself");
  } else {
    // "\par" (four bytes) gives two; every other byte gives at most one.
    ZELM_CHECK(read.text.size() <= document.size(), "more text than document");
  }
  std::uint32_t covered = 0;
  for (std::size_t k = 0; k < read.runs.size(); ++k) {
    const RtfRun& run = read.runs[k];
    ZELM_CHECK(run.start == covered && run.length > 0, "runs do not cover the text in order");
    if (k > 0) {
      const RtfRun& previous = read.runs[k - 1];
      ZELM_CHECK(previous.color != run.color || previous.bold != run.bold, "neighbouring runs look the same");
    }
    covered += run.length;
  }
  ZELM_CHECK(covered == read.text.size(), "runs do not cover the whole text");
  for (const std::uint32_t rgb : read.colorTable) ZELM_CHECK(rgb <= 0xFFFFFF, "a colour beyond 24 bits");
  return 0;
}
