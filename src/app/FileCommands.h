// The file commands the window and zelm-cli share, around the pipeline
// stages: loading a page file with its checks, the report of characters a
// conversion could not carry over, encoding a text for saving, and saving
// with a backup. No Qt and no user-interface texts: a failure is a value (a
// kind, the path, the system's reason) that each shell words itself, the
// window with its Japanese messages ("【 path 】が 開けません！" and the
// reason), zelm-cli in English (FileError::Describe).
//
// Open (the window's open commands, zelm-cli indent):
//     LoadedPage page = LoadPageFile(path, options);
//     if (!page.ok()) → page.error->kind, ->path, ->reason
//     page.texts.Native, .Org, .RefOrg, .Local: the texts of the file input stage
//     page.texts.DetectedCode (the window's OrgCharCode) and page.texts.ReadAs
//     page.loss: characters brought in as "?" or as other characters
//                (count, first position and line, how many of each LossKind)
// A plain text file (CSS, JavaScript) into Local, or a page whose other
// bytes must stay as they were (zelm-cli divmark):
//     LoadedText text = LoadPlainTextFile(path, openCharset);
//     text.plain.text in Shift_JIS as it was (no blank line folded, no
//     declaration rewritten), .readAs, .byteOrderMark, .loss
//
// Save and Save As (the Result, Local, a plain text file, RefOrg):
//     const CharCodeIndex encoding = SaveEncodingFor(choice, OrgCharCode, ReadAs);
//     EncodedText out = EncodeForSaving(paneText, encoding);  // Unmappable::Reference writes "&#N;"
//     if (out.loss.any()) → ask first, telling out.loss.count and out.loss.line
//     SaveOutcome saved = SaveWithBackup(out.text, WithHtmlExtension(path),
//                                        {.expected = page.identity});  // over the file read
//     if (!saved.ok()) → saved.error (the old file is as it was); ChangedSinceRead
//          when another program changed the file since it was read
//     else saved.backupPath ("" for a new file), saved.otherNames (hard links
//          that keep the old text: worth a warning), saved.written (the
//          file as written: `expected` of the next save over it)
// The window asks before it overwrites; SaveWithBackup itself never asks.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/CharCode.h"
#include "encoding/Converted.h"
#include "indent/Pipeline.h"
#include "text/SafeFile.h"

namespace zelm {

// ---- Failures ---------------------------------------------------------------

enum class FileErrorKind {
  NotFound,          // no file at the path
  NotAFile,          // a folder, device, pipe or socket where a file was to be read
  Unreadable,        // the system would not open or read it
  Empty,             // the file holds nothing
  Binary,            // the file holds NUL bytes: no text
  ChangedWhileRead,  // another program changed (or shortened) the file while it was read
  ChangedDuringRun,  // another program changed the file after this run of zelm-cli started
  ChangedSinceRead,  // another program replaced or changed the file between reading and saving
  Locked,            // another program held the file locked for longer than a saver waits
  CannotConvert,     // the system cannot convert between encodings at all
  CannotWrite,       // the file or its backup could not be written (path says which)
  BackupInTheWay,    // something other than a regular file has the backup's name
  NotReplaceable,    // the target is a folder, device, pipe or a link to nothing
};

struct FileError {
  FileErrorKind kind = FileErrorKind::Unreadable;
  std::string path;    // the file concerned: the page, or its backup
  std::string reason;  // the system's reason (strerror) or what was found there
  // In English, for zelm-cli: "no such file", "cannot write ZZBU_x.html:
  // File name too long", ... (the page's own path is not repeated).
  std::string Describe() const;
};

// ---- The loss report --------------------------------------------------------

// Characters a conversion could not carry over as they were, and where the
// first one is. `line` is counted in the text the positions refer to.
struct LossReport : ConversionLoss {
  std::size_t line = 0;                       // 1-based line of the first one, 0 when none
  CharCodeIndex target = kCharCodeShiftJis;   // the encoding they had no exact form in
  // In English, for zelm-cli: "2 characters have no Shift_JIS form and
  // became '?', 1 came back as another character (the first on line 3)".
  std::string Describe() const;
};

// The report of `loss`, its first position looked up in `text` for the line.
LossReport ReportLoss(const ConversionLoss& loss, std::string_view text, CharCodeIndex target);
// The report of `loss` whose first one is on `line`.
LossReport ReportLoss(const ConversionLoss& loss, std::size_t line, CharCodeIndex target);

// 1-based line of a 1-based byte position (the line of the byte before
// position 1 is 1).
std::size_t LineOfPosition(std::string_view text, std::size_t position);

// The encoding's name, for messages: "Shift_JIS", "EUC-JP", "UTF-8", "ISO-2022-JP".
std::string_view EncodingName(CharCodeIndex encoding);

// ---- Loading ------------------------------------------------------------------

struct PageReadOptions {
  // Refuse (ChangedDuringRun) a page whose status changed after this time:
  // zelm-cli gives its start, so that a page another run has just indented
  // is not indented again with that text as its backup.
  std::optional<timespec> unchangedSince;
};

// A text file's bytes, read with the checks every page gets: missing, not a
// regular file, unreadable, empty, binary (NUL bytes), changed while read.
struct TextFileRead {
  std::optional<FileError> error;
  std::string bytes;
  FileIdentity identity;  // the file as read
  bool ok() const { return !error; }
};
TextFileRead ReadTextFile(const std::string& path, const PageReadOptions& read = {});

struct LoadedPage {
  std::optional<FileError> error;
  FileInputTexts texts;   // as `wanted`; DetectedCode and ReadAs always
  LossReport loss;        // on the way to Shift_JIS; the line is one of the Org text
  FileIdentity identity;  // the file as read, for SaveOptions::expected
  bool ok() const { return !error; }
};

// The file through the file input stage.
LoadedPage LoadPageFile(const std::string& path, const PipelineOptions& options, WantedInputTexts wanted = {},
                        const PageReadOptions& read = {});

// A text file kept as it is, in Shift_JIS: read in `openCharset`, or with
// kCharCodeAuto in the encoding the automatic mode reads it as, but with
// none of a page's treatment: no blank line is folded, no charset
// declaration rewritten, the line ends are as they were. A UTF-8 text's
// byte-order mark is set aside, so that it can be written again.
struct PlainText {
  std::string text;
  CharCodeIndex readAs = kCharCodeShiftJis;
  bool byteOrderMark = false;
  LossReport loss;  // the line is one of `text`
};
PlainText PlainTextToShiftJis(std::string_view bytes, CharCodeIndex openCharset);

struct LoadedText {
  std::optional<FileError> error;
  PlainText plain;
  FileIdentity identity;  // the file as read, for SaveOptions::expected
  bool ok() const { return !error; }
};
LoadedText LoadPlainTextFile(const std::string& path, CharCodeIndex openCharset, const PageReadOptions& read = {});

// The file straight to its Result (the file input stage and the indent
// stage at once): a large page is mapped rather than copied and goes through
// the passes in parts on options.Threads threads. Throws IndentationTooLarge
// as the indent stage does.
struct IndentedPage {
  std::optional<FileError> error;
  std::vector<std::string> result;  // the Result, in pieces that joined are it
  CharCodeIndex DetectedCode = 0;
  CharCodeIndex ReadAs = 0;
  LossReport loss;
  FileIdentity identity;
  bool ok() const { return !error; }
};
IndentedPage IndentPageFile(const std::string& path, const PipelineOptions& options, const PageReadOptions& read = {});

// ---- Encoding for saving -----------------------------------------------------

// Item index of the save-charset choice: "自動", "Shift_JIS", "utf-8".
enum class SaveCharSet : int { Auto = 0, ShiftJis = 1, Utf8 = 2 };

// The encoding a save writes in. With Auto it follows the charset the
// document declared (`orgCharCode`); a document that declared none is
// written in the encoding it was read as (`readAs`), so that an unlabelled
// UTF-8 page does not come back as Shift_JIS.
CharCodeIndex SaveEncodingFor(SaveCharSet choice, CharCodeIndex orgCharCode, CharCodeIndex readAs);

// The bytes to write, and what they could not carry over.
struct EncodedText {
  std::string text;
  LossReport loss;

  // For callers that keep a plain Converted (the line is dropped).
  operator Converted() && { return Converted{std::move(text), loss}; }
};

// The bytes to write for a Shift_JIS text in `encoding`: the charset
// declaration rewritten for it, then converted. Shift_JIS (and "automatic")
// write the text unchanged. A character without an exact form there becomes
// "?" (or another character) and is reported, or, with
// Unmappable::Reference, a numeric character reference.
EncodedText EncodeForSaving(std::string sjisText, CharCodeIndex encoding,
                            Unmappable unmappable = Unmappable::Question);

// The same conversion with the text as it is, its charset declaration
// unchanged (for text kept as it was read, as PlainTextToShiftJis reads it).
EncodedText EncodeText(std::string sjisText, CharCodeIndex encoding, Unmappable unmappable = Unmappable::Question);

// What a UTF-8 text that began with a byte-order mark begins with again.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// ---- Saving -------------------------------------------------------------------

// "ZZBU_" + the file name, in the same folder.
std::string BackupPathFor(const std::string& path);

// A save-as name without an extension gets ".html".
std::string WithHtmlExtension(const std::string& path);

struct SaveOptions {
  // Keep the file being replaced, as it is right before this save, as
  // ZZBU_<name> beside it (with its mode, owner and times).
  bool backup = true;
  // The file as it was read: when it has been replaced or written since,
  // it is not replaced (ChangedSinceRead).
  std::optional<FileIdentity> expected;
  // How long to wait for another saver's lock on the file.
  std::chrono::milliseconds lockPatience{10'000};
  // How the new file is made (NewFileWay::Named for tests of that way).
  NewFileWay way = NewFileWay::Unnamed;
};

struct SaveOutcome {
  std::optional<FileError> error;  // nothing was replaced when set
  std::string path;                // the file written (a link's target when the path named a link)
  std::string backupPath;          // where the replaced file was kept; empty when there was none
  std::size_t otherNames = 0;      // hard links the replaced file had besides this name: they keep the old text
  FileIdentity written;            // the new file, for SaveOptions::expected of a later save over it
  bool ok() const { return !error; }
};

// Saves `bytes` (given in pieces that follow one another) at `path`. The
// bytes go to a new file in the same folder, which takes the place of the
// old one only once it is complete; the old one becomes the backup. The new
// file gets the old one's mode, and its owner and group where the process
// may. A link is followed to the file it names; a folder, device or pipe is
// never written through (NotReplaceable), nor is whatever stands at the
// backup's name when it is not a regular file (BackupInTheWay). Savers of
// one file take turns: the file is locked while it is replaced.
SaveOutcome SaveWithBackup(std::span<const std::string_view> pieces, const std::string& path,
                           const SaveOptions& options = {});
SaveOutcome SaveWithBackup(std::string_view bytes, const std::string& path, const SaveOptions& options = {});

// Writes an output file (zelm-cli -o): a regular file is replaced as above
// but without a backup; a device or pipe (/dev/stdout) is written to.
SaveOutcome SaveOutputFile(std::span<const std::string_view> pieces, const std::string& path);

}  // namespace zelm
