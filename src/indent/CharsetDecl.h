// Rewriting a page's own charset declarations: to Shift_JIS after the text
// was converted to it, and to the encoding a file is about to be saved in.
#pragma once

#include <string>
#include <string_view>

namespace zelm {

// Rewrites the document's own charset declarations. Target is a
// CharCodeIndex: 0 declares Shift_JIS (the text has just been converted to
// it); 1 euc-jp, 2 utf-8, 4 iso-2022-jp and 5 utf-8 (no byte-order mark)
// prepare a Shift_JIS text for saving in that encoding. Other targets leave
// the text unchanged. Each rule rewrites the first declaration of its
// spelling in the whole text, so a text is cut for it only where no part
// after the first may hold one.
std::string RewriteCharsetDecl(std::string_view text, int target);

// False when RewriteCharsetDecl(text, 0) certainly leaves the text as it is:
// it holds neither "charset=" nor "encoding=".
bool MayHoldCharsetDecl(std::string_view text);

}  // namespace zelm
