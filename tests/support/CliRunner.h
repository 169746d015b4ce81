// Runs the real zelm-cli binary from a test.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/TestSupport.h"

namespace zelm::test {

struct CliRun {
  int exitCode = -1;
  std::string out, err;
  long maxRssKb = 0;  // the program's peak memory
};

// Runs zelm-cli with the arguments and `input` on standard input; its
// standard streams go through files in `dir`, which is also its working folder.
CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args, std::string_view input = {});

// The same in a folder of its own.
CliRun RunCli(const std::vector<std::string>& args, std::string_view input = {});

}  // namespace zelm::test
