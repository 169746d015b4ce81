// Helpers of the encoding tests: conversions by the system's iconv, used as
// an independent reference for the engine's own conversions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelm::test {

// Converts with iconv; a sequence iconv cannot convert fails the test.
std::string Iconv(std::string_view bytes, const char* from, const char* to);

// UTF-8 to code page 932 with iconv, each character that has no code page
// 932 form written as "?".
std::string Utf8ToCp932WithQuestionMarks(std::string_view utf8);

// Line-end folding written as the three whole-text replacements it is
// defined by, as a reference for the one-pass version.
std::string FoldByReplacing(std::string_view text);

// The test pages of tests/data/pages (every file but SOURCES.md).
std::vector<std::string> PageNames();
std::string ReadPage(const std::string& name);

// How many times `piece` occurs (byte-wise, without overlap).
std::size_t CountBytes(std::string_view text, std::string_view piece);

}  // namespace zelm::test
