#include "app/gui/PageFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"
#include "text/FileIO.h"
#include "text/StringUtil.h"

namespace zelm::gui {
namespace {

std::size_t LineOf(std::string_view text, std::size_t position) {
  const std::size_t end = std::min(position == 0 ? 0 : position - 1, text.size());
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + end, '\n'));
}

// The bytes of a file, or why they cannot be had.
FileFailure ReadBytes(const std::string& path, std::string& bytes) {
  FileReadResult read = ReadFileBytes(path);
  if (!read.ok()) return {FileFailure::Kind::CannotRead, read.error};
  bytes = std::move(read.bytes);
  if (bytes.find('\0') != std::string::npos) return {FileFailure::Kind::Binary, {}};
  return {};
}

// A plain text in a known encoding to Shift_JIS, without the folding of
// blank lines that pages get.
Converted PlainToSjis(std::string_view bytes, CharCodeIndex code) {
  switch (code) {
    case kCharCodeEucJp: return EucToSjis(bytes);
    case kCharCodeUtf8: return Utf8ToSjis(bytes);
    case kCharCodeUtf8N: return Utf8ToSjis(bytes, true);
    case kCharCodeIso2022Jp: return JisToSjis(bytes);
    default: return Converted{std::string(bytes), {}};
  }
}

}  // namespace

LoadedPage LoadPage(const std::string& path, const PipelineOptions& options) {
  LoadedPage page;
  page.failure = ReadBytes(path, page.bytes);
  if (page.failure.failed()) return page;
  try {
    page.texts = FileInputStage(NormalizeLineEnds(page.bytes), options);
  } catch (const EncodingError& error) {
    page.failure = {FileFailure::Kind::EncodingFailed, error.what()};
  }
  return page;
}

LoadedText LoadPlainText(const std::string& path, CharCodeIndex openCharset) {
  LoadedText loaded;
  loaded.failure = ReadBytes(path, loaded.bytes);
  if (loaded.failure.failed()) return loaded;
  try {
    loaded.readAs = openCharset != kCharCodeAuto ? openCharset : ConvertAutomatically(loaded.bytes).readAs;
    Converted converted = PlainToSjis(loaded.bytes, loaded.readAs);
    loaded.text = NormalizeLineEnds(converted.text);
    loaded.loss = converted.loss;
    if (loaded.loss.any()) loaded.lossLine = LineOf(converted.text, loaded.loss.firstPos);
  } catch (const EncodingError& error) {
    loaded.failure = {FileFailure::Kind::EncodingFailed, error.what()};
  }
  return loaded;
}

PreparedSave PrepareSave(std::string sjisText, SaveCharSet choice, CharCodeIndex orgCharCode, CharCodeIndex readAs) {
  PreparedSave save;
  save.encoding = SaveEncodingFor(choice, orgCharCode, readAs);
  Converted encoded = EncodeForSaving(std::move(sjisText), save.encoding);
  save.bytes = std::move(encoded.text);
  save.loss = encoded.loss;
  if (save.loss.any()) save.lossLine = LineOf(save.bytes, save.loss.firstPos);
  return save;
}

std::string_view EncodingName(CharCodeIndex encoding) {
  switch (encoding) {
    case kCharCodeEucJp: return "EUC-JP";
    case kCharCodeUtf8:
    case kCharCodeUtf8N: return "UTF-8";
    case kCharCodeIso2022Jp: return "ISO-2022-JP";
    default: return "Shift_JIS";
  }
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return !path.empty() && std::filesystem::is_regular_file(path, ignored);
}

namespace {

// Writes through the library's atomic save; the reason is the system's.
WriteOutcome WriteAtomically(std::string_view bytes, const std::string& path) {
  errno = 0;
  const SaveResult saved = SaveTextFile(bytes, path);
  const int error = errno;
  if (saved.status == SaveResult::Status::Written) return {};
  WriteOutcome outcome;
  outcome.ok = false;
  outcome.reason = saved.status == SaveResult::Status::Skipped ? "nothing to write"
                   : error != 0                                 ? std::strerror(error)
                                                                : saved.message;
  return outcome;
}

}  // namespace

WriteOutcome WriteWithBackup(std::string_view bytes, const std::string& path,
                             const std::optional<std::string>& originalBytes) {
  std::string backupPath;
  if (FileExists(path)) {
    std::string current;
    if (!originalBytes) {
      FileReadResult read = ReadFileBytes(path);
      if (!read.ok()) return {false, read.error, {}};
      current = std::move(read.bytes);
    }
    const std::string& kept = originalBytes ? *originalBytes : current;
    if (!kept.empty()) {
      backupPath = BackupPathFor(path);
      WriteOutcome backup = WriteAtomically(kept, backupPath);
      if (!backup.ok) return backup;
    }
  }
  WriteOutcome outcome = WriteAtomically(bytes, path);
  outcome.backupPath = std::move(backupPath);
  return outcome;
}

std::string TempResultPath(const std::string& pageFile) {
  return (std::filesystem::path(pageFile).parent_path() / "ZZ_tmp.html").string();
}

WriteOutcome WriteTempResult(std::string_view result, const std::string& pageFile) {
  return WriteAtomically(result, TempResultPath(pageFile));
}

}  // namespace zelm::gui
