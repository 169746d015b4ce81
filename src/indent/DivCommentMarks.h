// Comment labels inside closing div tags.
//
// An author labels the end of a block by writing a comment into the closing
// tag itself, between a start mark and an end mark: "</div @-- header --@ >".
// Browsers ignore what stands between "</div" and ">", so the page still
// shows, and every closing tag becomes searchable. Three commands work on
// whole texts (Shift_JIS, CR LF):
//   insert:  every plain "</div>" on a line that closes a div without
//            opening one gets marks around a placeholder text;
//   remove:  every marked comment is deleted, giving plain closing tags;
//   replace: every marked closing tag becomes "</div>" followed by an
//            ordinary comment holding the text between the marks.
// Each is linear in the size of the text.
#pragma once

#include <string>
#include <string_view>

namespace zelm {

// The marks the mark boxes start with and go back to.
inline constexpr std::string_view kDefaultStartMark = "@--";
inline constexpr std::string_view kDefaultEndMark = "--@";
// The comment text insert writes: two blanks, four "■" (Shift_JIS 81 A1),
// two blanks.
inline constexpr std::string_view kPlaceholderCommentText = "  \x81\xA1\x81\xA1\x81\xA1\x81\xA1  ";

// The start mark as it stands in a tag: " " + mark, or the mark alone with
// `noSpace`.
std::string EffectiveStartMark(std::string_view mark, bool noSpace);
// The end mark as it stands in a tag: mark + " ", or the mark alone.
std::string EffectiveEndMark(std::string_view mark, bool noSpace);

// "</div" + start + text + end + ">", the text being the placeholder, or a
// single blank with `noText`. Takes the effective marks.
std::string MarkedDivCloseTag(std::string_view start, std::string_view end, bool noText);

// Every block from an occurrence of `start` through the next `end` deleted,
// both marks included; the text unchanged when any of the three is empty.
// Takes the effective marks.
std::string BatchRemoveElement(std::string_view text, std::string_view start, std::string_view end);

// Every marked closing tag rewritten as a comment: ReplaceCommentSubStr
// with `end` + ">"; the text unchanged when any of the three is empty.
// Takes the effective marks.
std::string BatchReplaceElement(std::string_view text, std::string_view start, std::string_view end);

// Each `start` C `endTag` (the first `endTag` after the start mark) becomes
// "><!--" C "-->", from left to right. The search goes on after the text
// just written, so marks that reappear in "><!--" or "-->" are never found
// again. A start mark without an end tag after it ends the work there; the
// rest of the text stays as it is.
std::string ReplaceCommentSubStr(std::string_view text, std::string_view start, std::string_view endTag);

// --- The commands as the window and zelm-cli run them ---------------------

enum class DivMarkCommand { Insert, Remove, Replace };

struct DivMarkOptions {
  std::string startMark{kDefaultStartMark};  // the mark box texts, without the added blanks
  std::string endMark{kDefaultEndMark};
  bool noSpace = false;  // use the marks without the added blanks
  bool noText = false;   // insert: a single blank instead of the placeholder
};

// The command on a whole text. Nothing changes when a mark is empty.
std::string RunDivMarkCommand(DivMarkCommand command, std::string_view text, const DivMarkOptions& options);

}  // namespace zelm
