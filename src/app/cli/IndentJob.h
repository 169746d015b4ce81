// One page through the pipeline for zelm-cli indent: read, convert, indent,
// encode for output, and write, through the file commands the window uses
// too (app/FileCommands.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/FileCommands.h"
#include "indent/Pipeline.h"

namespace zelm::cli {

// Which of the pipeline's texts is written out.
enum class EmitText { Native, Org, Local, Work, Result };

struct IndentJobOptions {
  PipelineOptions pipeline;  // pipeline.UnmappableAs also steers the output encoding
  EmitText emit = EmitText::Result;
  SaveCharSet outputCharset = SaveCharSet::Auto;
  bool force = false;   // write in place even when characters were lost
  bool verify = false;  // check that the result keeps the page's content; write nothing
  // Refuse pages another program changed after this time (the run's start),
  // so that a page another run has just indented is not indented again.
  std::optional<timespec> unchangedSince;
};

struct JobOutcome {
  bool ok = true;
  std::string message;                // why it failed
  std::vector<std::string> warnings;  // characters lost or changed, other names of a replaced file
  std::vector<std::string> notes;     // characters written as references
  // What to write: pieces that follow one another (a large page's Result
  // comes in several, one per part; others in one).
  std::vector<std::string> pieces;
  bool lossy = false;                 // some character became "?" or another one
  std::string verified;               // with verify: what was checked
  std::optional<FileIdentity> read;   // the file as read, for an in-place write
  // IndentPageBytes: the encoding the page was read as, and the one the
  // pieces are written in.
  CharCodeIndex readAs = kCharCodeAuto;
  CharCodeIndex written = kCharCodeAuto;
};

// The file through both stages, encoded for output. Missing, unreadable,
// empty, binary and changed files fail with the reason.
JobOutcome IndentFile(const std::string& path, const IndentJobOptions& options);

// A page's bytes (a file's as read, or standard input) through both stages,
// as IndentFile takes a file: read in any of the four encodings, refused
// when empty or binary.
JobOutcome IndentPageBytes(std::string_view page, const IndentJobOptions& options);

// Pasted (Shift_JIS) text through the paste input stage and the indent stage.
// Text with NUL bytes is refused, as binary files are.
JobOutcome IndentPastedText(std::string_view text, const IndentJobOptions& options);

// Shift_JIS text that comes from no file (pasted, downloaded) through the
// paste input stage and the indent stage, encoded for output in `encoding`.
// `outcome` holds what was reported on the way to Shift_JIS.
JobOutcome IndentShiftJisText(JobOutcome outcome, std::string_view text, CharCodeIndex encoding,
                              const IndentJobOptions& options);

// Records what a conversion could not carry over: a loss as a warning (and
// the outcome as lossy), references as a note.
void Report(JobOutcome& outcome, const LossReport& loss);

// Writes the outcome's pieces to `target`: in place with its ZZBU_ backup
// (refused for a lossy result unless forced, and for a file that changed
// since it was read), else as an output file. Failures and warnings are
// recorded in the outcome.
void WriteOutcome(JobOutcome& outcome, const std::string& target, bool inPlace, bool force);

// The output file -o names: a new one named without an extension is saved
// as a page (".html" added).
std::string WithHtmlExtensionIfNew(const std::string& path);

// The warning for a replaced file that had other names (hard links).
std::string OtherNamesWarning(std::size_t otherNames);

}  // namespace zelm::cli
