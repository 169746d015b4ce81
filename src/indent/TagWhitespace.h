// Whitespace passes shared by the line-breaking passes: each one is a single
// left-to-right scan with exactly the result of the ordered replace-all rules
// it stands for (occurrences at character boundaries only). They work in
// place: a pass that finds nothing to do hands its text back untouched.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "indent/LineBreakReach.h"

namespace zelm {

// Every tab becomes one space.
std::string TabsToSpaces(std::string text);

// For k = maxSpaces down to 0, every CR LF followed by exactly k spaces and
// ">" becomes ">": a tag whose closing ">" was pushed to the next line is
// rejoined. Because the rules run from many spaces to few, a ">" also eats
// earlier line breaks as long as their indents get strictly smaller going
// back.
std::string PullUpLineStartBrackets(std::string text, std::size_t maxSpaces);

// What PullUpLineStartBrackets takes together across a line break: a line
// that starts with at most `maxSpaces` spaces and ">", and the blank lines
// in front of one.
std::vector<LineBreakReach> LineStartBracketsReach(std::size_t maxSpaces);

// For k = maxSpaces down to 1, every ">" followed by exactly k spaces and
// "<" becomes "><".
std::string FoldGapsBetweenTags(std::string text, std::size_t maxSpaces);

}  // namespace zelm
