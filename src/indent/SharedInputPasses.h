// The input passes that follow the conversion, over a large page shared out
// on several threads: the page is cut at line breaks no pass looks across,
// and the parts go through the passes side by side.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/Parallel.h"

namespace zelm {

// Starts of parts of about equal size (the first at 0): each right after a
// CR LF that ends a line that is not blank and starts one whose first byte
// after blanks is printable ASCII other than ">", and not the "<" of a
// closing tag. No rule of tag-case normalisation or line breaking matches
// across such a line break and line adjustment never joins the two lines.
// The level pass looks across it for the part's first line, which it
// passes once the part before is done, and for the marker of a table,
// which the Result does not hold.
std::vector<std::size_t> InputPassCuts(std::string_view text, const PassSharing& sharing);

// The passes from tag case to line adjustment, as the input stage runs them.
struct InputPasses {
  bool normaliseCase = false;                              // NormalizeTagCase first
  std::function<std::string(std::string_view)> breakLines;  // the line breaking chosen
};

// NormalizeTagCase (when asked), RewriteCharsetDecl(text, 0), the line
// breaking and AdjustLines, one after another, on the parts of `text` side
// by side: the same bytes as on the whole text. Gives nullopt when the text
// is not cut into parts, or when a part after the first may hold a charset
// declaration (whose rewriting looks at the whole text).
std::optional<std::string> SharedLocalText(std::string_view text, const InputPasses& passes,
                                           const PassSharing& sharing);

// The same passes followed by the level pass, as IndentWithoutMarkers(local,
// indentType) gives it, each part going through all of them on one thread.
// Throws IndentationTooLarge as the level pass does.
std::optional<std::string> SharedIndentedText(std::string_view text, const InputPasses& passes, int indentType,
                                              const PassSharing& sharing);

// Whether the line at `at` starts alone, as InputPassCuts needs it: blanks,
// then printable ASCII other than ">", and not "</".
bool StartsLineAlone(std::string_view text, std::size_t at);

// Where the comment or script that `at` seems to stand in ends (looked for
// within `text`), or npos. A part that starts inside one is guessed wrong
// and passed twice, so cuts are steered past them.
std::size_t EndOfCommentOrScriptAround(std::string_view text, std::size_t at);

// How far past the next aimed-at place the end of a comment or script is
// looked for.
constexpr std::size_t kBlockReach = std::size_t{64} << 10;

// The same passes on a text given in parts: each but the last ends with CR
// LF after a byte above blank, and each after the first starts alone. Gives nullopt
// as the other form does.
std::optional<std::string> SharedIndentedText(const std::vector<std::string>& parts, const InputPasses& passes,
                                              int indentType, const PassSharing& sharing);

// The same Result in pieces that, joined, are the Result: no buffer for the
// whole of it is made. The text comes as `count` parts (as in the form
// above) that makePart(k) makes when they are needed (again, for a part passed a
// second time), so that the whole text is never held at once; none of them
// after the first may hold a charset declaration (MayHoldCharsetDecl), and
// makePart is called from several threads.
std::optional<std::vector<std::string>> SharedIndentedPieces(std::size_t count,
                                                             const std::function<std::string(std::size_t)>& makePart,
                                                             const InputPasses& passes, int indentType,
                                                             const PassSharing& sharing);

}  // namespace zelm
