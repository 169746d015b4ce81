#include "app/cli/IndentJob.h"

#include <algorithm>
#include <filesystem>
#include <thread>

#include "app/cli/MemoryPolicy.h"
#include "encoding/CharCode.h"
#include "encoding/Utf8Convert.h"
#include "indent/ContentCheck.h"
#include "indent/KeptStretches.h"
#include "text/FileIO.h"
#include "text/StringUtil.h"
#include "threads/ThreadPool.h"

namespace zelm::cli {
namespace {

std::string Quoted(std::string_view line) {
  constexpr std::size_t kShown = 60;
  std::string quoted = "\"";
  quoted += line.substr(0, kShown);
  quoted += line.size() > kShown ? "...\"" : "\"";
  return quoted;
}

JobOutcome Failed(JobOutcome outcome, std::string message) {
  outcome.ok = false;
  outcome.message = std::move(message);
  return outcome;
}

std::string TooDeep(const IndentationTooLarge& error) {
  return std::string(error.what()) + "; '--indent none' indents it flush left";
}

// Checks that the Result keeps the Local text's content, part by part: each
// piece of the Result is checked as soon as it is made and dropped, so that
// the whole Result is never held beside the Local text. (The join of
// "</div>" with a following comment, when asked, is one the check takes
// either way.) The texts are Shift_JIS, so the lines are shown as UTF-8 for
// the terminal.
//
// With the <pre> and <textarea> stretches kept, the Result is made whole
// (the stretches are set aside around the level pass), and each stretch of
// the converted page (`org`) must stand in it unchanged.
void Verify(JobOutcome& outcome, std::string local, std::string_view org, const PipelineOptions& options) {
  std::optional<ContentDifference> difference;
  if (options.KeepPre) {
    const std::string result = IndentStage(local, options, WantedIndentTexts::Result).Result;
    difference = FindContentDifference(local, result, options.DivCommentConcat);
    const std::vector<std::string_view> kept = FindKeptStretches(org);
    const std::optional<std::size_t> missing = FirstStretchMissing(result, kept);
    if (!difference && missing) {
      outcome.ok = false;
      outcome.message = "content changed: kept stretch " + std::to_string(*missing + 1) + " of " +
                        std::to_string(kept.size()) + " (<pre> or <textarea>) is not in the result as it was";
      return;
    }
  } else {
    constexpr std::size_t kPartBytes = std::size_t{1} << 20;
    ContentComparison comparison(local, options.DivCommentConcat);
    IndentStageInPieces(local, options, kPartBytes, [&](std::string_view piece) { comparison.Feed(piece); });
    difference = comparison.Finish();
  }
  if (!difference) {
    outcome.verified = "content preserved (" + std::to_string(LineOfPosition(local, local.size())) + " lines)";
    return;
  }
  outcome.ok = false;
  const std::string expected = SjisToUtf8(difference->expected).text;
  const std::string actual = SjisToUtf8(difference->actual).text;
  if (difference->localLine == 0) {
    outcome.message = "content changed: the result has an extra line " + std::to_string(difference->resultLine) +
                      " " + Quoted(actual);
  } else if (difference->resultLine == 0) {
    outcome.message = "content changed: line " + std::to_string(difference->localLine) +
                      " of the prepared text is missing from the result: " + Quoted(expected);
  } else {
    outcome.message = "content changed: line " + std::to_string(difference->localLine) +
                      " of the prepared text " + Quoted(expected) + " is line " +
                      std::to_string(difference->resultLine) + " of the result as " + Quoted(actual);
  }
}

// Encodes the emitted Shift_JIS text for output.
void EncodeOutput(JobOutcome& outcome, std::string text, CharCodeIndex encoding, Unmappable unmappable) {
  EncodedText encoded = EncodeForSaving(std::move(text), encoding, unmappable);
  Report(outcome, encoded.loss);
  outcome.pieces.clear();
  outcome.pieces.push_back(std::move(encoded.text));
}

// Picks the emitted text, runs the indent stage when it is needed, and
// encodes the text for output. The texts are taken over: each is freed as
// soon as what is made from it is there.
void Emit(JobOutcome& outcome, std::string local, std::string org, const IndentJobOptions& options,
          CharCodeIndex encoding) {
  if (options.verify) {
    Verify(outcome, std::move(local), org, options.pipeline);
    return;
  }
  std::string text;
  switch (options.emit) {
    case EmitText::Native: return;  // set by the caller: no conversion
    case EmitText::Org: text = std::move(org); break;
    case EmitText::Local: text = std::move(local); break;
    case EmitText::Work: text = IndentStage(local, options.pipeline, WantedIndentTexts::Work).Work; break;
    case EmitText::Result: text = IndentStage(local, options.pipeline, WantedIndentTexts::Result).Result; break;
  }
  std::string().swap(local);  // gives the memory back before the output is made
  EncodeOutput(outcome, std::move(text), encoding, options.pipeline.UnmappableAs);
}

// The texts of the file input stage the job writes or checks.
WantedInputTexts WantedFor(const IndentJobOptions& options) {
  WantedInputTexts wanted;
  wanted.Native = false;
  wanted.RefOrg = false;
  // --verify with kept stretches checks them against the converted page.
  wanted.Org = (options.verify && options.pipeline.KeepPre) || (!options.verify && options.emit == EmitText::Org);
  wanted.Local = options.verify || !wanted.Org;
  return wanted;
}

// The pieces joined into one text, each freed once copied; none are left.
std::string JoinedPieces(std::vector<std::string>& pieces) {
  std::size_t size = 0;
  for (const std::string& piece : pieces) size += piece.size();
  std::string joined;
  joined.reserve(size);
  for (std::string& piece : pieces) {
    joined += piece;
    std::string().swap(piece);
  }
  pieces.clear();
  return joined;
}

// The usual job: both stages at once, only the Result kept.
JobOutcome IndentToResult(JobOutcome outcome, const std::string& path, const IndentJobOptions& options,
                          const PageReadOptions& read) {
  IndentedPage indented;
  try {
    indented = IndentPageFile(path, options.pipeline, read);
  } catch (const IndentationTooLarge& error) {
    return Failed(std::move(outcome), TooDeep(error));
  }
  if (!indented.ok()) return Failed(std::move(outcome), indented.error->Describe());
  outcome.read = indented.identity;
  Report(outcome, indented.loss);
  const CharCodeIndex encoding = SaveEncodingFor(options.outputCharset, indented.DetectedCode, indented.ReadAs);
  outcome.readAs = indented.ReadAs;
  outcome.written = encoding;
  if (encoding == kCharCodeShiftJis) {
    outcome.pieces = std::move(indented.result);  // written as they are
    return outcome;
  }
  EncodeOutput(outcome, JoinedPieces(indented.result), encoding, options.pipeline.UnmappableAs);
  return outcome;
}

// Before a large page is read: its memory comes in large pages, and the
// threads that share its passes wake and the passes' tables are built
// while it is read. The thread returned builds the tables.
std::jthread PrepareForLargePage(std::uintmax_t size, const IndentJobOptions& options) {
  constexpr std::uintmax_t kLargePage = std::uintmax_t{2} << 20, kLargestPrepared = std::uintmax_t{1} << 28;
  std::jthread preparing;
  if (size >= kLargePage) {
    // The texts of all passes together take up to about four times the
    // page. Before any other thread takes memory.
    PrepareHeapInLargePages(static_cast<std::size_t>(std::min(size, kLargestPrepared)) * 4);
    if (options.pipeline.Threads > 1) {
      StartKeptThreads(options.pipeline.Threads - 1);
      preparing = std::jthread(PreparePassTables);
    }
  }
  return preparing;
}

// What reading a page's bytes brought: the characters lost on the way to
// Shift_JIS, the encoding read and the one to write. `Texts` is the file
// input stage's or the whole file stage's.
template <typename Texts>
void ReportInput(JobOutcome& outcome, const Texts& texts, const IndentJobOptions& options) {
  LossReport loss;
  static_cast<ConversionLoss&>(loss) = texts.loss;
  loss.line = texts.lossLine;
  Report(outcome, loss);
  outcome.readAs = texts.ReadAs;
  outcome.written = SaveEncodingFor(options.outputCharset, texts.DetectedCode, texts.ReadAs);
}

}  // namespace

void Report(JobOutcome& outcome, const LossReport& loss) {
  if (loss.any()) {
    outcome.lossy = true;
    outcome.warnings.push_back(loss.Describe());
  }
  if (loss.referenced != 0)
    outcome.notes.push_back(std::to_string(loss.referenced) + " character" + (loss.referenced == 1 ? "" : "s") +
                            " without an exact form written as numeric character references (&#N;)");
}

JobOutcome IndentShiftJisText(JobOutcome outcome, std::string_view text, CharCodeIndex encoding,
                              const IndentJobOptions& options) {
  PasteInputTexts input = PasteInputStage(text, options.pipeline);
  try {
    Emit(outcome, std::move(input.Local), std::move(input.Org), options, encoding);
  } catch (const IndentationTooLarge& error) {
    return Failed(std::move(outcome), TooDeep(error));
  }
  return outcome;
}

JobOutcome IndentFile(const std::string& path, const IndentJobOptions& options) {
  JobOutcome outcome;
  std::error_code sizeUnknown;
  const std::uintmax_t size = std::filesystem::file_size(path, sizeUnknown);
  std::jthread preparing;
  if (!sizeUnknown) preparing = PrepareForLargePage(size, options);
  PageReadOptions read;
  read.unchangedSince = options.unchangedSince;
  if (options.emit == EmitText::Result && !options.verify) return IndentToResult(std::move(outcome), path, options, read);

  if (options.emit == EmitText::Native) {
    TextFileRead file = ReadTextFile(path, read);
    if (!file.ok()) return Failed(std::move(outcome), file.error->Describe());
    outcome.read = file.identity;
    outcome.pieces.push_back(NormalizeLineEnds(file.bytes));
    return outcome;
  }
  LoadedPage page = LoadPageFile(path, options.pipeline, WantedFor(options), read);
  if (!page.ok()) return Failed(std::move(outcome), page.error->Describe());
  outcome.read = page.identity;
  Report(outcome, page.loss);
  const CharCodeIndex encoding = SaveEncodingFor(options.outputCharset, page.texts.DetectedCode, page.texts.ReadAs);
  try {
    Emit(outcome, std::move(page.texts.Local), std::move(page.texts.Org), options, encoding);
  } catch (const IndentationTooLarge& error) {
    return Failed(std::move(outcome), TooDeep(error));
  }
  return outcome;
}

JobOutcome IndentPageBytes(std::string_view page, const IndentJobOptions& options) {
  JobOutcome outcome;
  if (page.empty()) return Failed(std::move(outcome), "the page is empty: nothing to indent");
  std::jthread preparing = PrepareForLargePage(page.size(), options);
  constexpr std::string_view kBinary = "binary text (it holds NUL bytes): nothing to indent";
  const bool straightToResult = options.emit == EmitText::Result && !options.verify;
  // The straight road looks for NUL bytes in the pass that first reads the
  // page's parts; the others before they start.
  if (!straightToResult && page.find('\0') != std::string_view::npos) return Failed(std::move(outcome), std::string(kBinary));
  if (options.emit == EmitText::Native) {
    outcome.pieces.push_back(NormalizeLineEnds(page));
    return outcome;
  }
  try {
    if (straightToResult) {
      PipelineOptions pipeline = options.pipeline;
      pipeline.ResultInPieces = true;
      pipeline.RefuseNulBytes = true;
      IndentedFileTexts indented = FileToResultStage(page, pipeline);
      if (indented.HoldsNul) return Failed(std::move(outcome), std::string(kBinary));
      ReportInput(outcome, indented, options);
      if (indented.ResultPieces.empty()) indented.ResultPieces.push_back(std::move(indented.Result));
      if (outcome.written == kCharCodeShiftJis) outcome.pieces = std::move(indented.ResultPieces);
      else EncodeOutput(outcome, JoinedPieces(indented.ResultPieces), outcome.written, options.pipeline.UnmappableAs);
      return outcome;
    }
    FileInputTexts texts = FileInputStage(std::string(page), options.pipeline, WantedFor(options));
    ReportInput(outcome, texts, options);
    Emit(outcome, std::move(texts.Local), std::move(texts.Org), options, outcome.written);
  } catch (const IndentationTooLarge& error) {
    return Failed(std::move(outcome), TooDeep(error));
  } catch (const EncodingError& error) {  // the system cannot convert at all
    return Failed(std::move(outcome), std::string("cannot convert the text: ") + error.what());
  }
  return outcome;
}

JobOutcome IndentPastedText(std::string_view text, const IndentJobOptions& options) {
  JobOutcome outcome;
  if (text.find('\0') != std::string_view::npos)
    return Failed(std::move(outcome), "the pasted text holds NUL bytes (binary): nothing to indent");
  if (!IsAcceptablePaste(text)) return Failed(std::move(outcome), "the pasted text has no <body> tag: nothing to indent");
  if (options.emit == EmitText::Native) {
    outcome.pieces.emplace_back(text);
    return outcome;
  }
  const CharCodeIndex encoding = SaveEncodingFor(options.outputCharset, kCharCodeShiftJis, kCharCodeShiftJis);
  return IndentShiftJisText(std::move(outcome), text, encoding, options);
}

void WriteOutcome(JobOutcome& outcome, const std::string& target, bool inPlace, bool force) {
  const bool empty = std::all_of(outcome.pieces.begin(), outcome.pieces.end(),
                                 [](const std::string& piece) { return piece.empty(); });
  if (empty) {
    outcome.ok = false;
    outcome.message = "the result is empty: nothing written";
    return;
  }
  if (inPlace && outcome.lossy && !force) {
    outcome.ok = false;
    outcome.message = "not written in place, since characters would be lost or changed (use --force to write anyway)";
    return;
  }
  const std::vector<std::string_view> pieces(outcome.pieces.begin(), outcome.pieces.end());
  SaveOutcome saved;
  if (inPlace) {
    SaveOptions save;
    save.expected = outcome.read;
    saved = SaveWithBackup(pieces, target, save);
    if (saved.ok() && saved.otherNames != 0) outcome.warnings.push_back(OtherNamesWarning(saved.otherNames));
  } else {
    saved = SaveOutputFile(pieces, target);
  }
  if (!saved.ok()) {
    outcome.ok = false;
    outcome.message = saved.error->Describe();
  }
}

std::string WithHtmlExtensionIfNew(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored) ? path : WithHtmlExtension(path);
}

std::string OtherNamesWarning(std::size_t otherNames) {
  return "the file had " + std::to_string(otherNames) + " other name" + (otherNames == 1 ? "" : "s") +
         " (hard links), which keep the old text; it is now a file of its own";
}

}  // namespace zelm::cli
