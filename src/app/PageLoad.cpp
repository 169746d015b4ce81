// Reading page files with their checks, for both shells.
#include <unistd.h>

#include "app/FileCommands.h"
#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"
#include "text/FileIO.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

// A page of this size or more is mapped rather than copied.
constexpr off_t kLargePage = off_t{2} << 20;

FileError ErrorFor(FileReadResult::Status status, const std::string& path, std::string reason) {
  using Status = FileReadResult::Status;
  switch (status) {
    case Status::NotFound: return {FileErrorKind::NotFound, path, std::move(reason)};
    case Status::NotAFile: return {FileErrorKind::NotAFile, path, std::move(reason)};
    case Status::Changed: return {FileErrorKind::ChangedWhileRead, path, std::move(reason)};
    case Status::Ok:
    case Status::Unreadable: break;
  }
  return {FileErrorKind::Unreadable, path, std::move(reason)};
}

// A page opened for reading and checked before a byte is read.
struct OpenPage {
  std::optional<FileError> error;
  UniqueFd fd;
  struct stat info {};
};

OpenPage Open(const std::string& path, const PageReadOptions& read) {
  OpenPage page;
  OpenedForReading opened = OpenForReading(path);
  if (opened.status != FileReadResult::Status::Ok) {
    page.error = ErrorFor(opened.status, path, std::move(opened.error));
    return page;
  }
  page.fd = UniqueFd(opened.fd);
  page.info = opened.info;
  if (read.unchangedSince && ChangedAfter(page.info, *read.unchangedSince))
    page.error = FileError{FileErrorKind::ChangedDuringRun, path, {}};
  else if (page.info.st_size == 0)
    page.error = FileError{FileErrorKind::Empty, path, {}};
  return page;
}

// Whether the open file is still as it was when opened.
bool StillAsOpened(const OpenPage& page) {
  struct stat now {};
  return ::fstat(page.fd.get(), &now) == 0 && FileIdentity::Of(now).Unchanged(FileIdentity::Of(page.info));
}

}  // namespace

TextFileRead ReadTextFile(const std::string& path, const PageReadOptions& read) {
  TextFileRead file;
  OpenPage page = Open(path, read);
  if (page.error) {
    file.error = std::move(page.error);
    return file;
  }
  FileReadResult bytes = ReadOpenFile(page.fd.get(), page.info);
  if (!bytes.ok()) {
    file.error = ErrorFor(bytes.status, path, std::move(bytes.error));
    return file;
  }
  if (bytes.bytes.find('\0') != std::string::npos) {
    file.error = FileError{FileErrorKind::Binary, path, {}};
    return file;
  }
  file.bytes = std::move(bytes.bytes);
  file.identity = FileIdentity::Of(page.info);
  return file;
}

LoadedPage LoadPageFile(const std::string& path, const PipelineOptions& options, WantedInputTexts wanted,
                        const PageReadOptions& read) {
  LoadedPage page;
  TextFileRead file = ReadTextFile(path, read);
  if (!file.ok()) {
    page.error = std::move(file.error);
    return page;
  }
  page.identity = file.identity;
  // The Native text is the file with its line ends normalised; the other
  // texts need no normalisation first (the first pass ends every line with
  // CR LF), so the bytes go in as they are read.
  if (wanted.Native) file.bytes = NormalizeLineEnds(file.bytes);
  try {
    page.texts = FileInputStage(std::move(file.bytes), options, wanted);
  } catch (const EncodingError& error) {  // the system cannot convert at all
    page.error = FileError{FileErrorKind::CannotConvert, path, error.what()};
    return page;
  }
  page.loss = ReportLoss(page.texts.loss, page.texts.lossLine, kCharCodeShiftJis);
  return page;
}

PlainText PlainTextToShiftJis(std::string_view bytes, CharCodeIndex openCharset) {
  PlainText plain;
  plain.readAs = openCharset == kCharCodeAuto ? ConvertAutomatically(bytes).readAs : openCharset;
  Converted converted;
  switch (plain.readAs) {
    case kCharCodeEucJp: converted = EucToSjis(bytes); break;
    case kCharCodeIso2022Jp: converted = JisToSjis(bytes); break;
    case kCharCodeUtf8:
    case kCharCodeUtf8N:
      plain.byteOrderMark = bytes.starts_with(kUtf8ByteOrderMark);
      if (plain.byteOrderMark) bytes.remove_prefix(kUtf8ByteOrderMark.size());
      // As the automatic mode reads it: the lenient reader, else the strict one.
      if (std::optional<Converted> lenient = LenientUtf8ToSjis(bytes)) converted = std::move(*lenient);
      else converted = Utf8ToSjis(bytes);
      break;
    default:
      plain.readAs = kCharCodeShiftJis;
      converted.text = std::string(bytes);
  }
  plain.loss = ReportLoss(converted.loss, converted.text, kCharCodeShiftJis);
  plain.text = std::move(converted.text);
  return plain;
}

LoadedText LoadPlainTextFile(const std::string& path, CharCodeIndex openCharset, const PageReadOptions& read) {
  LoadedText loaded;
  TextFileRead file = ReadTextFile(path, read);
  if (!file.ok()) {
    loaded.error = std::move(file.error);
    return loaded;
  }
  loaded.identity = file.identity;
  try {
    loaded.plain = PlainTextToShiftJis(file.bytes, openCharset);
  } catch (const EncodingError& error) {  // the system cannot convert at all
    loaded.error = FileError{FileErrorKind::CannotConvert, path, error.what()};
  }
  return loaded;
}

IndentedPage IndentPageFile(const std::string& path, const PipelineOptions& options, const PageReadOptions& read) {
  IndentedPage page;
  OpenPage opened = Open(path, read);
  if (opened.error) {
    page.error = std::move(opened.error);
    return page;
  }
  page.identity = FileIdentity::Of(opened.info);
  PipelineOptions pipeline = options;
  pipeline.ResultInPieces = true;
  pipeline.RefuseNulBytes = true;  // looked for in a pass that reads the page anyway
  IndentedFileTexts indented;
  try {
    std::optional<MappedFile> mapped;
    if (opened.info.st_size >= kLargePage)
      mapped = MappedFile::Map(opened.fd.get(), static_cast<std::size_t>(opened.info.st_size));
    if (mapped) {
      // A large page is read through a mapping, without a copy.
      indented = FileToResultStage(mapped->bytes(), pipeline);
      if (mapped->Damaged() || !StillAsOpened(opened)) {
        page.error = FileError{FileErrorKind::ChangedWhileRead, path, {}};
        return page;
      }
    } else {
      FileReadResult bytes = ReadOpenFile(opened.fd.get(), opened.info);
      if (!bytes.ok()) {
        page.error = ErrorFor(bytes.status, path, std::move(bytes.error));
        return page;
      }
      indented = FileToResultStage(std::move(bytes.bytes), pipeline);
    }
  } catch (const EncodingError& error) {  // the system cannot convert at all
    page.error = FileError{FileErrorKind::CannotConvert, path, error.what()};
    return page;
  }
  if (indented.HoldsNul) {
    page.error = FileError{FileErrorKind::Binary, path, {}};
    return page;
  }
  if (indented.ResultPieces.empty()) page.result.push_back(std::move(indented.Result));
  else page.result = std::move(indented.ResultPieces);
  page.DetectedCode = indented.DetectedCode;
  page.ReadAs = indented.ReadAs;
  page.loss = ReportLoss(indented.loss, indented.lossLine, kCharCodeShiftJis);
  return page;
}

}  // namespace zelm
