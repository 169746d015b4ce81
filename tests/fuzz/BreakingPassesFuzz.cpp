// The passes that prepare a converted source for the level pass: the
// one-scan tag case, charset, breaking passes give exactly what their
// rule-by-rule versions give, and line adjustment keeps every byte that is
// not a blank while every line it writes holds something.
//
// Input: one option byte (the charset target), then the text.
#include <array>
#include <string>

#include "../indent/ReferenceLevelPass.h"
#include "../indent/ReferencePasses.h"
#include "FuzzSupport.h"
#include "indent/AdjustLines.h"
#include "indent/BreakLines.h"
#include "indent/CharsetDecl.h"
#include "indent/NormalizeTagCase.h"

namespace zelm::fuzz {
namespace {

// The rule-by-rule versions run some two hundred whole-text replacements.
constexpr std::size_t kReferenceLimit = 16 * 1024;

constexpr std::array<int, 8> kTargets{0, 1, 2, 3, 4, 5, -1, 6};

// The lines without full-width spaces and blanks (bytes up to 0x20): what
// trimming, splitting and joining lines cannot change.
std::string Visible(std::string_view text) {
  std::string out;
  for (std::string_view line : SplitLines(text))
    for (char c : ReplaceAllExact(line, "\x81\x40", ""))
      if (static_cast<unsigned char>(c) > 0x20) out += c;
  return out;
}

void CheckNoNewNul(std::string_view input, std::string_view output, const char* what) {
  ZELM_CHECK(HasNul(input) || !HasNul(output), std::string(what) + " made a NUL byte from " + Show(input));
}

}  // namespace
}  // namespace zelm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelm;
  using namespace zelm::fuzz;
  Input input(data, size);
  const int target = kTargets[input.Byte() % kTargets.size()];
  const std::string_view text = input.Rest();
  const bool compare = text.size() <= kReferenceLimit;

  const std::string normalized = NormalizeTagCase(text);
  CheckNoNewNul(text, normalized, "NormalizeTagCase");
  // Tabs become two spaces, "<td></td>" gains "&nbsp;", lines gain a CR LF.
  ZELM_CHECK(normalized.size() <= 4 * text.size() + 2, "NormalizeTagCase out of bounds");
  if (compare) ZELM_CHECK(normalized == test::ReferenceNormalizeTagCase(text), "NormalizeTagCase of " + Show(text));

  const std::string charset = RewriteCharsetDecl(text, target);
  CheckNoNewNul(text, charset, "RewriteCharsetDecl");
  ZELM_CHECK(charset.size() <= 2 * text.size() + 64, "RewriteCharsetDecl out of bounds");
  if (compare)
    ZELM_CHECK(charset == test::ReferenceRewriteCharsetDecl(text, target),
               "RewriteCharsetDecl " + std::to_string(target) + " of " + Show(text));

  const std::string broken = PreBreakLines(text);
  CheckNoNewNul(text, broken, "PreBreakLines");
  // At most a line break on both sides of every tag, and "&nbsp;" in
  // empty cells.
  ZELM_CHECK(broken.size() <= 4 * text.size() + 2, "PreBreakLines out of bounds");
  if (compare) ZELM_CHECK(broken == test::ReferencePreBreakLines(text), "PreBreakLines of " + Show(text));

  const std::string light = LightBreakLines(text);
  CheckNoNewNul(text, light, "LightBreakLines");
  ZELM_CHECK(light.size() <= 3 * text.size() + 2, "LightBreakLines out of bounds");
  if (compare) ZELM_CHECK(light == test::ReferenceLightBreakLines(text), "LightBreakLines of " + Show(text));

  for (const std::string_view source : {text, std::string_view(broken)}) {
    const std::string adjusted = AdjustLines(source);
    CheckNoNewNul(source, adjusted, "AdjustLines");
    ZELM_CHECK(adjusted.size() <= 3 * source.size() + 2, "AdjustLines out of bounds");
    ZELM_CHECK(adjusted.empty() || adjusted.ends_with("\r\n"), "AdjustLines left the last line open");
    for (std::string_view line : SplitLines(adjusted))
      ZELM_CHECK(!PlainTrimView(line).empty(), "AdjustLines wrote a blank line");
    ZELM_CHECK(Visible(adjusted) == Visible(source),
               "AdjustLines changed more than blanks: " + Show(adjusted) + " from " + Show(source));
    if (source.size() <= kReferenceLimit)
      ZELM_CHECK(adjusted == test::ReferenceAdjustLines(source), "AdjustLines of " + Show(source));
  }
  return 0;
}
