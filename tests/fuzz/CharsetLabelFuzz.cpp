// Reading the declared charset of raw bytes: the answer is one of the codes
// a label can declare, a body without labels behind the text does not change
// it, and the one-pass deletion of script tags gives what the plain loop
// gives.
//
// Input: one option byte (bit 7: markers from the input, else the script
// tag), then the markers when chosen, then the text.
#include <string>

#include "../encoding/ReferenceDetection.h"
#include "FuzzSupport.h"
#include "encoding/ByteSearch.h"
#include "encoding/CharsetLabel.h"

namespace zelm::fuzz {
namespace {

constexpr std::size_t kReferenceLimit = 4096;

// Byte-wise: search the start marker again from the beginning after every
// deletion; the end marker from the start marker's last byte.
std::string ReferenceDeleteBlocksBytewise(std::string text, std::string_view start, std::string_view end) {
  if (start.empty() || end.empty()) return text;
  for (std::size_t p = text.find(start); p != std::string::npos; p = text.find(start)) {
    const std::size_t e = text.find(end, p + start.size() - 1);
    if (e == std::string::npos) break;
    text.erase(p, e + end.size() - p);
  }
  return text;
}

// Bytes that cannot begin or complete a label: every label holds "=" or
// begins with "<".
std::string WithoutLabelBytes(std::string_view bytes) {
  std::string out;
  for (char c : bytes)
    if (c != '<' && c != '=') out += c;
  return out;
}

}  // namespace
}  // namespace zelm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelm;
  using namespace zelm::fuzz;
  Input input(data, size);
  const std::uint8_t options = input.Byte();
  std::string_view start = "<script", end = ">";
  if (options & 0x80) {
    start = input.Take(1 + (options & 7));
    end = input.Take(1 + ((options >> 3) & 7));
  }
  const std::string_view text = input.Rest();

  const CharCodeIndex code = GetCharCodeFromMeta(text);
  ZELM_CHECK(code >= kCharCodeAuto && code <= kCharCodeIso2022Jp, "code " + std::to_string(code));
  if (text.size() <= kReferenceLimit)
    ZELM_CHECK(code == test::ReferenceGetCharCodeFromMeta(text), "code " + std::to_string(code) + " of " + Show(text));
  const std::string withBody = std::string(text) + "<BODY>" + WithoutLabelBytes(text);
  ZELM_CHECK(GetCharCodeFromMeta(withBody) == code, "a body without labels changed the code of " + Show(text));

  const std::string lowered = AsciiLowerBytes(text);
  ZELM_CHECK(lowered.size() == text.size(), "lower-casing changed the size");
  const std::string deleted = DeleteBlocksBytewise(text, start, end);
  ZELM_CHECK(deleted.size() <= text.size(), "the deletion grew the text");
  if (text.size() <= kReferenceLimit)
    ZELM_CHECK(deleted == ReferenceDeleteBlocksBytewise(std::string(text), start, end),
               "DeleteBlocksBytewise " + Show(start) + " " + Show(end) + " of " + Show(text));
  return 0;
}
