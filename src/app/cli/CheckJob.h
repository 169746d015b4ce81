// zelm-cli indent --check and --diff: whether indenting a page would
// change it, and how, without writing anything.
#pragma once

#include <string>
#include <string_view>

#include "app/cli/IndentJob.h"

namespace zelm::cli {

struct PageCheck {
  bool changed = false;  // the result differs from the page, byte for byte
  // With a diff asked for and the page changed: the unified diff of the
  // page against the result, both in UTF-8 (empty when the two differ only
  // in bytes that show the same).
  std::string diff;
  bool diffMinimal = true;  // false when the diff's search was cut short on a huge page
  // The page has lines ending in LF alone, which the result ends in CR LF
  // (as every result): such lines show as changed even where their text
  // stays.
  bool bareLineFeeds = false;
};

// Compares what --in-place would write (the outcome's pieces) with the
// page's bytes. `name` heads the diff: "--- a/NAME" and "+++ b/NAME".
PageCheck ComparePage(std::string_view page, const JobOutcome& outcome, const std::string& name, bool wantDiff);

// Reads the file and indents it as IndentFile does, then compares; a file
// that cannot be read or indented fails in the outcome as there.
JobOutcome CheckFile(const std::string& path, const IndentJobOptions& options, bool wantDiff, PageCheck& check);

// A page's bytes in `encoding`, as UTF-8 for the terminal (UTF-8 pages
// unchanged, byte for byte).
std::string ToUtf8ForDisplay(std::string_view bytes, CharCodeIndex encoding);

// The name a diff header gives a page: the path as named without a
// leading "./", behind "a/" or "b/" (an absolute path loses its first "/").
std::string DiffHeaderName(std::string_view side, std::string_view path);

}  // namespace zelm::cli
