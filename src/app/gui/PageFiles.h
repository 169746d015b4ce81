// All file reading and writing of the window, in one place: loading a page
// through the file input stage, loading a plain text file, preparing the
// bytes of a save, writing with a backup, and the temporary result file.
// Free of Qt; results are values the window turns into its messages.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/FileCommands.h"
#include "encoding/CharCode.h"
#include "encoding/Converted.h"
#include "indent/Pipeline.h"

namespace zelm::gui {

// Why a file could not be taken.
struct FileFailure {
  enum class Kind { None, CannotRead, Binary, EncodingFailed };
  Kind kind = Kind::None;
  std::string reason;  // the system's reason, when there is one
  bool failed() const { return kind != Kind::None; }
};

// A page read through the file input stage.
struct LoadedPage {
  FileFailure failure;
  std::string bytes;  // the file as stored, for the backup of a later save
  FileInputTexts texts;
};
LoadedPage LoadPage(const std::string& path, const PipelineOptions& options);

// A plain text file (CSS, JavaScript) brought to Shift_JIS, with its lines
// and blank lines as they are.
struct LoadedText {
  FileFailure failure;
  std::string bytes;
  std::string text;           // Shift_JIS, CR LF
  CharCodeIndex readAs = 0;   // the encoding it was read as
  ConversionLoss loss;
  std::size_t lossLine = 0;
};
LoadedText LoadPlainText(const std::string& path, CharCodeIndex openCharset);

// The bytes of a save and what the encoding could not carry.
struct PreparedSave {
  std::string bytes;
  CharCodeIndex encoding = kCharCodeShiftJis;
  ConversionLoss loss;
  std::size_t lossLine = 0;  // 1-based line of the first lost character
};
PreparedSave PrepareSave(std::string sjisText, SaveCharSet choice, CharCodeIndex orgCharCode, CharCodeIndex readAs);

// A name for the encoding, for messages.
std::string_view EncodingName(CharCodeIndex encoding);

bool FileExists(const std::string& path);

struct WriteOutcome {
  bool ok = true;
  std::string reason;      // the system's reason when it failed
  std::string backupPath;  // where the old file was kept, empty when there was none
};
// Writes `bytes` to `path` atomically. An existing file is first kept as its
// "ZZBU_" backup: `originalBytes` when given (the file as first loaded),
// else the file's bytes as they are now. Nothing is replaced when the backup
// cannot be written.
WriteOutcome WriteWithBackup(std::string_view bytes, const std::string& path,
                             const std::optional<std::string>& originalBytes);

// "ZZ_tmp.html" beside the page file; its path, or nullopt when it could not
// be written.
std::string TempResultPath(const std::string& pageFile);
WriteOutcome WriteTempResult(std::string_view result, const std::string& pageFile);

}  // namespace zelm::gui
