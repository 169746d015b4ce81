#include "text/HtmlTags.h"

#include <array>

#include "text/ByteScan.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// A tag name runs up to a blank, "/", ">" or the next "<".
bool EndsTagName(char c) { return IsBlank(c) || c == '/' || c == '>' || c == '<'; }

// Elements whose content is text, not markup: a "<div>" written in a
// script or a text area is no tag of the page.
constexpr std::array<std::string_view, 3> kTextContentElements{"script", "style", "textarea"};

bool HoldsTextContent(std::string_view name) {
  for (std::string_view element : kTextContentElements)
    if (IsTagName(name, element)) return true;
  return false;
}

// The "<" of the first "</name" (name whole, without case) at or after
// `from`; the end of the text when there is none.
std::size_t FindClosingTag(std::string_view text, std::string_view lowerName, std::size_t from) {
  for (std::size_t at = FindPair(text, from, '<', '/'); at != npos; at = FindPair(text, at + 1, '<', '/')) {
    const std::size_t after = at + 2 + lowerName.size();
    const bool named = EqualsLowerNoCase(text.substr(at + 2, lowerName.size()), lowerName);
    if (named && (after >= text.size() || EndsTagName(text[after]))) return at;
  }
  return text.size();
}

}  // namespace

bool IsTagName(std::string_view name, std::string_view lowerName) { return EqualsLowerNoCase(name, lowerName); }

bool HtmlTagReader::Next(HtmlTag& tag) {
  const std::size_t size = text_.size();
  while (at_ < size) {
    const std::size_t lt = FindByte(text_, at_, '<');
    if (lt == npos) break;
    const bool inComment = readComments_ && lt < commentEnd_;
    if (text_.substr(lt, 4) == "<!--") {
      if (inComment) {  // comments do not nest
        at_ = lt + 1;
        continue;
      }
      // "<!-->" and "<!--->" are whole comments.
      const std::size_t close = FindBytes(text_, "-->", lt + 2);
      const std::size_t end = close == npos ? size : close + 3;
      if (readComments_) {
        commentEnd_ = end;
        at_ = lt + 4;
      } else {
        at_ = end;
      }
      continue;
    }
    std::size_t nameBegin = lt + 1;
    const bool closing = nameBegin < size && text_[nameBegin] == '/';
    if (closing) ++nameBegin;
    if (nameBegin >= size || !IsAsciiLetter(text_[nameBegin])) {
      at_ = lt + 1;
      continue;
    }
    std::size_t nameEnd = nameBegin;
    while (nameEnd < size && !EndsTagName(text_[nameEnd])) ++nameEnd;
    const std::size_t stop = FindAnyOf<2>(text_, nameEnd, {'>', '<'});
    tag = HtmlTag{};
    tag.begin = lt;
    tag.name = text_.substr(nameBegin, nameEnd - nameBegin);
    tag.closing = closing;
    tag.inComment = inComment;
    if (stop != npos && text_[stop] == '>') {
      tag.end = stop + 1;
      tag.selfClosing = !closing && text_[stop - 1] == '/';
    } else {
      tag.end = stop == npos ? size : stop;
    }
    tag.contentEnd = tag.end;
    if (!closing && !inComment && !tag.selfClosing && HoldsTextContent(tag.name)) {
      std::array<char, 8> lower{};
      for (std::size_t k = 0; k < tag.name.size(); ++k) lower[k] = AsciiLower(tag.name[k]);
      tag.contentEnd = FindClosingTag(text_, std::string_view(lower.data(), tag.name.size()), tag.end);
    }
    at_ = tag.contentEnd;
    return true;
  }
  at_ = size;
  return false;
}

std::optional<AttributeValue> FindAttribute(std::string_view text, const HtmlTag& tag, std::string_view lowerName) {
  std::size_t end = tag.end;
  if (end > tag.begin && text[end - 1] == '>') --end;
  std::size_t i = tag.begin + 1 + (tag.closing ? 1 : 0) + tag.name.size();
  auto skipBlanks = [&] {
    while (i < end && IsBlank(text[i])) ++i;
  };
  while (i < end) {
    while (i < end && (IsBlank(text[i]) || text[i] == '/')) ++i;
    const std::size_t nameBegin = i;
    while (i < end && !IsBlank(text[i]) && text[i] != '=' && text[i] != '/') ++i;
    const std::string_view name = text.substr(nameBegin, i - nameBegin);
    skipBlanks();
    AttributeValue value{{}, i};
    if (i < end && text[i] == '=') {
      ++i;
      skipBlanks();
      if (i < end && (text[i] == '"' || text[i] == '\'')) {
        const char quote = text[i];
        const std::size_t valueBegin = ++i;
        while (i < end && text[i] != quote) ++i;
        value = {text.substr(valueBegin, i - valueBegin), valueBegin};
        if (i < end) ++i;  // the closing quote
      } else {
        const std::size_t valueBegin = i;
        while (i < end && !IsBlank(text[i])) ++i;
        value = {text.substr(valueBegin, i - valueBegin), valueBegin};
      }
    }
    if (!name.empty() && IsTagName(name, lowerName)) return value;
  }
  return std::nullopt;
}

std::size_t LineCursor::MoveTo(std::size_t at) {
  const std::size_t size = text_.size();
  while (true) {
    if (!breakKnown_) {
      nextBreak_ = NextLineBreak(text_, lineStart_);
      breakKnown_ = true;
    }
    if (nextBreak_ >= at || nextBreak_ >= size) return line_;
    std::size_t next = nextBreak_ + 1;
    if (text_[nextBreak_] == '\r' && next < size && text_[next] == '\n') ++next;
    ++line_;
    lineStart_ = next;
    breakKnown_ = false;
  }
}

}  // namespace zelm
