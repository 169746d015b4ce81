#include "indent/Pipeline.h"

#include <filesystem>
#include <span>

#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/CharsetLabel.h"
#include "indent/HTMLAdjustText.h"
#include "indent/IndentUtil.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

// Upper-case markup that asks for tag-case normalisation. The paste path
// looks for "<TD   " (with three spaces) instead of "<TD", and not for
// "<BODY", which every accepted paste holds in one case or the other.
bool WantsTagCaseNormalisation(std::string_view text, bool pasted, const PipelineOptions& options) {
  if (options.ConvertUpper2Lower) return true;
  static constexpr std::string_view kFileMarkers[] = {"<TD", "<HEAD", "<BODY", "<TABLE"};
  static constexpr std::string_view kPasteMarkers[] = {"<TD   ", "<HEAD", "<TABLE"};
  const auto markers = pasted ? std::span<const std::string_view>(kPasteMarkers)
                              : std::span<const std::string_view>(kFileMarkers);
  for (std::string_view marker : markers)
    if (SjisContains(text, marker)) return true;
  return false;
}

// Joins every "</div>" line with a following line that starts a comment
// (letters compared without case). Only the line break goes: an author's
// "</DIV>" keeps its case, so the Result still holds the Local text.
std::string JoinDivComments(std::string_view text) {
  constexpr std::string_view kJoin = "</div>\r\n<!--";
  constexpr std::size_t kLineBreakAt = 6;  // after "</div>"
  std::string out;
  out.reserve(text.size());
  std::size_t copied = 0;
  for (std::size_t at = FindNoCaseAtBoundary(text, kJoin); at != std::string_view::npos;
       at = FindNoCaseAtBoundary(text, kJoin, at + kJoin.size())) {
    out.append(text, copied, at + kLineBreakAt - copied);
    copied = at + kLineBreakAt + 2;
  }
  out.append(text, copied);
  return out;
}

std::string Break(std::string_view text, bool lightWhenNotPreprocessing, const PipelineOptions& options) {
  if (!options.DontPreprocessing) return PreBreakLines(text);
  return lightWhenNotPreprocessing ? LightBreakLines(text) : std::string(text);
}

}  // namespace

FileInputTexts FileInputStage(std::string_view native, const PipelineOptions& options) {
  FileInputTexts texts;
  texts.Native = std::string(native);
  const std::string withoutBlankLines = RemoveBlankLines(native);
  texts.DetectedCode = GetCharCodeFromMeta(withoutBlankLines);
  Converted converted;
  if (options.OpenCharset == kCharCodeAuto) {
    AutoConversion automatic = ConvertAutomatically(withoutBlankLines);
    converted = std::move(automatic.result);
    texts.ReadAs = automatic.readAs;
  } else {
    converted = AnyCodeToShiftJIS(withoutBlankLines, options.OpenCharset);
    texts.ReadAs = options.OpenCharset;
  }
  texts.loss = converted.loss;
  std::string text = std::move(converted.text);
  if (WantsTagCaseNormalisation(text, /*pasted=*/false, options)) text = NormalizeTagCase(text);
  text = RewriteCharsetDecl(text, 0);
  texts.Org = text;
  texts.RefOrg = text;
  // With DontPreprocessing the file keeps its own lines: no breaking pass.
  texts.Local = AdjustLines(Break(text, /*lightWhenNotPreprocessing=*/false, options));
  return texts;
}

std::optional<std::string> ResolveHtmlFileName(const std::string& name) {
  if (name.find(".htm") != std::string::npos) return name;
  std::error_code ignored;
  const std::string withExtension = name + ".html";
  if (std::filesystem::exists(withExtension, ignored)) return withExtension;
  return std::nullopt;
}

bool IsAcceptablePaste(std::string_view text) {
  return SjisContains(text, "<body") || SjisContains(text, "<BODY");
}

PasteInputTexts PasteInputStage(std::string_view text, const PipelineOptions& options) {
  PasteInputTexts texts;
  if (text.empty()) return texts;
  texts.Native = std::string(text);
  std::string work = RewriteCharsetDecl(text, 0);
  if (WantsTagCaseNormalisation(work, /*pasted=*/true, options)) work = NormalizeTagCase(work);
  work = RemoveBlankLines(work);
  texts.Org = work;
  texts.RefOrg = work;
  texts.Local = AdjustLines(Break(work, /*lightWhenNotPreprocessing=*/true, options));
  return texts;
}

IndentTexts IndentStage(std::string_view local, const PipelineOptions& options) {
  IndentTexts texts;
  if (local.empty()) return texts;
  MarkedText marked = MarkIndentLevelsWithResult(local, options.IndentType);
  texts.Work = std::move(marked.work);
  texts.Result = std::move(marked.result);
  if (options.DivCommentConcat) texts.Result = JoinDivComments(texts.Result);
  return texts;
}

std::string InnerHtmlStage(std::string_view innerHtml, const PipelineOptions& options, bool keepLevelMarkers) {
  if (innerHtml.empty()) return {};
  // The result beside the Work text, as in the indent stage: a line the
  // level pass left unmarked keeps its text even when it starts like a marker.
  MarkedText marked = MarkIndentLevelsWithResult(
      AdjustLines(Break(innerHtml, /*lightWhenNotPreprocessing=*/true, options)), options.IndentType);
  return keepLevelMarkers ? std::move(marked.work) : std::move(marked.result);
}

std::string DoInnerTextTMLGo(std::string_view text) {
  if (text.empty()) return {};
  return AdjustLines(text);
}

}  // namespace zelm
