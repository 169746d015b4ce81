#include "support/CliRunner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace zelm::test {

CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args, std::string_view input) {
  const std::string in = (dir / ".stdin").string(), out = (dir / ".stdout").string(),
                    err = (dir / ".stderr").string();
  WriteFile(in, input);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<std::string> argvStrings{ZELM_CLI_PATH};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argvStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  CliRun run;
  pid_t pid;
  const int spawned = posix_spawn(&pid, ZELM_CLI_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << ZELM_CLI_PATH;
    return run;
  }
  int status = 0;
  struct rusage usage {};
  ::wait4(pid, &status, 0, &usage);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.maxRssKb = usage.ru_maxrss;
  run.out = ReadFile(out);
  run.err = ReadFile(err);
  std::filesystem::remove(in);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

CliRun RunCli(const std::vector<std::string>& args, std::string_view input) {
  TempDir dir;
  return RunCli(dir, args, input);
}

}  // namespace zelm::test
