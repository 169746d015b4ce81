#include "app/FileCommands.h"

#include <algorithm>
#include <filesystem>

#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"
#include "indent/CharsetDecl.h"

namespace zelm {
namespace {

std::string Characters(std::size_t count, std::string_view one = "character", std::string_view many = "characters") {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

std::string_view EncodingName(CharCodeIndex encoding) {
  switch (encoding) {
    case kCharCodeEucJp: return "EUC-JP";
    case kCharCodeUtf8:
    case kCharCodeUtf8N: return "UTF-8";
    case kCharCodeIso2022Jp: return "ISO-2022-JP";
    default: return "Shift_JIS";
  }
}

std::size_t LineOfPosition(std::string_view text, std::size_t position) {
  const std::size_t end = std::min(position == 0 ? 0 : position - 1, text.size());
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + end, '\n'));
}

std::string FileError::Describe() const {
  const std::string why = reason.empty() ? std::string() : ": " + reason;
  switch (kind) {
    case FileErrorKind::NotFound: return "no such file";
    case FileErrorKind::NotAFile: return (reason.empty() ? std::string("not a regular file") : reason) + ", not a page";
    case FileErrorKind::Unreadable: return "cannot read the file" + why;
    case FileErrorKind::Empty: return "the file is empty: nothing to do";
    case FileErrorKind::Binary: return "binary file (it holds NUL bytes): skipped";
    case FileErrorKind::ChangedWhileRead: return "the file changed while it was read: skipped";
    case FileErrorKind::ChangedDuringRun:
      return "another program changed the file after this run started: skipped (run again to indent it)";
    case FileErrorKind::ChangedSinceRead:
      return "another program changed the file after it was read: not replaced";
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

LossReport ReportLoss(const ConversionLoss& loss, std::size_t line, CharCodeIndex target) {
  LossReport report;
  static_cast<ConversionLoss&>(report) = loss;
  report.line = loss.any() ? line : 0;
  report.target = target;
  return report;
}

LossReport ReportLoss(const ConversionLoss& loss, std::string_view text, CharCodeIndex target) {
  return ReportLoss(loss, loss.any() ? LineOfPosition(text, loss.firstPos) : 0, target);
}

CharCodeIndex SaveEncodingFor(SaveCharSet choice, CharCodeIndex orgCharCode, CharCodeIndex readAs) {
  switch (choice) {
    case SaveCharSet::ShiftJis: return kCharCodeShiftJis;
    case SaveCharSet::Utf8: return kCharCodeUtf8;
    case SaveCharSet::Auto: break;
  }
  return orgCharCode != kCharCodeAuto ? orgCharCode : readAs;
}

namespace {

// The encodings a Shift_JIS text is converted for; the others write it as it is.
bool Converts(CharCodeIndex encoding) {
  return encoding == kCharCodeEucJp || encoding == kCharCodeUtf8 || encoding == kCharCodeUtf8N ||
         encoding == kCharCodeIso2022Jp;
}

EncodedText Convert(std::string_view sjisText, CharCodeIndex encoding, Unmappable unmappable) {
  Converted converted;
  switch (encoding) {
    case kCharCodeEucJp: converted = SjisToEuc(sjisText, unmappable); break;
    case kCharCodeIso2022Jp: converted = SjisToJis(sjisText, unmappable); break;
    default: converted = SjisToUtf8(sjisText); break;
  }
  LossReport loss = ReportLoss(converted.loss, converted.text, encoding);
  return EncodedText{std::move(converted.text), std::move(loss)};
}

}  // namespace

EncodedText EncodeForSaving(std::string sjisText, CharCodeIndex encoding, Unmappable unmappable) {
  if (!Converts(encoding)) return EncodedText{std::move(sjisText), {}};
  std::string declared = RewriteCharsetDecl(sjisText, encoding);
  std::string().swap(sjisText);  // its memory back before the converted text is made
  return Convert(declared, encoding, unmappable);
}

EncodedText EncodeText(std::string sjisText, CharCodeIndex encoding, Unmappable unmappable) {
  if (!Converts(encoding)) return EncodedText{std::move(sjisText), {}};
  return Convert(sjisText, encoding, unmappable);
}

std::string BackupPathFor(const std::string& path) {
  const std::filesystem::path target(path);
  return (target.parent_path() / ("ZZBU_" + target.filename().string())).string();
}

std::string WithHtmlExtension(const std::string& path) {
  return std::filesystem::path(path).has_extension() ? path : path + ".html";
}

}  // namespace zelm
