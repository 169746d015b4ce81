// The level pass on whole texts, and cutting its markers away again.
#include "indent/LevelMarkers.h"

#include <array>

#include "indent/LevelMarkerFormat.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using namespace marker;

// The pass over a whole text from the start, writing the texts given.
void PassWhole(std::string_view text, int indentType, std::string* work, std::string* result) {
  LevelPassOutput output;
  output.indentType = indentType;
  output.work = work;
  output.result = result;
  PassLevels({text, 0, text.size()}, LevelState{}, output);
}

// Symbols that only ever stood inside cut markers, or that older texts carry.
constexpr std::array<std::string_view, 5> kSymbolsToRemove{
    kRepeatedLevelOpen,  // ◎●
    kClosedInLineShort,  // ◎○
    "\x81\x9d\x81\x90",  // ◎＄
    kRepeated,           // ◎□
    "\x81\xa1\x81\x9e",  // ■◇
};

}  // namespace

std::string IndentString(int level, int indentType) {
  std::string indent;
  AppendIndent(indent, level, indentType);
  return indent;
}

std::string MarkIndentLevels(std::string_view text, int indentType) {
  std::string work;
  PassWhole(text, indentType, &work, nullptr);
  return work;
}

MarkedText MarkIndentLevelsWithResult(std::string_view text, int indentType) {
  MarkedText marked;
  PassWhole(text, indentType, &marked.work, &marked.result);
  return marked;
}

std::string IndentWithoutMarkers(std::string_view text, int indentType) {
  std::string result;
  PassWhole(text, indentType, nullptr, &result);
  return result;
}

std::string StripLevelMarkers(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::string_view line : SplitLines(text)) {
    if (PlainTrimView(line).empty()) continue;
    out += line.substr(MarkerLengthAt(line));
    out += "\r\n";
  }
  return out;
}

std::string RemoveMarkerSymbols(std::string_view text) {
  std::string out(text);
  for (std::string_view symbols : kSymbolsToRemove) out = ReplaceAllText(out, symbols, "");
  return out;
}

}  // namespace zelm
