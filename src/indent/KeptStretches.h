// Preformatted stretches kept byte for byte: in <pre> and <textarea> the
// line breaks and leading blanks are what the page shows, so with the
// option to keep them, every byte from an opening <pre or <textarea to its
// closing tag goes through the passes untouched.
//
// The passes never see such a stretch: it is set aside and a stand-in takes
// its place, "<pre>" (or "<textarea>"), a token and the closing tag, which
// the passes place and indent as they place any such element. Once they
// are done, each stand-in, with the line breaks, blanks and level markers
// the passes put into it, is replaced by its stretch again.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelm {

// The stretches of a Shift_JIS text, in order: from "<pre" or "<textarea"
// (any case, followed by the end of the tag name) through the first closing
// tag of the same element after it. An opening tag without a closing tag
// starts no stretch; comments, scripts and styles are passed over.
std::vector<std::string_view> FindKeptStretches(std::string_view text);

// The index of the first of `stretches` that does not stand in `text`
// after the ones before it, or nullopt when all do, in order. (Broken markup
// can make new stretches on the way, "<pre" and a line break: a page's own
// stretches are kept when they all stand there, in order.)
std::optional<std::size_t> FirstStretchMissing(std::string_view text, const std::vector<std::string_view>& stretches);

struct SetAside {
  std::string text;                     // the text with a stand-in for each stretch
  std::vector<std::string> stretches;   // the stretches, in order
  std::string token;                    // the start of every stand-in's token
  bool any() const { return !stretches.empty(); }
};

// Sets every stretch of `text` aside.
SetAside SetStretchesAside(std::string_view text);

// Puts the stretches back in place of their stand-ins in a text the passes
// made from aside.text (with level markers or without).
std::string PutStretchesBack(std::string_view text, const SetAside& aside);

}  // namespace zelm
