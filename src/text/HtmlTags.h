// Walking the tags of an HTML text from left to right, for the checks that
// look at a page's markup: which tags stand where, what their attributes
// say, and which line each one is on.
//
// The bytes that delimit markup ("<", ">", "/", "=", quotes, blanks) are all
// below 0x40 and so never the second byte of a Shift_JIS character: the
// walk compares bytes and still finds only real characters.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace zelm {

struct HtmlTag {
  std::size_t begin = 0;   // index of the "<"
  std::size_t end = 0;     // index after the ">" (where an unterminated tag stops)
  std::string_view name;   // as written, without "<" or "</"
  bool closing = false;    // "</name"
  bool selfClosing = false;  // ends with "/>"
  bool inComment = false;  // inside "<!-- -->" (met only when comments are read)
  // For an opening script, style or textarea tag outside comments: where
  // its content ends (the "<" of its closing tag, or the end of the text).
  // The content is not markup and is passed over. Otherwise equal to end.
  std::size_t contentEnd = 0;
};

// Is `name` the tag name `lowerName`, letters compared without case?
bool IsTagName(std::string_view name, std::string_view lowerName);

// The tags of a text, one at a time. A tag is "<" or "</" followed by a
// name that starts with an ASCII letter; it ends at the first ">" after
// its name, or, when another "<" or the end of the text comes first, there.
// Comments ("<!--" to "-->") are passed over, or, when read, their tags are
// given with inComment set (a comment's "<script" starts no script).
class HtmlTagReader {
 public:
  enum class Comments { Skip, Read };

  explicit HtmlTagReader(std::string_view text, Comments comments = Comments::Skip)
      : text_(text), readComments_(comments == Comments::Read) {}

  // The next tag, or false at the end of the text.
  bool Next(HtmlTag& tag);

 private:
  std::string_view text_;
  bool readComments_;
  std::size_t at_ = 0;          // where the search for the next "<" starts
  std::size_t commentEnd_ = 0;  // when reading comments: the open comment ends here
};

// An attribute's value inside a tag's bytes [tag.begin, tag.end): without
// its quotes, as written. nullopt when the tag has no such attribute;
// attribute names are compared without case.
struct AttributeValue {
  std::string_view value;
  std::size_t begin = 0;  // index of the value's first byte in the text
};
std::optional<AttributeValue> FindAttribute(std::string_view text, const HtmlTag& tag, std::string_view lowerName);

// Line numbers of byte positions met from left to right, in one pass over
// the text however many are asked for. Lines end at CR LF, a lone CR or a
// lone LF, as everywhere in the system.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : text_(text) {}

  // Moves to the byte at `at` (never further back than the last call; not
  // the LF of a CR LF) and returns its 1-based line number.
  std::size_t MoveTo(std::size_t at);
  // Where the line of the last position starts.
  std::size_t LineStart() const { return lineStart_; }

 private:
  std::string_view text_;
  std::size_t line_ = 1;
  std::size_t lineStart_ = 0;
  std::size_t nextBreak_ = 0;  // the first line break at or after lineStart_, once found
  bool breakKnown_ = false;
};

}  // namespace zelm
