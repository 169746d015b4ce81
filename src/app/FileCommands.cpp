#include "app/FileCommands.h"

#include <algorithm>
#include <filesystem>

#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"
#include "indent/CharsetDecl.h"

namespace zelm {
namespace {

std::string_view EncodingName(CharCodeIndex code) {
  switch (code) {
    case kCharCodeEucJp: return "EUC-JP";
    case kCharCodeUtf8:
    case kCharCodeUtf8N: return "UTF-8";
    case kCharCodeIso2022Jp: return "ISO-2022-JP";
    default: return "Shift_JIS";
  }
}

std::string Characters(std::size_t count, std::string_view one = "character", std::string_view many = "characters") {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

std::string FileError::Describe() const {
  const std::string why = reason.empty() ? std::string() : ": " + reason;
  switch (kind) {
    case FileErrorKind::NotFound: return "no such file";
    case FileErrorKind::NotAFile: return (reason.empty() ? std::string("not a regular file") : reason) + ", not a page";
    case FileErrorKind::Unreadable: return "cannot read the file" + why;
    case FileErrorKind::Empty: return "the file is empty: nothing to indent";
    case FileErrorKind::Binary: return "binary file (it holds NUL bytes): skipped";
    case FileErrorKind::ChangedWhileRead: return "the file changed while it was read: skipped";
    case FileErrorKind::ChangedDuringRun:
      return "another program changed the file after this run started: skipped (run again to indent it)";
    case FileErrorKind::ChangedSinceRead:
      return "another program changed the file while it was being indented: not replaced";
    case FileErrorKind::Locked: return "another program holds the file locked: not replaced";
    case FileErrorKind::CannotConvert: return "cannot convert the text" + why;
    case FileErrorKind::CannotWrite: return "cannot write " + path + why;
    case FileErrorKind::BackupInTheWay:
      return "the backup's name " + path + " " + reason + ": the page was left as it was";
    case FileErrorKind::NotReplaceable: return path + " " + reason + ": not replaced";
  }
  return "failed" + why;
}

std::string LossReport::Describe() const {
  if (!any()) return {};
  std::vector<std::string> parts;
  const std::size_t noForm = of(LossKind::NoForm), changed = of(LossKind::Changed),
                    invalid = of(LossKind::InvalidSequence), supplementary = of(LossKind::JisX0212);
  if (noForm)
    parts.push_back(Characters(noForm) + (noForm == 1 ? " has" : " have") + " no " + std::string(EncodingName(target)) +
                    " form and became '?'");
  if (supplementary)
    parts.push_back(Characters(supplementary, "JIS X 0212 character", "JIS X 0212 characters") +
                    " became '?' (Shift_JIS lacks them)");
  if (changed)
    parts.push_back(Characters(changed) +
                    (changed == 1 ? " was written as another character" : " were written as other characters"));
  if (invalid)
    parts.push_back(Characters(invalid, "broken byte sequence", "broken byte sequences") + " became '?'");
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
  return text + " (the first on line " + std::to_string(line) + ")";
}

LossReport ReportLoss(const ConversionLoss& loss, std::string_view text, CharCodeIndex target) {
  LossReport report;
  static_cast<ConversionLoss&>(report) = loss;
  report.target = target;
  if (loss.any()) {
    const std::size_t end = std::min<std::size_t>(loss.firstPos - 1, text.size());
    report.line = 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + end, '\n'));
  }
  return report;
}

CharCodeIndex SaveEncodingFor(SaveCharSet choice, CharCodeIndex orgCharCode, CharCodeIndex readAs) {
  switch (choice) {
    case SaveCharSet::ShiftJis: return kCharCodeShiftJis;
    case SaveCharSet::Utf8: return kCharCodeUtf8;
    case SaveCharSet::Auto: break;
  }
  return orgCharCode != kCharCodeAuto ? orgCharCode : readAs;
}

EncodedText EncodeForSaving(std::string sjisText, CharCodeIndex encoding, Unmappable unmappable) {
  if (encoding != kCharCodeEucJp && encoding != kCharCodeUtf8 && encoding != kCharCodeUtf8N &&
      encoding != kCharCodeIso2022Jp)
    return EncodedText{std::move(sjisText), {}};
  std::string declared = RewriteCharsetDecl(sjisText, encoding);
  std::string().swap(sjisText);  // its memory back before the converted text is made
  Converted converted;
  switch (encoding) {
    case kCharCodeEucJp: converted = SjisToEuc(declared, unmappable); break;
    case kCharCodeIso2022Jp: converted = SjisToJis(declared, unmappable); break;
    default: converted = SjisToUtf8(declared); break;
  }
  LossReport loss = ReportLoss(converted.loss, converted.text, encoding);
  return EncodedText{std::move(converted.text), std::move(loss)};
}

std::string BackupPathFor(const std::string& path) {
  const std::filesystem::path target(path);
  return (target.parent_path() / ("ZZBU_" + target.filename().string())).string();
}

std::string WithHtmlExtension(const std::string& path) {
  return std::filesystem::path(path).has_extension() ? path : path + ".html";
}

}  // namespace zelm
