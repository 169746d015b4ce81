// Texts from outside the program at the edge of Qt: the clipboard and file
// names. (Short Shift_JIS texts to and from Qt: SjisToQString and
// QStringToSjis of PaneText.h.)
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "encoding/Converted.h"

namespace zelm::gui {

// Text from outside the program (clipboard) as Shift_JIS with CR LF line
// ends, the form every text of the program has.
std::string ToSjisLines(const QString& text);
// The same, with what the conversion could not carry.
struct SjisLines {
  std::string text;
  ConversionLoss loss;
  std::size_t lossLine = 0;  // 1-based line of the first lost character
};
SjisLines ToSjisLinesReporting(const QString& text);
// A local file name (bytes of the file system) as Qt text and back.
QString FromLocalPath(const std::string& path);
std::string ToLocalPath(const QString& path);

}  // namespace zelm::gui
