#include "app/cli/IndentJob.h"

#include <algorithm>
#include <filesystem>
#include <thread>

#include "app/cli/MemoryPolicy.h"
#include "encoding/CharCode.h"
#include "encoding/Utf8Convert.h"
#include "indent/ContentCheck.h"
#include "indent/HTMLAdjustText.h"
#include "text/FileIO.h"
#include "text/Parallel.h"
#include "text/StringUtil.h"

namespace zelm::cli {
namespace {

std::string LossWarning(const ConversionLoss& loss, std::size_t line, std::string_view what) {
  return std::to_string(loss.count) + " character" + (loss.count == 1 ? "" : "s") + " " + std::string(what) +
         " and became '?' (the first on line " + std::to_string(line) + ")";
}

std::string_view EncodingName(CharCodeIndex code) {
  switch (code) {
    case kCharCodeEucJp: return "EUC-JP";
    case kCharCodeUtf8:
    case kCharCodeUtf8N: return "UTF-8";
    case kCharCodeIso2022Jp: return "ISO-2022-JP";
    default: return "Shift_JIS";
  }
}

std::string Quoted(std::string_view line) {
  constexpr std::size_t kShown = 60;
  std::string quoted = "\"";
  quoted += line.substr(0, kShown);
  quoted += line.size() > kShown ? "...\"" : "\"";
  return quoted;
}

// Checks that the Result keeps the Local text's content; the texts are
// Shift_JIS, so the lines are shown as UTF-8 for the terminal.
void Verify(JobOutcome& outcome, const std::string& local, const PipelineOptions& options) {
  const IndentTexts indented = IndentStage(local, options, WantedIndentTexts::Result);
  const auto difference = FindContentDifference(local, indented.Result, options.DivCommentConcat);
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

void EncodeOutput(JobOutcome& outcome, std::string text, CharCodeIndex encoding);

// Picks the emitted text, runs the indent stage when it is needed, and
// encodes the text for output. The texts are taken over: each is freed as
// soon as what is made from it is there.
void Emit(JobOutcome& outcome, std::string local, std::string org, const IndentJobOptions& options,
          CharCodeIndex encoding) {
  if (options.verify) {
    Verify(outcome, local, options.pipeline);
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
  EncodeOutput(outcome, std::move(text), encoding);
}

// Encodes the emitted text for output.
void EncodeOutput(JobOutcome& outcome, std::string text, CharCodeIndex encoding) {
  Converted encoded = EncodeForSaving(std::move(text), encoding);
  if (encoded.loss.any()) {
    outcome.lossy = true;
    outcome.warnings.push_back(LossWarning(encoded.loss, LineOfPosition(encoded.text, encoded.loss.firstPos),
                                           "have no " + std::string(EncodingName(encoding)) + " form"));
  }
  outcome.bytes = std::move(encoded.text);
}

// The texts of the file input stage the job writes or checks.
WantedInputTexts WantedFor(const IndentJobOptions& options) {
  WantedInputTexts wanted;
  wanted.Native = false;
  wanted.RefOrg = false;
  wanted.Org = !options.verify && options.emit == EmitText::Org;
  wanted.Local = !wanted.Org;
  return wanted;
}

}  // namespace

std::size_t LineOfPosition(std::string_view text, std::size_t position) {
  const std::size_t end = std::min(position == 0 ? 0 : position - 1, text.size());
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + end, '\n'));
}

namespace {

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

constexpr std::string_view kBinaryFile = "binary file (it holds NUL bytes): skipped";

// Why bytes read from a file are no page to indent, if they are not.
std::optional<std::string> WhyNotAPage(std::string_view bytes) {
  if (bytes.empty()) return "the file is empty: nothing to indent";
  if (HoldsNulByte(bytes, 1)) return std::string(kBinaryFile);
  return std::nullopt;
}

// The usual job: both stages at once, only the Result kept.
// `bytes` is the page's own text (std::string) or a view of a mapped file;
// with `lookForNul`, the stage refuses bytes that hold a NUL byte (it looks
// for them in a pass it makes anyway).
template <typename Bytes>
JobOutcome IndentToResult(JobOutcome outcome, Bytes bytes, const IndentJobOptions& options, bool lookForNul = false) {
  IndentedFileTexts indented;
  PipelineOptions pipeline = options.pipeline;
  pipeline.ResultInPieces = true;
  pipeline.RefuseNulBytes = lookForNul;
  try {
    indented = FileToResultStage(std::move(bytes), pipeline);
  } catch (const IndentationTooLarge& error) {
    outcome.ok = false;
    outcome.message = std::string(error.what()) + "; '--indent none' indents it flush left";
    return outcome;
  } catch (const std::exception& error) {  // the system cannot convert at all
    outcome.ok = false;
    outcome.message = std::string("cannot convert the text: ") + error.what();
    return outcome;
  }
  if (indented.HoldsNul) {
    outcome.ok = false;
    outcome.message = kBinaryFile;
    return outcome;
  }
  if (indented.loss.any()) {
    outcome.lossy = true;
    outcome.warnings.push_back(LossWarning(indented.loss, indented.lossLine, "have no Shift_JIS form"));
  }
  const CharCodeIndex encoding = SaveEncodingFor(options.outputCharset, indented.DetectedCode, indented.ReadAs);
  if (!indented.ResultPieces.empty() && encoding == kCharCodeShiftJis) {
    outcome.pieces = std::move(indented.ResultPieces);  // written as they are
    return outcome;
  }
  if (!indented.ResultPieces.empty()) indented.Result = JoinedPieces(indented.ResultPieces);
  EncodeOutput(outcome, std::move(indented.Result), encoding);
  return outcome;
}

}  // namespace

JobOutcome IndentFile(const std::string& path, const IndentJobOptions& options) {
  JobOutcome outcome;
  auto fail = [&](std::string message) {
    outcome.ok = false;
    outcome.message = std::move(message);
    return std::move(outcome);
  };
  constexpr std::uintmax_t kLargePage = std::uintmax_t{2} << 20, kLargestPrepared = std::uintmax_t{1} << 28;
  std::error_code sizeUnknown;
  const std::uintmax_t size = std::filesystem::file_size(path, sizeUnknown);
  std::jthread preparing;
  if (!sizeUnknown && size >= kLargePage) {
    // The texts of all passes together take up to about four times the
    // page. Before any other thread takes memory.
    PrepareHeapInLargePages(static_cast<std::size_t>(std::min(size, kLargestPrepared)) * 4);
    // The threads that share the passes wake, and the passes' tables are
    // built, while the page is read.
    if (options.pipeline.Threads > 1) {
      StartKeptThreads(options.pipeline.Threads - 1);
      preparing = std::jthread(PreparePassTables);
    }
  }
  const bool resultOnly = options.emit == EmitText::Result && !options.verify && !options.keepOriginal;
  if (resultOnly && !sizeUnknown && size >= kLargePage) {
    // A large page is read through a mapping, without a copy.
    if (const std::optional<MappedFile> mapped = MappedFile::Map(path)) {
      if (mapped->bytes().empty()) return fail("the file is empty: nothing to indent");
      return IndentToResult(std::move(outcome), mapped->bytes(), options, /*lookForNul=*/true);
    }
  }
  FileReadResult read = ReadFileBytes(path);
  switch (read.status) {
    case FileReadResult::Status::Ok: break;
    case FileReadResult::Status::NotFound: return fail("no such file");
    case FileReadResult::Status::NotAFile: return fail(read.error + ", not a page");
    case FileReadResult::Status::Unreadable: return fail("cannot read the file: " + read.error);
  }
  if (auto reason = WhyNotAPage(read.bytes)) return fail(*reason);

  if (options.emit == EmitText::Native) {
    outcome.bytes = NormalizeLineEnds(read.bytes);
    if (options.keepOriginal) outcome.original = std::move(read.bytes);
    return outcome;
  }
  // The input stage needs no line-end normalisation first (its first pass
  // ends every line with CR LF), so the bytes go in as they are read.
  std::string bytes = options.keepOriginal ? read.bytes : std::move(read.bytes);
  if (options.keepOriginal) outcome.original = std::move(read.bytes);
  std::string().swap(read.bytes);  // gives the memory back, whether moved or not
  if (options.emit == EmitText::Result && !options.verify) return IndentToResult(std::move(outcome), std::move(bytes), options);
  FileInputTexts input;
  try {
    input = FileInputStage(std::move(bytes), options.pipeline, WantedFor(options));
  } catch (const std::exception& error) {  // the system cannot convert at all
    return fail(std::string("cannot convert the text: ") + error.what());
  }
  if (input.loss.any()) {
    outcome.lossy = true;
    outcome.warnings.push_back(LossWarning(input.loss, input.lossLine, "have no Shift_JIS form"));
  }
  const CharCodeIndex encoding = SaveEncodingFor(options.outputCharset, input.DetectedCode, input.ReadAs);
  try {
    Emit(outcome, std::move(input.Local), std::move(input.Org), options, encoding);
  } catch (const IndentationTooLarge& error) {
    return fail(std::string(error.what()) + "; '--indent none' indents it flush left");
  }
  return outcome;
}

JobOutcome IndentPastedText(std::string_view text, const IndentJobOptions& options) {
  JobOutcome outcome;
  if (!IsAcceptablePaste(text)) {
    outcome.ok = false;
    outcome.message = "the pasted text has no <body> tag: nothing to indent";
    return outcome;
  }
  if (options.emit == EmitText::Native) {
    outcome.bytes = std::string(text);
    return outcome;
  }
  PasteInputTexts input = PasteInputStage(text, options.pipeline);
  const CharCodeIndex encoding = SaveEncodingFor(options.outputCharset, kCharCodeShiftJis, kCharCodeShiftJis);
  try {
    Emit(outcome, std::move(input.Local), std::move(input.Org), options, encoding);
  } catch (const IndentationTooLarge& error) {
    outcome.ok = false;
    outcome.message = std::string(error.what()) + "; '--indent none' indents it flush left";
  }
  return outcome;
}

void JoinPieces(JobOutcome& outcome) {
  if (!outcome.pieces.empty()) outcome.bytes = JoinedPieces(outcome.pieces);
}

void WriteOutcome(JobOutcome& outcome, const std::string& target, bool inPlace, bool force) {
  JoinPieces(outcome);
  if (outcome.bytes.empty()) {
    outcome.ok = false;
    outcome.message = "the result is empty: nothing written";
    return;
  }
  if (inPlace && outcome.lossy && !force) {
    outcome.ok = false;
    outcome.message = "not written in place, since characters would be lost (use --force to write anyway)";
    return;
  }
  if (inPlace) {
    const SaveOutcome saved = SaveWithBackup(outcome.bytes, target, outcome.original);
    if (!saved.ok) {
      outcome.ok = false;
      outcome.message = saved.message;
    }
    return;
  }
  const SaveResult saved = SaveTextFile(outcome.bytes, target);
  if (!saved.ok()) {
    outcome.ok = false;
    outcome.message = saved.message;
  }
}

}  // namespace zelm::cli
