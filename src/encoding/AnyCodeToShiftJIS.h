// Brings the bytes of a loaded document, whatever their encoding, to
// Shift_JIS: by the encoding the user chose, or by the charset label found
// in the document's head.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "encoding/CharCode.h"
#include "encoding/Converted.h"

namespace zelm {

// Whether a conversion folds line ends (see FoldLineEnds) as specified, or
// keeps them as they are (for text kept byte for byte, as in <pre>).
enum class LineEnds { Fold, Keep };

// What the automatic mode made of a text, and why.
struct AutoConversion {
  Converted result;
  // The encoding the text was read as (EUC-JP, UTF-8, Shift_JIS or
  // ISO-2022-JP); kCharCodeAuto for an empty text.
  CharCodeIndex readAs = kCharCodeAuto;
  // The charset label in the head area that chose the reading, as found
  // (lower case); empty when there was none.
  std::string_view label;
  // UTF-8 was tried (a utf-8 label, or no label) but the text is not UTF-8,
  // so its bytes were kept as Shift_JIS.
  bool keptAsIs = false;
};

// The automatic mode. The head area (the text before "</head", else before
// the first "<link", else before the first "<script", else all of it) is
// searched without case for the labels shift_jis" shift-jis" xsjis" x-sjis
// (kept as Shift_JIS, its other spellings of Shift_JIS rewritten), euc-jp",
// utf-8" and iso-2022-jp", in that order of preference. Without a label the
// text is tried as UTF-8. A text labelled UTF-8 that is UTF-8 apart from a
// few broken sequences is read as UTF-8, each broken sequence becoming a
// reported "?"; one that is not is kept as Shift_JIS. Line ends are folded
// except for ISO-2022-JP. `unmappable`: how characters without an exact
// Shift_JIS form are written (see CodePointsToCp932).
AutoConversion ConvertAutomatically(std::string_view text, Unmappable unmappable = Unmappable::Question,
                                    LineEnds lineEnds = LineEnds::Fold);

// For a text whose head area ends inside `start`, a first part of it:
// whether the automatic mode reads the text as Shift_JIS. nullopt when
// "</head" is not in `start`, which then cannot tell.
std::optional<bool> AutomaticModeReadsShiftJis(std::string_view start);

// What the automatic mode makes of a text it reads as Shift_JIS: its other
// spellings of the label rewritten, line ends folded. Parts of the text cut
// right after a CR LF or LF, in front of a printable ASCII byte, give the
// parts of the whole text's result.
std::string ConvertShiftJisPage(std::string_view text);
std::string ConvertShiftJisPageTaking(std::string text);

// Converts raw document bytes to Shift_JIS. `code`: 0 automatic, 1 EUC-JP,
// 2 UTF-8 (a byte-order mark becomes a leading "?"), 3 Shift_JIS (returned
// unchanged), 4 ISO-2022-JP, 5 UTF-8 (a byte-order mark is dropped); any
// other value returns the text unchanged.
// Throws EncodingError when the system cannot convert at all.
Converted AnyCodeToShiftJIS(std::string_view text, CharCodeIndex code, Unmappable unmappable = Unmappable::Question,
                            LineEnds lineEnds = LineEnds::Fold);

// The line-end folding applied after conversion, the same as three
// replace-alls in turn: CR LF to LF, each pair of LFs to one LF (so a run of
// k line ends becomes ceil(k/2) of them), LF to CR LF. With `tracked`, the
// 1-based position it holds is moved to where the same character stands in
// the result.
std::string FoldLineEnds(std::string_view text, Pos* tracked = nullptr);
// The same, giving the text itself back when folding changes nothing, as
// on most pages once blank lines are dropped.
std::string FoldLineEndsTaking(std::string text);

// Every Shift-JIS", XJIS" and X-JIS" (letters compared without case)
// rewritten as Shift_JIS".
std::string RewriteShiftJisLabels(std::string_view text);

}  // namespace zelm
