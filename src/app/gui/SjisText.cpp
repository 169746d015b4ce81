#include "app/gui/SjisText.h"

#include <QFile>
#include <algorithm>

#include "encoding/CodePage932.h"
#include "text/StringUtil.h"

namespace zelm::gui {

std::string ToSjisLines(const QString& text) { return ToSjisLinesReporting(text).text; }

SjisLines ToSjisLinesReporting(const QString& text) {
  const Converted converted = Utf16ToCp932(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
  SjisLines lines{NormalizeLineEnds(converted.text), converted.loss, 0};
  if (lines.loss.any()) {
    const auto before = std::string_view(converted.text).substr(0, lines.loss.firstPos - 1);
    lines.lossLine = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
  }
  return lines;
}

QString FromLocalPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

std::string ToLocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace zelm::gui
