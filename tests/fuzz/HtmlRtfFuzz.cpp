// The HTML scanner and the RTF writer over arbitrary texts: the scanner
// always makes progress and its tokens put together give the text back, and
// the document read back gives the text with CR LF line ends.
//
// Input: one option byte (bit 0: the alternate colours; bit 1: scan a second
// text with the same scanner), then the text.
#include <string>

#include "FuzzSupport.h"
#include "colour/RtfReader.h"
#include "colour/zhnHTMLRTF.h"

namespace zelm::fuzz {
namespace {

// The text a reader gets back: every CR LF, lone CR and lone LF becomes
// CR LF; a NUL byte ends the text.
std::string WithCrLfLineEnds(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
    if (text[i] == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\n') {
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

// Walks every token. Tokens follow each other without gaps; a token that
// takes no bytes changes the state; End comes at the first NUL or the end.
void CheckTokens(TzhnHTMLRTF& scanner, const std::string& text, ScanState before) {
  const std::size_t textEnd = std::min(text.find('\0'), text.size());
  // Each byte starts at most one token, and at most two empty tokens come
  // before the next one that takes bytes.
  const std::size_t limit = 3 * (textEnd + 1);
  std::string joined;
  std::size_t position = scanner.TokenStart();
  ZELM_CHECK(position == 0, "the first token does not start the text");
  std::size_t tokens = 0;
  while (!scanner.AtEnd()) {
    const std::string_view token = scanner.GetToken();
    ZELM_CHECK(scanner.TokenStart() == position, "a gap or an overlap between tokens at " + std::to_string(position));
    ZELM_CHECK(position + token.size() <= textEnd, "a token runs past the end of the text");
    if (token.empty())
      ZELM_CHECK(scanner.State() != before, "an empty token left the state unchanged at " + std::to_string(position));
    joined += token;
    position += token.size();
    before = scanner.State();
    scanner.NextToken();
    ZELM_CHECK(++tokens <= limit, "the scanner makes no progress at " + std::to_string(position));
  }
  ZELM_CHECK(position == textEnd, "End before the end of the text, at " + std::to_string(position));
  ZELM_CHECK(joined == std::string_view(text).substr(0, textEnd), "the tokens do not give the text back");
}

void CheckDocument(const std::string& text, const std::string& document) {
  const RtfText read = ReadRTF(document);
  ZELM_CHECK(read.text == WithCrLfLineEnds(text),
             "the document reads back as " + Show(read.text) + " for " + Show(text));
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
  // The colour table the writer made: black and eleven colours.
  ZELM_CHECK(read.colorTable.size() == 12, "colour table of " + std::to_string(read.colorTable.size()));
}

}  // namespace
}  // namespace zelm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelm;
  using namespace zelm::fuzz;
  Input input(data, size);
  const std::uint8_t options = input.Byte();
  const std::string text(input.Rest());

  TzhnHTMLRTF scanner;
  if (options & 1) scanner.UseAlternateColors();
  scanner.SetSource(text);
  CheckTokens(scanner, text, ScanState::EntityPending);

  TzhnHTMLRTF writer;
  if (options & 1) writer.UseAlternateColors();
  writer.SetSource(text);
  const std::string document = writer.GetRTF();
  // Each byte is escaped into at most four, and a token costs at most
  // "\par\cf9 \b " and "\b0 " around it.
  ZELM_CHECK(document.size() <= 1024 + 4 * text.size() + 20 * (text.size() + 1), "the document is too large");
  CheckDocument(text, document);

  if (options & 2) {
    // The same object on a second text, the first one's state carried over:
    // still progress and a faithful document.
    const std::string second = text.substr(text.size() / 2);
    const ScanState carried = scanner.State();
    scanner.SetSource(second);
    CheckTokens(scanner, second, carried);
    writer.SetSource(second);
    CheckDocument(second, writer.GetRTF());
  }
  return 0;
}
