// Saving a page the way the file commands do: the charset declaration and
// the encoding follow the save-charset choice, and an existing file is
// backed up before it is replaced.
#pragma once

#include <string>
#include <string_view>

#include "encoding/CharCode.h"
#include "encoding/Converted.h"

namespace zelm {

// Item index of the save-charset choice: "自動", "Shift_JIS", "utf-8".
enum class SaveCharSet : int { Auto = 0, ShiftJis = 1, Utf8 = 2 };

// The encoding a save writes in. With Auto it follows the charset the
// document declared (`orgCharCode`); a document that declared none is
// written in the encoding it was read as (`readAs`), so that an unlabelled
// UTF-8 page does not come back as Shift_JIS.
CharCodeIndex SaveEncodingFor(SaveCharSet choice, CharCodeIndex orgCharCode, CharCodeIndex readAs);

// The bytes to write for a Shift_JIS text in `encoding`: the charset
// declaration rewritten for it, then converted. Shift_JIS (and "automatic")
// write the text unchanged.
Converted EncodeForSaving(std::string sjisText, CharCodeIndex encoding);

// "ZZBU_" + the file name, in the same folder.
std::string BackupPathFor(const std::string& path);

// A save-as name without an extension gets ".html".
std::string WithHtmlExtension(const std::string& path);

struct SaveOutcome {
  bool ok = true;
  std::string message;     // why it failed
  std::string backupPath;  // where the old file was kept, empty when there was none
};

// Writes `bytes` to `path`. When a file is there already, `originalBytes`
// (the file as first loaded) is first written to the backup path; when that
// fails nothing is replaced. Both writes replace their targets atomically.
SaveOutcome SaveWithBackup(std::string_view bytes, const std::string& path, std::string_view originalBytes);

}  // namespace zelm
