// Whole-text passes that prepare a converted source for the level pass:
// tag-case normalisation, charset declaration rewriting and line breaking.
#pragma once

#include <string>
#include <string_view>

namespace zelm {

// Drops blank lines, widens tabs to two spaces and lowers upper-case tag
// names, common attribute names and a few attribute values.
std::string NormalizeTagCase(std::string_view text);

// Rewrites the document's own charset declarations. Target is a
// CharCodeIndex: 0 declares Shift_JIS (the text has just been converted to
// it); 1 euc-jp, 2 utf-8, 4 iso-2022-jp and 5 utf-8 (no byte-order mark)
// prepare a Shift_JIS text for saving in that encoding. Other targets leave
// the text unchanged.
std::string RewriteCharsetDecl(std::string_view text, int target);

// False when RewriteCharsetDecl(text, 0) certainly leaves the text as it is:
// it holds neither "charset=" nor "encoding=".
bool MayHoldCharsetDecl(std::string_view text);

// Folds whitespace between tags and puts line breaks before and after a
// fixed set of tags: the ordered rule list applied one rule after another.
std::string PreBreakLines(std::string_view text);

// The light variant: folds whitespace between tags and breaks around
// comments only.
std::string LightBreakLines(std::string_view text);

}  // namespace zelm
