#include "indent/Pipeline.h"

#include <algorithm>
#include <filesystem>
#include <span>

#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/CharsetLabel.h"
#include "indent/HTMLAdjustText.h"
#include "indent/IndentUtil.h"
#include "indent/KeptStretches.h"
#include "indent/SharedConversion.h"
#include "indent/SharedInputPasses.h"
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

// Gives a text's memory back. Assigning an empty string would not: the
// string keeps its buffer, and a string moved from may hold another's.
void Free(std::string& text) { std::string().swap(text); }

// 1-based line of a 1-based position (a position past the end counts as the end).
std::size_t LineAt(std::string_view text, Pos position) {
  const std::size_t end = std::min(position == 0 ? 0 : position - 1, text.size());
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

std::string Break(std::string_view text, bool lightWhenNotPreprocessing, const PipelineOptions& options) {
  if (!options.DontPreprocessing) return PreBreakLines(text);
  return lightWhenNotPreprocessing ? LightBreakLines(text) : std::string(text);
}

}  // namespace

FileInputTexts FileInputStage(std::string_view native, const PipelineOptions& options) {
  return FileInputStage(std::string(native), options, WantedInputTexts{});
}

namespace {

// A loaded file converted to Shift_JIS, blank lines dropped.
struct ConvertedFile {
  std::string text;
  // A large page converted in parts side by side stays in them (the text
  // is then empty) until Joined() is asked for.
  std::vector<std::string> parts;
  CharCodeIndex detectedCode = 0;
  CharCodeIndex readAs = 0;
  ConversionLoss loss;

  std::string Joined(unsigned threads) {
    return parts.empty() ? std::move(text) : JoinParts(parts, threads);
  }
};

// Converts the loaded bytes; `release(owner)` is called once they are no
// longer read, so that their memory can go (or be kept) right then.
template <typename Release>
ConvertedFile ConvertFile(std::string_view native, const PipelineOptions& options, Release release) {
  ConvertedFile file;
  if (options.KeepPre) {
    // Blank lines and runs of line ends inside <pre> are what the page
    // shows: the text is converted with its line ends as they are, and the
    // blank lines outside the kept stretches go once they are set aside.
    file.detectedCode = GetCharCodeFromMeta(native);
    Converted converted;
    if (options.OpenCharset == kCharCodeAuto) {
      AutoConversion automatic = ConvertAutomatically(native, options.UnmappableAs, LineEnds::Keep);
      converted = std::move(automatic.result);
      file.readAs = automatic.readAs;
    } else {
      converted = AnyCodeToShiftJIS(native, options.OpenCharset, options.UnmappableAs, LineEnds::Keep);
      file.readAs = options.OpenCharset;
    }
    release();
    file.loss = converted.loss;
    file.text = std::move(converted.text);
    return file;
  }
  if (options.OpenCharset == kCharCodeAuto) {
    if (auto shared = ConvertShiftJisPageSideBySide(native, PassSharing{.threads = options.Threads})) {
      release();
      file.parts = std::move(shared->parts);
      file.detectedCode = shared->declared;
      file.readAs = kCharCodeShiftJis;
      return file;
    }
  }
  std::string text = RemoveBlankLines(native);
  release();
  file.detectedCode = GetCharCodeFromMeta(text);
  Converted converted;
  if (options.OpenCharset == kCharCodeAuto) {
    AutoConversion automatic = ConvertAutomatically(text, options.UnmappableAs);
    converted = std::move(automatic.result);
    file.readAs = automatic.readAs;
  } else {
    converted = AnyCodeToShiftJIS(text, options.OpenCharset, options.UnmappableAs);
    file.readAs = options.OpenCharset;
  }
  Free(text);
  file.loss = converted.loss;
  file.text = std::move(converted.text);
  return file;
}

// The passes from tag case to line adjustment, as the file input stage runs
// them.
InputPasses FilePasses(bool normaliseCase, const PipelineOptions& options) {
  return {normaliseCase, [&options](std::string_view text) {
            // With DontPreprocessing the file keeps its own lines: no breaking pass.
            return Break(text, /*lightWhenNotPreprocessing=*/false, options);
          }};
}

// The same for a converted text whose parts are given.
InputPasses FilePasses(std::span<const std::string_view> converted, const PipelineOptions& options) {
  std::vector<char> wants(converted.size(), 0);  // not vector<bool>: parts are looked at side by side
  RunSideBySide(converted.size(), options.Threads, [&](std::size_t k) {
    wants[k] = WantsTagCaseNormalisation(converted[k], /*pasted=*/false, options);
  });
  return FilePasses(std::find(wants.begin(), wants.end(), 1) != wants.end(), options);
}

InputPasses FilePasses(std::string_view converted, const PipelineOptions& options) {
  return FilePasses(std::span<const std::string_view>(&converted, 1), options);
}

// The passes after the conversion, filling the wanted texts. Only the Local
// text wanted, and no lost character whose line is asked for: a large page
// may go through the passes in parts side by side.
void PassConverted(std::string text, const PipelineOptions& options, WantedInputTexts wanted, FileInputTexts& texts) {
  SetAside aside;
  if (options.KeepPre) {
    // Converted with its own line ends (see ConvertFile): the line of a
    // loss is one of the page, blank lines counted.
    if (texts.loss.any()) {
      const std::string before = NormalizeLineEnds(std::string_view(text).substr(0, texts.loss.firstPos - 1));
      texts.lossLine = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    }
    aside = SetStretchesAside(NormalizeLineEnds(text));
    text = RemoveBlankLines(aside.text);
    std::string().swap(aside.text);
  } else if (texts.loss.any()) {
    // The position is one of the converted text; tag case and the charset
    // declaration move bytes but keep lines.
    texts.lossLine = LineAt(text, texts.loss.firstPos);
  }
  const InputPasses passes = FilePasses(text, options);
  if (wanted.Local && !wanted.Org && !wanted.RefOrg && !texts.loss.any() && !aside.any()) {
    if (std::optional<std::string> local = SharedLocalText(text, passes, PassSharing{.threads = options.Threads})) {
      texts.Local = std::move(*local);
      return;
    }
  }
  if (passes.normaliseCase) text = NormalizeTagCase(text);
  text = RewriteCharsetDecl(text, 0);
  if (wanted.RefOrg) texts.RefOrg = PutStretchesBack(text, aside);
  if (wanted.Local) {
    std::string broken = passes.breakLines(text);
    if (!wanted.Org) Free(text);
    texts.Local = PutStretchesBack(AdjustLines(broken), aside);
  }
  if (wanted.Org) texts.Org = aside.any() ? PutStretchesBack(text, aside) : std::move(text);
}

}  // namespace

FileInputTexts FileInputStage(std::string native, const PipelineOptions& options, WantedInputTexts wanted) {
  FileInputTexts texts;
  ConvertedFile file = ConvertFile(native, options, [&] {
    if (wanted.Native) texts.Native = std::move(native);
    Free(native);
  });
  texts.DetectedCode = file.detectedCode;
  texts.ReadAs = file.readAs;
  texts.loss = file.loss;
  PassConverted(file.Joined(options.Threads), options, wanted, texts);
  return texts;
}

namespace {

// A large Shift_JIS page straight to its Result in pieces, each part
// converted only when its passes need it. nullopt when the page is not
// such a page, or a part after the first may hold a charset declaration.
std::optional<IndentedFileTexts> ShiftJisPageToPieces(std::string_view native, const PipelineOptions& options) {
  const PassSharing sharing{.threads = options.Threads};
  const std::optional<ShiftJisPageParts> page = ShiftJisPageParts::Of(native, sharing);
  if (!page) return std::nullopt;
  // Conversion neither makes nor breaks a tag-case marker or a charset
  // declaration: both are looked for in the loaded parts.
  const std::size_t count = page->Count();
  std::vector<char> wants(count, 0), mayDeclare(count, 0), nul(count, 0);  // not vector<bool>: written side by side
  RunSideBySide(count, sharing.threads, [&](std::size_t k) {
    nul[k] = options.RefuseNulBytes && page->Loaded(k).find('\0') != std::string_view::npos;
    wants[k] = WantsTagCaseNormalisation(page->Loaded(k), /*pasted=*/false, options);
    mayDeclare[k] = k > 0 && MayHoldCharsetDecl(page->Loaded(k));
  });
  if (std::find(nul.begin(), nul.end(), 1) != nul.end()) {
    IndentedFileTexts refused;
    refused.HoldsNul = true;
    return refused;
  }
  if (std::find(mayDeclare.begin(), mayDeclare.end(), 1) != mayDeclare.end()) return std::nullopt;
  const InputPasses passes = FilePasses(std::find(wants.begin(), wants.end(), 1) != wants.end(), options);
  std::vector<WholeTextLabels> labels(count);
  auto pieces = SharedIndentedPieces(
      count, [&](std::size_t k) { return page->Converted(k, labels[k]); }, passes, options.IndentType, sharing);
  if (!pieces) return std::nullopt;
  for (std::size_t k = 1; k < count; ++k) labels[0].Add(labels[k]);
  IndentedFileTexts texts;
  texts.ResultPieces = std::move(*pieces);
  texts.DetectedCode = page->Declared(labels[0]);
  texts.ReadAs = kCharCodeShiftJis;  // and a page kept as Shift_JIS lost no character
  return texts;
}

template <typename Release>
IndentedFileTexts FileToResult(std::string_view native, const PipelineOptions& options, Release release) {
  if (options.ResultInPieces && !options.DivCommentConcat && options.OpenCharset == kCharCodeAuto &&
      !options.KeepPre) {
    if (std::optional<IndentedFileTexts> pieces = ShiftJisPageToPieces(native, options)) {
      release();
      return std::move(*pieces);
    }
  }
  if (options.RefuseNulBytes && HoldsNulByte(native, options.Threads)) {
    IndentedFileTexts refused;
    refused.HoldsNul = true;
    return refused;
  }
  FileInputTexts input;
  ConvertedFile file = ConvertFile(native, options, release);
  input.DetectedCode = file.detectedCode;
  input.ReadAs = file.readAs;
  input.loss = file.loss;
  std::optional<std::string> result;
  const PassSharing sharing{.threads = options.Threads};
  if (options.KeepPre) {
    // The kept stretches are set aside in each stage: no shared passes.
    WantedInputTexts localOnly;
    localOnly.Native = localOnly.Org = localOnly.RefOrg = false;
    PassConverted(file.Joined(options.Threads), options, localOnly, input);
    IndentedFileTexts texts;
    texts.Result = IndentStage(input.Local, options, WantedIndentTexts::Result).Result;
    texts.DetectedCode = input.DetectedCode;
    texts.ReadAs = input.ReadAs;
    texts.loss = input.loss;
    texts.lossLine = input.lossLine;
    return texts;
  }
  if (!file.parts.empty()) {
    const std::vector<std::string_view> parts(file.parts.begin(), file.parts.end());
    result = SharedIndentedText(file.parts, FilePasses(parts, options), options.IndentType, sharing);
  } else if (!input.loss.any()) {
    result = SharedIndentedText(file.text, FilePasses(file.text, options), options.IndentType, sharing);
  }
  if (!result) {
    WantedInputTexts localOnly;
    localOnly.Native = localOnly.Org = localOnly.RefOrg = false;
    PassConverted(file.Joined(options.Threads), options, localOnly, input);
    result = IndentWithoutMarkers(input.Local, options.IndentType, PassSharing{.threads = options.Threads});
  }
  IndentedFileTexts texts;
  texts.Result = options.DivCommentConcat ? JoinDivComments(*result) : std::move(*result);
  texts.DetectedCode = input.DetectedCode;
  texts.ReadAs = input.ReadAs;
  texts.loss = input.loss;
  texts.lossLine = input.lossLine;
  return texts;
}

}  // namespace

IndentedFileTexts FileToResultStage(std::string native, const PipelineOptions& options) {
  return FileToResult(native, options, [&] { Free(native); });
}

IndentedFileTexts FileToResultStage(std::string_view native, const PipelineOptions& options) {
  return FileToResult(native, options, [] {});
}

void PreparePassTables() {
  constexpr std::string_view kPage =
      "<HTML><HEAD><meta charset=\"shift_jis\"></HEAD>\r\n<BODY><DIV><P>x</P></DIV>\r\n</BODY></HTML>\r\n";
  PipelineOptions options;
  options.ConvertUpper2Lower = true;
  FileToResultStage(kPage, options);
  options.DontPreprocessing = true;
  PasteInputStage(kPage, options);
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
  const SetAside aside = options.KeepPre ? SetStretchesAside(NormalizeLineEnds(text)) : SetAside{};
  std::string work = RewriteCharsetDecl(aside.any() ? std::string_view(aside.text) : text, 0);
  if (WantsTagCaseNormalisation(work, /*pasted=*/true, options)) work = NormalizeTagCase(work);
  work = RemoveBlankLines(work);
  texts.Org = PutStretchesBack(work, aside);
  texts.RefOrg = texts.Org;
  texts.Local = PutStretchesBack(AdjustLines(Break(work, /*lightWhenNotPreprocessing=*/true, options)), aside);
  return texts;
}

IndentTexts IndentStage(std::string_view local, const PipelineOptions& options, WantedIndentTexts wanted) {
  IndentTexts texts;
  if (local.empty()) return texts;
  if (options.KeepPre) {
    // The level pass places the stand-ins; the stretches go back after it
    // (and after the join of "</div>" with a comment, which a stretch must
    // not take part in).
    const SetAside aside = SetStretchesAside(local);
    if (aside.any()) {
      PipelineOptions plain = options;
      plain.KeepPre = false;
      texts = IndentStage(aside.text, plain, wanted);
      texts.Work = PutStretchesBack(texts.Work, aside);
      texts.Result = PutStretchesBack(texts.Result, aside);
      return texts;
    }
  }
  switch (wanted) {
    case WantedIndentTexts::WorkAndResult: {
      MarkedText marked = MarkIndentLevelsWithResult(local, options.IndentType);
      texts.Work = std::move(marked.work);
      texts.Result = std::move(marked.result);
      break;
    }
    case WantedIndentTexts::Work:
      texts.Work = MarkIndentLevels(local, options.IndentType);
      return texts;
    case WantedIndentTexts::Result:
      texts.Result = IndentWithoutMarkers(local, options.IndentType, PassSharing{.threads = options.Threads});
      break;
  }
  if (options.DivCommentConcat) texts.Result = JoinDivComments(texts.Result);
  return texts;
}

std::string InnerHtmlStage(std::string_view innerHtml, const PipelineOptions& options, bool keepLevelMarkers) {
  if (innerHtml.empty()) return {};
  if (options.KeepPre) {
    const SetAside aside = SetStretchesAside(innerHtml);
    if (aside.any()) {
      PipelineOptions plain = options;
      plain.KeepPre = false;
      return PutStretchesBack(InnerHtmlStage(aside.text, plain, keepLevelMarkers), aside);
    }
  }
  const std::string local = AdjustLines(Break(innerHtml, /*lightWhenNotPreprocessing=*/true, options));
  if (keepLevelMarkers) return MarkIndentLevels(local, options.IndentType);
  // As in the indent stage, a line the level pass leaves unmarked keeps its
  // text even when it starts like a marker.
  return IndentWithoutMarkers(local, options.IndentType);
}

std::string DoInnerTextTMLGo(std::string_view text) {
  if (text.empty()) return {};
  return AdjustLines(text);
}

}  // namespace zelm
