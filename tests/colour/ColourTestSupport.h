// Helpers shared by the colouring tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "colour/zhnHTMLRTF.h"

namespace zelm::test {

struct ScannedToken {
  TokenKind kind;
  std::string text;
  bool operator==(const ScannedToken&) const = default;
};

// Every token up to (not including) the End token.
inline std::vector<ScannedToken> ScanTokens(const std::string& text) {
  TzhnHTMLRTF scanner;
  scanner.SetSource(text);
  std::vector<ScannedToken> tokens;
  while (!scanner.AtEnd()) {
    tokens.push_back({scanner.Kind(), std::string(scanner.GetToken())});
    scanner.NextToken();
  }
  return tokens;
}

inline std::string ColourDocument(const std::string& text, bool alternate = false) {
  TzhnHTMLRTF scanner;
  if (alternate) scanner.UseAlternateColors();
  scanner.SetSource(text);
  return scanner.GetRTF();
}

// The frame every document of the HTML scanner begins with, up to and
// including the "\f0 " before the first token.
inline const std::string kDefaultFrame =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern\\fcharset128 Courier New;}}\r\n"
    "{\\colortbl\\red0\\green0\\blue0;"
    "\\red0\\green128\\blue0;\\red128\\green0\\blue0;\\red255\\green0\\blue0;\\red255\\green0\\blue0;"
    "\\red0\\green0\\blue255;\\red0\\green128\\blue0;\\red255\\green0\\blue255;\\red0\\green0\\blue255;"
    "\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;}\r\n"
    "\\deflang1033\\pard\\plain\\f0\\fs20\\f0 ";

// The coloured tokens of a document: what stands between the frame and the
// closing "\par }". Empty when the document has another frame.
inline std::string DocumentBody(const std::string& text) {
  const std::string document = ColourDocument(text);
  const std::string_view end = "\\par }";
  if (!document.starts_with(kDefaultFrame) || !document.ends_with(end)) return "<bad frame>";
  return document.substr(kDefaultFrame.size(), document.size() - kDefaultFrame.size() - end.size());
}

// The text a reader gets back from the document of `text`: every CR LF,
// lone CR and lone LF becomes CR LF, and a NUL byte ends the text.
inline std::string WithCrLfLineEnds(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
    if (text[i] == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\n') {
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace zelm::test
