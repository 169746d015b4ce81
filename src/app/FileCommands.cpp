#include "app/FileCommands.h"

#include <filesystem>

#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"
#include "indent/IndentUtil.h"
#include "text/FileIO.h"

namespace zelm {

CharCodeIndex SaveEncodingFor(SaveCharSet choice, CharCodeIndex orgCharCode, CharCodeIndex readAs) {
  switch (choice) {
    case SaveCharSet::ShiftJis: return kCharCodeShiftJis;
    case SaveCharSet::Utf8: return kCharCodeUtf8;
    case SaveCharSet::Auto: break;
  }
  return orgCharCode != kCharCodeAuto ? orgCharCode : readAs;
}

Converted EncodeForSaving(std::string sjisText, CharCodeIndex encoding) {
  switch (encoding) {
    case kCharCodeEucJp: return SjisToEuc(RewriteCharsetDecl(sjisText, kCharCodeEucJp));
    case kCharCodeUtf8: return SjisToUtf8(RewriteCharsetDecl(sjisText, kCharCodeUtf8));
    case kCharCodeIso2022Jp: return SjisToJis(RewriteCharsetDecl(sjisText, kCharCodeIso2022Jp));
    case kCharCodeUtf8N: return SjisToUtf8(RewriteCharsetDecl(sjisText, kCharCodeUtf8N));
    default: return Converted{std::move(sjisText), {}};
  }
}

std::string BackupPathFor(const std::string& path) {
  const std::filesystem::path target(path);
  return (target.parent_path() / ("ZZBU_" + target.filename().string())).string();
}

std::string WithHtmlExtension(const std::string& path) {
  return std::filesystem::path(path).has_extension() ? path : path + ".html";
}

SaveOutcome SaveWithBackup(std::string_view bytes, const std::string& path, std::string_view originalBytes) {
  SaveOutcome outcome;
  std::error_code ignored;
  if (std::filesystem::exists(path, ignored) && !originalBytes.empty()) {
    outcome.backupPath = BackupPathFor(path);
    const SaveResult backup = SaveTextFile(originalBytes, outcome.backupPath);
    if (!backup.ok()) {
      outcome.ok = false;
      outcome.message = backup.message;
      return outcome;
    }
  }
  const SaveResult written = SaveTextFile(bytes, path);
  if (!written.ok()) {
    outcome.ok = false;
    outcome.message = written.message;
  }
  return outcome;
}

}  // namespace zelm
