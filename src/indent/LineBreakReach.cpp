#include "indent/LineBreakReach.h"

#include <stdexcept>

#include "text/StringUtil.h"

namespace zelm {
namespace {

bool IsBlankLine(std::string_view line) {
  for (char c : line)
    if (static_cast<unsigned char>(c) > 0x20) return false;
  return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
  return true;
}

// The line that ends right before the line break in front of `lineStart`.
std::string_view LineBefore(std::string_view text, std::size_t lineStart) {
  std::size_t end = lineStart;
  if (end > 0 && text[end - 1] == '\n') --end;
  if (end > 0 && text[end - 1] == '\r') --end;
  std::size_t start = end;
  while (start > 0 && text[start - 1] != '\n' && text[start - 1] != '\r') --start;
  return text.substr(start, end - start);
}

std::string_view LineAt(std::string_view text, std::size_t lineStart) {
  const std::size_t end = text.find_first_of("\r\n", lineStart);
  return text.substr(lineStart, (end == std::string_view::npos ? text.size() : end) - lineStart);
}

// The line without what `lead` lets stand in front of the rule's text.
std::string_view AfterLead(std::string_view line, LineBreakReach::Lead lead, std::size_t maxSpaces) {
  std::size_t at = 0;
  switch (lead) {
    case LineBreakReach::Lead::kNone: break;
    case LineBreakReach::Lead::kSpaces:
      while (at < line.size() && at < maxSpaces && line[at] == ' ') ++at;
      break;
    case LineBreakReach::Lead::kBlanks:
      for (;;) {
        if (at < line.size() && static_cast<unsigned char>(line[at]) <= 0x20) ++at;
        else if (line.substr(at).starts_with("\x81\x40")) at += 2;  // a full-width space
        else break;
      }
      break;
  }
  return line.substr(at);
}

}  // namespace

bool LineBreakReach::AppliesAt(std::string_view text, std::size_t lineStart) const {
  const std::string_view previous = LineBefore(text, lineStart);
  const std::string_view next = LineAt(text, lineStart);
  if (kind == Kind::kBlankLine) return IsBlankLine(previous) || IsBlankLine(next);
  if (previous.size() < before.size()) return false;
  if (!StartsWithNoCase(previous.substr(previous.size() - before.size()), before)) return false;
  return StartsWithNoCase(AfterLead(next, lead, maxSpaces), after);
}

std::vector<LineBreakReach> ReachOfPattern(std::string_view pattern) {
  const std::size_t lineBreak = pattern.find_first_of("\r\n");
  if (lineBreak == std::string_view::npos) return {};
  std::size_t afterBreak = lineBreak + 1;
  if (pattern[lineBreak] == '\r' && afterBreak < pattern.size() && pattern[afterBreak] == '\n') ++afterBreak;
  const std::string_view after = pattern.substr(afterBreak);
  if (after.find_first_of("\r\n") != std::string_view::npos)
    throw std::logic_error("a rule reaches over a whole line: " + std::string(pattern));
  return {LineBreakReach::Text(std::string(pattern.substr(0, lineBreak)), std::string(after))};
}

}  // namespace zelm
