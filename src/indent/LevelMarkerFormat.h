// The fixed-width comments the level pass writes at the start of Work lines,
// and the exact reader that recognises them again when they are cut away.
//
// A level marker is "<!-- ( " + line number (right-aligned, 4 columns) +
// " ) " + two full-width symbols + "%" + abbreviation or filler + "[" or " ["
// + level (right-aligned, 3 columns) + "]%-->": 30 bytes while the line
// number has at most 4 digits and the level at most 3.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zelm::marker {

// Two-symbol classifications, as the Shift_JIS bytes of full-width symbols.
inline constexpr std::string_view kScriptClose = "\x81\x9d\x81\xa2";           // ◎△ closes a script
inline constexpr std::string_view kTextClosingCell = "\x81\x9b\x81\x9b";       // ○○ text closing a cell or term
inline constexpr std::string_view kTextClosingLevel = "\x81\xa0\x81\x9c";      // □● text closing a level element
inline constexpr std::string_view kTextPlain = "\x81\x9b\x81\xa0";             // ○□ text without a closing tag
inline constexpr std::string_view kTextClosingInline = "\x81\x9b\x81\xa1";     // ○■ text closing something else
inline constexpr std::string_view kSpanCloseShort = "\x81\xa1\x81\x9f";        // ■◆ closes a span, one-letter tag
inline constexpr std::string_view kSpanClose = "\x81\xa0\x81\x9f";             // □◆ closes a span
inline constexpr std::string_view kCellClose = "\x81\x9e\x81\x9e";             // ◇◇ closes a cell
inline constexpr std::string_view kLevelClose = "\x81\xa2\x81\xa3";            // △▲ closes a level element
inline constexpr std::string_view kTableCloseAfterRow = "\x81\x9f\x81\x9f";    // ◆◆ "</table>" after "</tr>"
inline constexpr std::string_view kTableClose = "\x81\xa0\x81\xa0";            // □□ other "</table>"
inline constexpr std::string_view kOtherClose = "\x81\xa1\x81\xa1";            // ■■ other closing tag
inline constexpr std::string_view kClosedInLineShort = "\x81\x9d\x81\x9b";     // ◎○ closed on its line, one letter
inline constexpr std::string_view kClosedInLine = "\x81\x9d\x81\x9e";          // ◎◇ closed on its line; a bare "<p>"
inline constexpr std::string_view kTableBeforeRow = "\x81\x9d\x81\x9d";        // ◎◎ table followed by "<tr>"
inline constexpr std::string_view kTableOther = "\x81\xac\x81\xac";            // 〓〓 other table
inline constexpr std::string_view kNewKindShort = "\x81\x9d\x81\x9f";          // ◎◆ new element kind, one letter
inline constexpr std::string_view kScriptOpen = "\x81\x9d\x81\xa4";            // ◎▽ opens a script
inline constexpr std::string_view kNewKind = "\x81\xa4\x81\xa5";               // ▽▼ new element kind
inline constexpr std::string_view kRepeatedLevelOpen = "\x81\x9d\x81\x9c";     // ◎● repeats a level element
inline constexpr std::string_view kRepeatedParagraph = "\x81\xa3\x81\xa5";     // ▲▼ repeats "<p>"
inline constexpr std::string_view kRepeatedShort = "\x81\x9b\x81\xa5";         // ○▼ repeats a one-letter tag
inline constexpr std::string_view kRepeated = "\x81\x9d\x81\xa0";              // ◎□ repeats another tag

// Every classification a level marker can carry.
inline constexpr std::array<std::string_view, 23> kLevelMarkerSymbols{
    kScriptClose, kTextClosingCell, kTextClosingLevel, kTextPlain, kTextClosingInline,
    kSpanCloseShort, kSpanClose, kCellClose, kLevelClose, kTableCloseAfterRow, kTableClose,
    kOtherClose, kClosedInLineShort, kClosedInLine, kTableBeforeRow, kTableOther, kNewKindShort,
    kScriptOpen, kNewKind, kRepeatedLevelOpen, kRepeatedParagraph, kRepeatedShort, kRepeated,
};

// Fillers that stand in the abbreviation's place on text lines.
inline constexpr std::string_view kFillerCell = "##";
inline constexpr std::string_view kFillerPlain = "**";
inline constexpr std::string_view kFillerOther = "$$";

// Prefixes of comment lines in the body, 30 bytes each.
inline constexpr std::string_view kCommentOneLine = "<!--% 0                   %-->";
inline constexpr std::string_view kCommentFirst = "<!--%   1                 %-->";
inline constexpr std::string_view kCommentMiddle = "<!--%     2               %-->";
inline constexpr std::string_view kCommentLast = "<!--%       3             %-->";
inline constexpr std::array<std::string_view, 4> kCommentPrefixes{kCommentOneLine, kCommentFirst, kCommentMiddle,
                                                                  kCommentLast};

// "▲▽  %-->": lines between the head and the body that hold no " <"; cut
// with the other markers.
inline constexpr std::string_view kBetweenSectionsPrefix = "\x81\xa3\x81\xa4  %-->";
// "■▽": the other lines between head and body. Not a marker: it stays in the
// indented text to draw the author's eye.
inline constexpr std::string_view kBetweenSectionsTagPrefix = "\x81\xa1\x81\xa4";

// Appends the level marker of line `lineNumber`. An abbreviation shorter
// than two bytes is followed by spaces before "[", so the marker keeps its
// width whatever the tag.
void AppendLevelMarker(std::string& out, std::size_t lineNumber, std::string_view symbols,
                       std::string_view abbreviation, int level);

// Appends "<!-- ( " + line number + " )" + 13 spaces + "%-->", the prefix of
// script and code-like lines.
void AppendCodePrefix(std::string& out, std::size_t lineNumber);

// Length of the marker that starts the line at its first byte, or 0 when the
// line does not start with one. Recognises exactly what the level pass
// writes: level markers (also with longer line numbers and levels), the code
// prefix, the four comment prefixes and kBetweenSectionsPrefix.
std::size_t MarkerLengthAt(std::string_view line);

}  // namespace zelm::marker
