#include "indent/DivCommentMarks.h"

#include "indent/HTMLtagUtil.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// The first character boundary at or after `target`, walking from the
// boundary `known` (known <= target).
std::size_t BoundaryAtOrAfter(std::string_view text, std::size_t known, std::size_t target) {
  while (known < target && known < text.size()) known += SjisCharLength(text, known);
  return known < target ? target : known;
}

}  // namespace

std::string EffectiveStartMark(std::string_view mark, bool noSpace) {
  std::string start = noSpace ? "" : " ";
  start += mark;
  return start;
}

std::string EffectiveEndMark(std::string_view mark, bool noSpace) {
  std::string end(mark);
  if (!noSpace) end += ' ';
  return end;
}

std::string MarkedDivCloseTag(std::string_view start, std::string_view end, bool noText) {
  std::string tag = "</div";
  tag += start;
  tag += noText ? std::string_view(" ") : kPlaceholderCommentText;
  tag += end;
  tag += '>';
  return tag;
}

std::string BatchRemoveElement(std::string_view text, std::string_view start, std::string_view end) {
  if (text.empty() || start.empty() || end.empty()) return std::string(text);
  return DeleteBlocksMB(text, start, end);
}

std::string BatchReplaceElement(std::string_view text, std::string_view start, std::string_view end) {
  if (text.empty() || start.empty() || end.empty()) return std::string(text);
  return ReplaceCommentSubStr(text, start, std::string(end) + ">");
}

std::string ReplaceCommentSubStr(std::string_view text, std::string_view start, std::string_view endTag) {
  if (start.empty() || endTag.empty()) return std::string(text);
  std::string out;
  std::size_t copied = 0;  // text before this is in `out`; a character boundary
  for (;;) {
    const std::size_t at = FindAtBoundary(text, start, copied);
    if (at == npos) break;
    const std::size_t commentAt = at + start.size();
    const std::size_t endAt = FindAtBoundary(text, endTag, BoundaryAtOrAfter(text, at, commentAt));
    if (endAt == npos) break;
    if (out.empty()) out.reserve(text.size() + text.size() / 16);
    out.append(text.substr(copied, at - copied));
    out += "><!--";
    out.append(text.substr(commentAt, endAt - commentAt));
    out += "-->";
    // Resumes after the text just written, never inside it.
    copied = BoundaryAtOrAfter(text, endAt, endAt + endTag.size());
  }
  if (out.empty()) return std::string(text);  // nothing was replaced
  out.append(text.substr(copied));
  return out;
}

std::string RunDivMarkCommand(DivMarkCommand command, std::string_view text, const DivMarkOptions& options) {
  if (options.startMark.empty() || options.endMark.empty()) return std::string(text);
  const std::string start = EffectiveStartMark(options.startMark, options.noSpace);
  const std::string end = EffectiveEndMark(options.endMark, options.noSpace);
  switch (command) {
    case DivMarkCommand::Insert:
      return ReplaceInDivCloseLines(text, "</div>", MarkedDivCloseTag(start, end, options.noText));
    case DivMarkCommand::Remove:
      return BatchRemoveElement(text, start, end);
    case DivMarkCommand::Replace:
      return BatchReplaceElement(text, start, end);
  }
  return std::string(text);
}

}  // namespace zelm
