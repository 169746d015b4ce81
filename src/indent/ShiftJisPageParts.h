// A large page the automatic mode reads as Shift_JIS, converted part by
// part: each part gets the passes the whole page would get (blank lines
// dropped, the charset label read, the label's other spellings rewritten,
// line ends folded) on its own, when its passes need it, so that the page
// is never held converted as a whole.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/CharCode.h"
#include "encoding/CharsetLabel.h"
#include "indent/LineBreakReach.h"

namespace zelm {

// Starts of up to `parts` parts of `native` (the first at 0), each right
// after a line feed that ends a line whose last byte is printable ASCII, in
// front of a line that starts alone (StartsLineAlone) with no blank, where
// none of `reaches` applies, and steered out of comments and scripts. No
// blank line, run of line ends, double-byte character or label spans such a
// cut, and once converted the parts are parts the input passes take. The
// first part reaches past the first "<body"; the others are of about equal
// size.
std::vector<std::size_t> ConversionCuts(std::string_view native, const std::vector<LineBreakReach>& reaches,
                                        std::size_t parts);

class ShiftJisPageParts {
 public:
  // nullopt when the automatic mode does not read the page as Shift_JIS,
  // or when its first part (up to the first conversion cut) does not show
  // that: it holds no "</head".
  static std::optional<ShiftJisPageParts> Of(std::string_view firstPart);

  // What RemoveBlankLines and the automatic mode make of a part of the page
  // cut at its conversion cuts: the parts joined are the converted page.
  // The labels the part holds are added to `labels`, for Declared.
  static std::string Converted(std::string_view part, WholeTextLabels& labels);

  // GetCharCodeFromMeta of the page with blank lines dropped, given the
  // labels of all its parts.
  CharCodeIndex Declared(const WholeTextLabels& labels) const;

 private:
  explicit ShiftJisPageParts(std::string beforeBody) : beforeBody_(std::move(beforeBody)) {}

  std::string beforeBody_;  // the head, blank lines dropped
};

}  // namespace zelm
