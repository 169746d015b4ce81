#include "indent/Pipeline.h"

#include <algorithm>
#include <filesystem>
#include <span>

#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/CharsetLabel.h"
#include "indent/CharsetDecl.h"
#include "indent/KeptStretches.h"
#include "indent/PageCuts.h"
#include "indent/PagePlan.h"
#include "indent/PlanExecutor.h"
#include "text/StringUtil.h"
#include "threads/ThreadPool.h"

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

// Gives a text's memory back. Assigning an empty string would not: the
// string keeps its buffer, and a string moved from may hold another's.
void Free(std::string& text) { std::string().swap(text); }

// 1-based line of a 1-based position (a position past the end counts as the end).
std::size_t LineAt(std::string_view text, Pos position) {
  const std::size_t end = std::min(position == 0 ? 0 : position - 1, text.size());
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

// Whether the text holds a NUL byte, looked for side by side when it is large.
bool HoldsNulByte(std::string_view text, unsigned threads) {
  const std::vector<std::size_t> cuts = LineAlignedCuts(text, PassSharing{.threads = threads}.PiecesFor(text.size()));
  std::vector<char> nul(cuts.size(), 0);  // not vector<bool>: written side by side
  RunSideBySide(cuts.size(), threads, [&](std::size_t k) {
    const std::size_t end = k + 1 < cuts.size() ? cuts[k + 1] : text.size();
    nul[k] = text.substr(cuts[k], end - cuts[k]).find('\0') != std::string_view::npos;
  });
  return std::find(nul.begin(), nul.end(), 1) != nul.end();
}

// ---- Plans ------------------------------------------------------------------

// The parts a text of `size` bytes is cut into for these options.
std::size_t PartsWanted(std::size_t size, const PipelineOptions& options) {
  return PartsFor(size, PassSharing{.threads = options.Threads}, options.CutPartBytes);
}

PagePlan PlanFor(const PipelineOptions& options) {
  PagePlan plan;
  plan.indentType = LevelIndentOf(options.IndentType);
  plan.threads = std::max(options.Threads, 1u);
  return plan;
}

// The input passes of a file after its conversion. The tag-case pass is
// planned in; LookAtParts leaves it out when the page does not want it.
void PlanFilePasses(PagePlan& plan, const PipelineOptions& options, bool throughLocal, bool keepOrg) {
  plan.passes = {PlanPass::kNormaliseCase, PlanPass::kRewriteCharsetDecl};
  if (keepOrg) plan.orgAfter = plan.passes.size();
  if (!throughLocal) return;
  // With DontPreprocessing the file keeps its own lines: no breaking pass.
  if (!options.DontPreprocessing) plan.passes.push_back(PlanPass::kBreakFull);
  plan.passes.push_back(PlanPass::kAdjust);
  plan.keepLocal = true;
}

// What the plan needs to know of its parts, looked at side by side: whether
// the tag case is normalised (the markers hold no line break, so a part
// holds one exactly where the text does), which part is the last that may
// hold a charset declaration, and whether one holds a NUL byte.
struct PartFacts {
  bool holdsNul = false;
};

PartFacts LookAtParts(PagePlan& plan, const PipelineOptions& options, bool pasted, bool lookForNul) {
  const std::size_t count = plan.PartCount();
  std::vector<char> nul(count, 0), wants(count, 0), mayDeclare(count, 0);  // not vector<bool>: written side by side
  const bool caseAsked = std::find(plan.passes.begin(), plan.passes.end(), PlanPass::kNormaliseCase) != plan.passes.end();
  const bool declarations =
      std::find(plan.passes.begin(), plan.passes.end(), PlanPass::kRewriteCharsetDecl) != plan.passes.end();
  // Conversion neither makes nor breaks a tag-case marker or a charset
  // declaration: a page converted part by part is looked at as loaded.
  RunSideBySide(count, plan.threads, [&](std::size_t k) {
    const std::string_view part = plan.Part(k);
    nul[k] = lookForNul && part.find('\0') != std::string_view::npos;
    wants[k] = caseAsked && WantsTagCaseNormalisation(part, pasted, options);
    mayDeclare[k] = declarations && k > 0 && MayHoldCharsetDecl(part);
  });
  if (caseAsked && std::find(wants.begin(), wants.end(), 1) == wants.end()) {
    std::erase(plan.passes, PlanPass::kNormaliseCase);
    if (plan.orgAfter) --*plan.orgAfter;  // the Org text is one pass earlier
  }
  for (std::size_t k = count; k-- > 1;) {
    if (!mayDeclare[k]) continue;
    MergeFirstParts(plan, k + 1);
    break;
  }
  return {std::find(nul.begin(), nul.end(), 1) != nul.end()};
}

// ---- Files --------------------------------------------------------------------

// A loaded file converted to Shift_JIS as a whole.
struct ConvertedFile {
  std::string text;
  CharCodeIndex detectedCode = 0;
  CharCodeIndex readAs = 0;
  ConversionLoss loss;
  std::size_t lossLine = 0;
};

// Blank lines dropped, the declared code read, converted. `release()` is
// called once the loaded bytes are no longer read, so that their memory can
// go (or be kept) right then.
template <typename Release>
ConvertedFile ConvertWhole(std::string_view native, const PipelineOptions& options, Release release) {
  ConvertedFile file;
  std::string text = RemoveBlankLines(native);
  release();
  file.detectedCode = GetCharCodeFromMeta(text);
  Converted converted;
  if (options.OpenCharset == OpenCharset::kAutomatic) {
    AutoConversion automatic = ConvertAutomatically(text, options.UnmappableAs);
    converted = std::move(automatic.result);
    file.readAs = automatic.readAs;
  } else {
    converted = AnyCodeToShiftJIS(text, CharCodeOf(options.OpenCharset), options.UnmappableAs);
    file.readAs = CharCodeOf(options.OpenCharset);
  }
  Free(text);
  file.loss = converted.loss;
  file.text = std::move(converted.text);
  // The position is one of the converted text; tag case and the charset
  // declaration move bytes but keep lines.
  if (file.loss.any()) file.lossLine = LineAt(file.text, file.loss.firstPos);
  return file;
}

// With the <pre> and <textarea> stretches kept: blank lines and runs of
// line ends inside them are what the page shows, so the text is converted
// with its line ends as they are; the blank lines outside the stretches go
// once they are set aside (SetAsideFile).
template <typename Release>
ConvertedFile ConvertKeepingLineEnds(std::string_view native, const PipelineOptions& options, Release release) {
  ConvertedFile file;
  file.detectedCode = GetCharCodeFromMeta(native);
  Converted converted;
  if (options.OpenCharset == OpenCharset::kAutomatic) {
    AutoConversion automatic = ConvertAutomatically(native, options.UnmappableAs, LineEnds::Keep);
    converted = std::move(automatic.result);
    file.readAs = automatic.readAs;
  } else {
    converted = AnyCodeToShiftJIS(native, CharCodeOf(options.OpenCharset), options.UnmappableAs, LineEnds::Keep);
    file.readAs = CharCodeOf(options.OpenCharset);
  }
  release();
  file.loss = converted.loss;
  file.text = std::move(converted.text);
  // The line of a loss is one of the page, blank lines counted.
  if (file.loss.any()) {
    const std::string before = NormalizeLineEnds(std::string_view(file.text).substr(0, file.loss.firstPos - 1));
    file.lossLine = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
  }
  return file;
}

// The file input stage with the stretches kept: they are set aside around
// the passes.
template <typename Release>
FileInputTexts KeptStretchesFileInput(std::string_view native, const PipelineOptions& options,
                                      WantedInputTexts wanted, Release release) {
  FileInputTexts texts;
  ConvertedFile file = ConvertKeepingLineEnds(native, options, [&] { release(texts); });
  texts.DetectedCode = file.detectedCode;
  texts.ReadAs = file.readAs;
  texts.loss = file.loss;
  texts.lossLine = file.lossLine;
  SetAside aside = SetStretchesAside(NormalizeLineEnds(file.text));
  Free(file.text);
  PagePlan plan = PlanFor(options);
  plan.owned = RemoveBlankLines(aside.text);
  Free(aside.text);
  PlanFilePasses(plan, options, wanted.Local, wanted.Org || wanted.RefOrg);
  CutPlan(plan, PartsWanted(plan.Text().size(), options));
  LookAtParts(plan, options, /*pasted=*/false, /*lookForNul=*/false);
  PlanTexts planned = ExecutePlan(std::move(plan));
  if (wanted.RefOrg) texts.RefOrg = PutStretchesBack(planned.org, aside);
  if (wanted.Local) texts.Local = PutStretchesBack(planned.local, aside);
  if (wanted.Org) texts.Org = PutStretchesBack(planned.org, aside);
  return texts;
}

// A file's plan after its conversion, with what the conversion found.
struct FilePlan {
  PagePlan plan;
  CharCodeIndex detectedCode = 0;
  CharCodeIndex readAs = 0;
  ConversionLoss loss;
  std::size_t lossLine = 0;
  bool holdsNul = false;  // refused: nothing else is set
};

// The plan of a loaded file (not with kept stretches) whose passes are
// planned: a large page the automatic mode reads as Shift_JIS is converted
// part by part when its passes run, so that it is never held converted as
// a whole; any other is converted whole first. `release()` is called once
// the plan no longer reads the loaded bytes when the file is converted
// whole; a plan that converts part by part reads them as it runs
// (`readsLoaded`). With `refuseNul`, a page that holds a NUL byte is
// refused (FilePlan::holdsNul).
template <typename Release>
FilePlan PlanFile(std::string_view native, PagePlan plan, const PipelineOptions& options, bool refuseNul,
                  Release release, bool& readsLoaded) {
  FilePlan file;
  readsLoaded = false;
  const std::size_t parts = PartsWanted(native.size(), options);
  plan.text = native;
  if (options.OpenCharset == OpenCharset::kAutomatic && PlanShiftJisPage(plan, parts)) {
    file.holdsNul = LookAtParts(plan, options, /*pasted=*/false, refuseNul).holdsNul;
    file.readAs = kCharCodeShiftJis;  // and a page kept as Shift_JIS lost no character
    file.plan = std::move(plan);
    readsLoaded = true;
    return file;
  }
  if (refuseNul && HoldsNulByte(native, options.Threads)) {
    file.holdsNul = true;
    return file;
  }
  ConvertedFile converted = ConvertWhole(native, options, release);
  file.detectedCode = converted.detectedCode;
  file.readAs = converted.readAs;
  file.loss = converted.loss;
  file.lossLine = converted.lossLine;
  plan.text = {};
  plan.owned = std::move(converted.text);
  CutPlan(plan, PartsWanted(plan.Text().size(), options));
  LookAtParts(plan, options, /*pasted=*/false, /*lookForNul=*/false);
  file.plan = std::move(plan);
  return file;
}

// The code a file declares, once its plan has run.
CharCodeIndex DeclaredCode(const FilePlan& file, const std::optional<ShiftJisPageParts>& page,
                           const PlanTexts& texts) {
  return page ? page->Declared(texts.labels) : file.detectedCode;
}

}  // namespace

std::optional<IndentType> IndentTypeFromValue(int value) {
  if (value < LevelIndentOf(IndentType::kTwoSpaces) || value > LevelIndentOf(IndentType::kFlushLeft)) return std::nullopt;
  return static_cast<IndentType>(value);
}

std::optional<OpenCharset> OpenCharsetFromValue(int value) {
  if (value < CharCodeOf(OpenCharset::kAutomatic) || value > CharCodeOf(OpenCharset::kUtf8N)) return std::nullopt;
  return static_cast<OpenCharset>(value);
}

FileInputTexts FileInputStage(std::string_view native, const PipelineOptions& options) {
  return FileInputStage(std::string(native), options, WantedInputTexts{});
}

FileInputTexts FileInputStage(std::string native, const PipelineOptions& options, WantedInputTexts wanted) {
  auto keepNative = [&](FileInputTexts& texts) {
    if (wanted.Native) texts.Native = std::move(native);
    Free(native);
  };
  if (options.KeepPre) return KeptStretchesFileInput(native, options, wanted, keepNative);
  FileInputTexts texts;
  auto release = [&] { keepNative(texts); };
  PagePlan plan = PlanFor(options);
  PlanFilePasses(plan, options, wanted.Local, wanted.Org || wanted.RefOrg);
  bool readsLoaded = false;
  FilePlan file = PlanFile(native, std::move(plan), options, /*refuseNul=*/false, release, readsLoaded);
  const std::optional<ShiftJisPageParts> page = file.plan.page;
  PlanTexts planned = ExecutePlan(std::move(file.plan));
  if (readsLoaded) release();
  texts.DetectedCode = DeclaredCode(file, page, planned);
  texts.ReadAs = file.readAs;
  texts.loss = file.loss;
  texts.lossLine = file.lossLine;
  if (wanted.RefOrg) texts.RefOrg = planned.org;
  if (wanted.Org) texts.Org = std::move(planned.org);
  texts.Local = std::move(planned.local);
  return texts;
}

namespace {

template <typename Release>
IndentedFileTexts FileToResult(std::string_view native, const PipelineOptions& options, Release release) {
  IndentedFileTexts texts;
  if (options.KeepPre) {
    if (options.RefuseNulBytes && HoldsNulByte(native, options.Threads)) {
      texts.HoldsNul = true;
      return texts;
    }
    // The kept stretches are set aside in each stage.
    WantedInputTexts localOnly;
    localOnly.Native = localOnly.Org = localOnly.RefOrg = false;
    const FileInputTexts input =
        KeptStretchesFileInput(native, options, localOnly, [&](FileInputTexts&) { release(); });
    texts.Result = IndentStage(input.Local, options, WantedIndentTexts::Result).Result;
    texts.DetectedCode = input.DetectedCode;
    texts.ReadAs = input.ReadAs;
    texts.loss = input.loss;
    texts.lossLine = input.lossLine;
    return texts;
  }
  PagePlan plan = PlanFor(options);
  PlanFilePasses(plan, options, /*throughLocal=*/true, /*keepOrg=*/false);
  plan.keepLocal = false;
  plan.levels = PlanLevels::kResult;
  plan.joinDivComments = options.DivCommentConcat;
  plan.join = options.ResultInPieces ? PlanJoin::kPieces : PlanJoin::kWhole;
  bool readsLoaded = false;
  FilePlan file = PlanFile(native, std::move(plan), options, options.RefuseNulBytes, release, readsLoaded);
  if (file.holdsNul) {
    texts.HoldsNul = true;
    return texts;
  }
  const std::optional<ShiftJisPageParts> page = file.plan.page;
  PlanTexts planned = ExecutePlan(std::move(file.plan));
  if (readsLoaded) release();
  texts.Result = std::move(planned.result);
  texts.ResultPieces = std::move(planned.pieces);
  texts.DetectedCode = DeclaredCode(file, page, planned);
  texts.ReadAs = file.readAs;
  texts.loss = file.loss;
  texts.lossLine = file.lossLine;
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
  PagePlan plan = PlanFor(options);
  plan.text = aside.any() ? std::string_view(aside.text) : text;
  // The tag case is decided on the text as pasted: the rewriting of charset
  // declarations before it neither makes nor breaks a marker (it changes
  // only what follows "charset=" or "encoding=", which holds no "<").
  plan.passes = {PlanPass::kRewriteCharsetDecl, PlanPass::kNormaliseCase, PlanPass::kDropBlankLines};
  plan.orgAfter = plan.passes.size();
  plan.passes.push_back(options.DontPreprocessing ? PlanPass::kBreakLight : PlanPass::kBreakFull);
  plan.passes.push_back(PlanPass::kAdjust);
  plan.keepLocal = true;
  CutPlan(plan, PartsWanted(plan.Text().size(), options));
  LookAtParts(plan, options, /*pasted=*/true, /*lookForNul=*/false);
  PlanTexts planned = ExecutePlan(std::move(plan));
  texts.Org = PutStretchesBack(planned.org, aside);
  texts.RefOrg = texts.Org;
  texts.Local = PutStretchesBack(planned.local, aside);
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
  PagePlan plan = PlanFor(options);
  plan.text = local;
  switch (wanted) {
    case WantedIndentTexts::WorkAndResult: plan.levels = PlanLevels::kWorkAndResult; break;
    case WantedIndentTexts::Work: plan.levels = PlanLevels::kWork; break;
    case WantedIndentTexts::Result: plan.levels = PlanLevels::kResult; break;
  }
  plan.joinDivComments = options.DivCommentConcat;
  CutPlan(plan, PartsWanted(local.size(), options));
  PlanTexts planned = ExecutePlan(std::move(plan));
  texts.Work = std::move(planned.work);
  texts.Result = std::move(planned.result);
  return texts;
}

void IndentStageInPieces(std::string_view local, const PipelineOptions& options, std::size_t partBytes,
                         const std::function<void(std::string_view)>& take) {
  PagePlan plan = PlanFor(options);
  plan.text = local;
  plan.levels = PlanLevels::kResult;
  CutPlan(plan, PartsFor(local.size(), PassSharing{.threads = options.Threads}, partBytes));
  ExecutePlan(std::move(plan), take);
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
  PagePlan plan = PlanFor(options);
  plan.text = innerHtml;
  plan.passes = {options.DontPreprocessing ? PlanPass::kBreakLight : PlanPass::kBreakFull, PlanPass::kAdjust};
  // As in the indent stage, a line the level pass leaves unmarked keeps its
  // text even when it starts like a marker.
  plan.levels = keepLevelMarkers ? PlanLevels::kWork : PlanLevels::kResult;
  CutPlan(plan, PartsWanted(innerHtml.size(), options));
  PlanTexts planned = ExecutePlan(std::move(plan));
  return keepLevelMarkers ? std::move(planned.work) : std::move(planned.result);
}

std::string DoInnerTextTMLGo(std::string_view text) {
  if (text.empty()) return {};
  PagePlan plan;
  plan.text = text;
  plan.passes = {PlanPass::kAdjust};
  plan.keepLocal = true;
  return ExecutePlan(std::move(plan)).local;
}

}  // namespace zelm
