// Loading a document in every encoding choice: no NUL byte appears that the
// input did not hold, the size stays within a constant factor, lost
// characters are reported where their "?" stands after the line-end folding,
// and the folding is the three replacements it stands for.
//
// Input: one option byte (the encoding choice), then the text.
#include <array>
#include <string>

#include "../encoding/ReferenceDetection.h"
#include "FuzzSupport.h"
#include "encoding/AnyCodeToShiftJIS.h"

namespace zelm::fuzz {
namespace {

constexpr std::array<CharCodeIndex, 8> kCodes{kCharCodeAuto,      kCharCodeEucJp, kCharCodeUtf8, kCharCodeShiftJis,
                                              kCharCodeIso2022Jp, kCharCodeUtf8N, -1,            6};

std::string ReferenceFold(std::string_view text) {
  return ReplaceAllText(ReplaceAllText(ReplaceAllText(text, "\r\n", "\n"), "\n\n", "\n"), "\n", "\r\n");
}

}  // namespace
}  // namespace zelm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelm;
  using namespace zelm::fuzz;
  Input input(data, size);
  const std::uint8_t options = input.Byte();
  const CharCodeIndex code = kCodes[options % kCodes.size()];
  const std::string_view bytes = input.Rest();

  const Converted converted = AnyCodeToShiftJIS(bytes, code);
  const std::string& text = converted.text;
  ZELM_CHECK(HasNul(bytes) || !HasNul(text), "code " + std::to_string(code) + " made a NUL byte from " + Show(bytes));
  // Label rewriting at most doubles a label, folding at most doubles a line end.
  ZELM_CHECK(text.size() <= 4 * bytes.size(), "code " + std::to_string(code) + " out of bounds");
  if (code == kCharCodeShiftJis || code < 0 || code > kCharCodeUtf8N)
    ZELM_CHECK(text == bytes, "code " + std::to_string(code) + " changed the text");

  bool lossLeavesMark = code != kCharCodeIso2022Jp;
  if (code == kCharCodeAuto) {
    const AutoConversion automatic = ConvertAutomatically(bytes);
    ZELM_CHECK(automatic.result.text == text, "the automatic mode differs from code 0");
    ZELM_CHECK(automatic.readAs >= kCharCodeAuto && automatic.readAs <= kCharCodeIso2022Jp, "read as an unknown code");
    ZELM_CHECK(!automatic.keptAsIs || automatic.readAs == kCharCodeShiftJis, "kept as is, yet converted");
    ZELM_CHECK(bytes.empty() == (automatic.readAs == kCharCodeAuto), "an empty text read as something");
    lossLeavesMark = automatic.readAs != kCharCodeIso2022Jp;
    if (bytes.size() <= 16 * 1024) {
      const test::ReferenceAutoLabel label = test::ReferenceAutomaticLabel(bytes);
      ZELM_CHECK(automatic.label == label.label, "label " + Show(automatic.label) + " for " + Show(bytes));
      if (label.shiftJis)
        ZELM_CHECK(automatic.readAs == kCharCodeShiftJis &&
                       automatic.result.text == ReferenceFold(test::ReferenceRewriteShiftJisLabels(bytes)),
                   "the Shift_JIS path of " + Show(bytes));
    }
  }
  const ConversionLoss& loss = converted.loss;
  ZELM_CHECK(loss.any() == (loss.firstPos != 0), "loss count and position disagree");
  if (loss.any()) {
    ZELM_CHECK(loss.firstPos <= text.size() + 1, "a loss beyond the text");
    // A changed character is written in its other form, a lost one as "?".
    if (lossLeavesMark && loss.firstKind != LossKind::Changed)
      ZELM_CHECK(loss.firstPos <= text.size() && text[loss.firstPos - 1] == '?',
                 "code " + std::to_string(code) + ": first loss at " + std::to_string(loss.firstPos) + " of " +
                     Show(text) + " from " + Show(bytes));
  }

  // The folding on its own, with a position tracked through it.
  const std::string folded = FoldLineEnds(bytes);
  ZELM_CHECK(folded == ReferenceFold(bytes), "FoldLineEnds of " + Show(bytes));
  if (!bytes.empty()) {
    Pos tracked = 1 + options % bytes.size();
    const char at = bytes[tracked - 1];
    Pos expected = tracked;
    ZELM_CHECK(test::ReferenceFoldLineEnds(bytes, &expected) == folded, "the character walk folds differently");
    const std::string again = FoldLineEnds(bytes, &tracked);
    ZELM_CHECK(tracked == expected, "tracked to " + std::to_string(tracked) + ", the walk says " +
                                        std::to_string(expected) + " in " + Show(bytes));
    ZELM_CHECK(again == folded, "tracking changed the folding");
    ZELM_CHECK(tracked >= 1 && tracked <= folded.size() + 1, "tracked position beyond the text");
    // A byte that is no line end keeps its place, the second byte of a
    // double-byte character included.
    if (at != '\r' && at != '\n')
      ZELM_CHECK(tracked <= folded.size() && folded[tracked - 1] == at,
                 "tracked byte moved to " + std::to_string(tracked) + " in " + Show(folded) + " from " + Show(bytes));
  }
  const std::string labels = RewriteShiftJisLabels(bytes);
  ZELM_CHECK(labels.size() <= 2 * bytes.size(), "label rewriting out of bounds");
  ZELM_CHECK(labels == test::ReferenceRewriteShiftJisLabels(bytes), "RewriteShiftJisLabels of " + Show(bytes));
  return 0;
}
