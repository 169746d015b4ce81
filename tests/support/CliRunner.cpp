#include "support/CliRunner.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <thread>

extern char** environ;

namespace zelm::test {
namespace {

struct Streams {
  std::string in, out, err;
};

Streams StreamsOf(const TempDir& dir, std::string_view name) {
  std::string base(".");
  base += name;
  return {(dir / (base + ".stdin")).string(), (dir / (base + ".stdout")).string(),
          (dir / (base + ".stderr")).string()};
}

}  // namespace

StartedCli StartCli(const TempDir& dir, const std::vector<std::string>& args, std::string_view name,
                    const RunAs* user) {
  const Streams streams = StreamsOf(dir, name);
  if (!std::filesystem::exists(streams.in)) WriteFile(streams.in, "");
  // Made here, so that they are there to read even when a test stops the
  // program before it has opened them.
  WriteFile(streams.out, "");
  WriteFile(streams.err, "");
  std::vector<std::string> argvStrings{ZELM_CLI_PATH};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argvStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string folder = dir.path().string();
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only calls that are safe after fork from here on.
    const int in = ::open(streams.in.c_str(), O_RDONLY);
    const int out = ::open(streams.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    const int err = ::open(streams.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(127);
    if (::chdir(folder.c_str()) != 0) ::_exit(127);
    if (user && (::setgroups(0, nullptr) != 0 || ::setgid(user->gid) != 0 || ::setuid(user->uid) != 0)) ::_exit(127);
    ::execve(ZELM_CLI_PATH, argv.data(), environ);
    ::_exit(127);
  }
  if (pid < 0) ADD_FAILURE() << "cannot start " << ZELM_CLI_PATH;
  return {pid, std::string(name)};
}

CliRun WaitForCli(const TempDir& dir, const StartedCli& started, std::chrono::milliseconds limit) {
  CliRun run;
  if (started.pid < 0) return run;
  int status = 0;
  struct rusage usage {};
  const auto until = std::chrono::steady_clock::now() + limit;
  while (::wait4(started.pid, &status, WNOHANG, &usage) == 0) {
    if (std::chrono::steady_clock::now() >= until) {
      ::kill(started.pid, SIGKILL);
      ::wait4(started.pid, &status, 0, &usage);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  run.maxRssKb = usage.ru_maxrss;
  const Streams streams = StreamsOf(dir, started.name);
  run.out = ReadFile(streams.out);
  run.err = ReadFile(streams.err);
  std::filesystem::remove(streams.in);
  std::filesystem::remove(streams.out);
  std::filesystem::remove(streams.err);
  return run;
}

CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args, std::string_view input) {
  WriteFile(StreamsOf(dir, "run").in, input);
  return WaitForCli(dir, StartCli(dir, args, "run"));
}

CliRun RunCli(const std::vector<std::string>& args, std::string_view input) {
  TempDir dir;
  return RunCli(dir, args, input);
}

}  // namespace zelm::test
