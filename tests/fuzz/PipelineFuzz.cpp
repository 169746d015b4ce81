// The pipeline stages over arbitrary pages and options: the Result holds
// every line of the Local text in order (the content check the indent
// command verifies with), no stage makes a NUL byte the page did not hold,
// and the texts of a stage agree with each other.
//
// With the <pre> and <textarea> stretches kept, every stretch of the pasted
// text stands unchanged in the Local text, the Work text and the Result.
//
// Input: two option bytes (indent type, open charset, the three flags, the
// stage, whether stretches are kept), then the page.
#include <string>

#include "FuzzSupport.h"
#include "indent/AdjustLines.h"
#include "indent/BreakLines.h"
#include "indent/ContentCheck.h"
#include "indent/KeptStretches.h"
#include "indent/LevelMarkers.h"
#include "indent/Pipeline.h"

namespace zelm::fuzz {
namespace {

void CheckIndent(std::string_view local, const PipelineOptions& options, bool nulAllowed) {
  IndentTexts indented;
  try {
    indented = IndentStage(local, options);
  } catch (const IndentationTooLarge&) {
    ZELM_CHECK(options.IndentType != IndentType::kFlushLeft, "flush left cannot be too deep");
    return;
  }
  ZELM_CHECK(nulAllowed || (!HasNul(indented.Work) && !HasNul(indented.Result)), "the indent stage made a NUL byte");
  const auto difference = FindContentDifference(local, indented.Result, options.DivCommentConcat);
  ZELM_CHECK(!difference, difference ? "Local line " + std::to_string(difference->localLine) + " " +
                                           Show(difference->expected) + " became Result line " +
                                           std::to_string(difference->resultLine) + " " + Show(difference->actual)
                                     : std::string());
  ZELM_CHECK(indented.Result.size() <= indented.Work.size() + 2 * SplitLines(local).size(),
             "the Result is longer than the Work text");
}

bool HoldsInOrder(std::string_view text, const std::vector<std::string_view>& stretches) {
  return !FirstStretchMissing(text, stretches);
}

}  // namespace
}  // namespace zelm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelm;
  using namespace zelm::fuzz;
  Input input(data, size);
  const std::uint8_t first = input.Byte();
  const std::uint8_t second = input.Byte();
  PipelineOptions options;
  options.IndentType = static_cast<IndentType>(first & 3);
  options.OpenCharset = static_cast<OpenCharset>((first >> 2) % 6);
  options.ConvertUpper2Lower = first & 0x20;
  options.DontPreprocessing = first & 0x40;
  options.DivCommentConcat = first & 0x80;
  options.KeepPre = second & 0x80;
  const std::string_view page = input.Rest();
  const bool nul = HasNul(page);

  switch (second % 3) {
    case 0: {
      const FileInputTexts texts = FileInputStage(page, options);
      ZELM_CHECK(texts.Native == page, "Native is not the page");
      ZELM_CHECK(texts.Org == texts.RefOrg, "Org and RefOrg differ");
      ZELM_CHECK(nul || (!HasNul(texts.Org) && !HasNul(texts.Local)), "the file stage made a NUL byte");
      ZELM_CHECK(texts.DetectedCode >= 0 && texts.DetectedCode <= 4, "detected code " + std::to_string(texts.DetectedCode));
      ZELM_CHECK(texts.Local.size() <= 64 * page.size() + 64, "the Local text out of bounds");
      CheckIndent(texts.Local, options, nul);
      break;
    }
    case 1: {
      const PasteInputTexts texts = PasteInputStage(page, options);
      ZELM_CHECK(texts.Native == page, "Native is not the pasted text");
      ZELM_CHECK(texts.Org == texts.RefOrg, "Org and RefOrg differ");
      ZELM_CHECK(nul || (!HasNul(texts.Org) && !HasNul(texts.Local)), "the paste stage made a NUL byte");
      IsAcceptablePaste(page);
      CheckIndent(texts.Local, options, nul);
      if (options.KeepPre) {
        // Broken markup may make new stretches on the way ("<pre" and a
        // line break); the page's own must all be there, in order.
        const std::string normalized = NormalizeLineEnds(page);
        const std::vector<std::string_view> kept = FindKeptStretches(normalized);
        ZELM_CHECK(HoldsInOrder(texts.Local, kept), "a kept stretch changed on its way to Local: " + Show(page));
        try {
          const IndentTexts indented = IndentStage(texts.Local, options);
          ZELM_CHECK(HoldsInOrder(indented.Result, kept), "a kept stretch changed in the Result: " + Show(page));
          ZELM_CHECK(HoldsInOrder(indented.Work, kept), "a kept stretch changed in the Work text: " + Show(page));
        } catch (const IndentationTooLarge&) {
        }
      }
      break;
    }
    default: {
      try {
        const std::string marked = InnerHtmlStage(page, options, true);
        const std::string plain = InnerHtmlStage(page, options, false);
        if (options.KeepPre) {
          ZELM_CHECK(HoldsInOrder(plain, FindKeptStretches(page)), "a kept stretch changed in the inner stage");
          break;
        }
        const std::string local = page.empty() ? std::string()
                                  : AdjustLines(options.DontPreprocessing ? LightBreakLines(page) : PreBreakLines(page));
        ZELM_CHECK(marked == (local.empty() ? std::string() : MarkIndentLevels(local, LevelIndentOf(options.IndentType))),
                   "the inner stage is not breaking, adjustment and levels");
        const auto difference = FindContentDifference(local, plain, false);
        ZELM_CHECK(!difference, difference ? "inner Local line " + std::to_string(difference->localLine) + " " +
                                                 Show(difference->expected) + " became " + Show(difference->actual)
                                           : std::string());
      } catch (const IndentationTooLarge&) {
        ZELM_CHECK(options.IndentType != IndentType::kFlushLeft, "flush left cannot be too deep");
      }
      const std::string adjusted = DoInnerTextTMLGo(page);
      ZELM_CHECK(adjusted == (page.empty() ? std::string() : AdjustLines(page)), "DoInnerTextTMLGo is not AdjustLines");
      break;
    }
  }
  return 0;
}
