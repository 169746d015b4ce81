// Runs the real zelm-cli binary from a test.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "support/TestSupport.h"

namespace zelm::test {

struct CliRun {
  int exitCode = -1;  // -1 when the program did not exit on its own (a signal ended it)
  int signal = 0;     // the signal that ended it, if one did
  std::string out, err;
  long maxRssKb = 0;  // the program's peak memory
};

// Runs zelm-cli with the arguments and `input` on standard input; its
// standard streams go through files in `dir`, which is also its working folder.
CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args, std::string_view input = {});

// The same in a folder of its own.
CliRun RunCli(const std::vector<std::string>& args, std::string_view input = {});

// A zelm-cli started and not yet waited for; its streams are files in
// `dir` named after `name`, so that several can run at once. With a user
// given (root only), it runs as that user and group.
struct StartedCli {
  pid_t pid = -1;
  std::string name;
};
struct RunAs {
  uid_t uid;
  gid_t gid;
};
StartedCli StartCli(const TempDir& dir, const std::vector<std::string>& args, std::string_view name,
                    const RunAs* user = nullptr);
// Waits for it to end; after `limit` it is killed (SIGKILL), which the run's
// signal then shows.
CliRun WaitForCli(const TempDir& dir, const StartedCli& started,
                  std::chrono::milliseconds limit = std::chrono::minutes(10));

}  // namespace zelm::test
