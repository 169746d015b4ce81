// The first passes of the file input over a large Shift_JIS page, shared
// out on several threads: blank lines dropped, the charset label read, the
// label's other spellings rewritten and line ends folded, each part of the
// page on its own.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/CharCode.h"
#include "encoding/CharsetLabel.h"
#include "text/Parallel.h"

namespace zelm {

// Starts of parts of `native` (the first at 0), each right after a line
// feed that ends a line whose last byte is printable ASCII, in front of a
// line that starts alone (StartsLineAlone) with no blank, and steered out
// of comments and scripts. No blank line, run of line ends, double-byte
// character or label spans such a cut, and once converted the parts are
// parts the shared input passes take. The first part reaches past the
// first "<body"; the others are of about equal size.
std::vector<std::size_t> ConversionCuts(std::string_view native, const PassSharing& sharing);

// A loaded page the automatic mode reads as Shift_JIS, cut at its
// conversion cuts: each part can be converted on its own, when it is
// needed, so that the page is never held converted as a whole.
class ShiftJisPageParts {
 public:
  // nullopt when the page is not cut into parts, when the automatic mode
  // does not read it as Shift_JIS, or when its first part does not show that
  // (it holds no "</head").
  static std::optional<ShiftJisPageParts> Of(std::string_view native, const PassSharing& sharing);

  std::size_t Count() const { return cuts_.size(); }
  std::string_view Loaded(std::size_t k) const;

  // What RemoveBlankLines and the automatic mode make of part k: the parts
  // joined are the converted page. The labels the part holds are added to
  // `labels`, for Declared.
  std::string Converted(std::size_t k, WholeTextLabels& labels) const;

  // GetCharCodeFromMeta of the page with blank lines dropped, given the
  // labels of all its parts.
  CharCodeIndex Declared(const WholeTextLabels& labels) const;

 private:
  ShiftJisPageParts(std::string_view native, std::vector<std::size_t> cuts, std::string beforeBody)
      : native_(native), cuts_(std::move(cuts)), beforeBody_(std::move(beforeBody)) {}

  std::string_view native_;
  std::vector<std::size_t> cuts_;
  std::string beforeBody_;  // the head, blank lines dropped
};

// The loaded page as the automatic mode converts it, in parts, and the code
// its label declares.
struct ConvertedShiftJisPage {
  std::vector<std::string> parts;
  CharCodeIndex declared = kCharCodeAuto;
};

// Every part of ShiftJisPageParts::Of(native) converted, side by side:
// joined, the parts are the bytes the whole page gives.
std::optional<ConvertedShiftJisPage> ConvertShiftJisPageSideBySide(std::string_view native,
                                                                   const PassSharing& sharing);

// The parts joined into one text, side by side, each freed once copied.
std::string JoinParts(std::vector<std::string>& parts, unsigned threads);

}  // namespace zelm
