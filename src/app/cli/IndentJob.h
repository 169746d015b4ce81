// One page through the pipeline for zelm-cli indent: read, convert, indent,
// encode for output, and write with a backup.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/FileCommands.h"
#include "indent/Pipeline.h"

namespace zelm::cli {

// Which of the pipeline's texts is written out.
enum class EmitText { Native, Org, Local, Work, Result };

struct IndentJobOptions {
  PipelineOptions pipeline;
  EmitText emit = EmitText::Result;
  SaveCharSet outputCharset = SaveCharSet::Auto;
  bool force = false;   // write in place even when characters were lost
  bool verify = false;  // check that the result keeps the page's content; write nothing
  bool keepOriginal = true;  // keep the file's bytes in the outcome, for the backup of an in-place write
};

struct JobOutcome {
  bool ok = true;
  std::string message;                // why it failed
  std::vector<std::string> warnings;  // characters lost in conversion
  std::string bytes;                  // what to write
  // A large page's Result may come in pieces instead, which joined are the
  // bytes: standard output takes them as they are (see JoinPieces).
  std::vector<std::string> pieces;
  std::string original;               // the file as it was, for the backup (when asked to keep it)
  bool lossy = false;                 // some character became "?"
  std::string verified;               // with verify: what was checked
};

// The file through both stages, encoded for output. Missing, unreadable,
// empty and binary files fail with the reason.
JobOutcome IndentFile(const std::string& path, const IndentJobOptions& options);

// Pasted (Shift_JIS) text through the paste input stage and the indent stage.
JobOutcome IndentPastedText(std::string_view text, const IndentJobOptions& options);

// Joins the outcome's pieces into its bytes.
void JoinPieces(JobOutcome& outcome);

// Writes the outcome's bytes to `target`; in place, the old file is kept as
// its ZZBU_ backup first, and a lossy result is refused unless forced.
// Failures are recorded in the outcome.
void WriteOutcome(JobOutcome& outcome, const std::string& target, bool inPlace, bool force);

// 1-based line of a 1-based byte position in a text with CR LF line ends.
std::size_t LineOfPosition(std::string_view text, std::size_t position);

}  // namespace zelm::cli
