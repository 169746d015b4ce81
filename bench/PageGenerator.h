// Generated Shift_JIS pages of a chosen size for benchmarks and property
// tests: nested divs, tables, lists, forms, scripts, comments, Japanese
// text, irregular whitespace and some upper-case markup.
#pragma once

#include <cstddef>
#include <string>

namespace zelm::bench {

// A whole page (head and body) of at least `targetBytes` bytes, with lines
// ending in CR LF. The same seed gives the same page.
std::string GeneratePage(std::size_t targetBytes, unsigned seed = 1);

}  // namespace zelm::bench
