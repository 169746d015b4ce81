#include "text/SafeFile.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/random.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <thread>
#include <utility>

#include "text/FileIO.h"

namespace zelm {
namespace {

// ---- Temporary names removed on SIGINT, SIGTERM and SIGHUP ----------------
//
// A signal handler may neither allocate nor take locks: the names live in a
// fixed table, each slot published by storing its folder's descriptor last.

constexpr std::size_t kSlots = 256;
constexpr std::size_t kNameSize = 16;  // ".zelm-" + 8 letters + NUL

struct TemporarySlot {
  std::atomic<bool> taken{false};
  std::atomic<int> folderFd{-1};  // -1 while the slot holds no name
  char name[kNameSize] = {};
};
TemporarySlot gSlots[kSlots];

constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP};

void RemoveTemporariesAndDie(int signal) {
  for (TemporarySlot& slot : gSlots) {
    const int folder = slot.folderFd.load(std::memory_order_acquire);
    if (folder >= 0) ::unlinkat(folder, slot.name, 0);
  }
  // SA_RESETHAND gave the signal its default action back: once this
  // handler returns, it ends the process as it would have.
  ::raise(signal);
}

// Installed once, for the signals whose action is still the default: a
// program that handles or ignores one of them keeps doing so.
void InstallCleanup() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int signal : kCleanedSignals) {
      struct sigaction current {};
      if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
      struct sigaction action {};
      action.sa_handler = RemoveTemporariesAndDie;
      sigemptyset(&action.sa_mask);
      action.sa_flags = SA_RESETHAND;
      ::sigaction(signal, &action, nullptr);
    }
  });
}

// Guards a temporary name in a folder: the handler above removes it until
// it is let go. Gives the slot, or -1 when none is free (the name is still
// used, only unguarded).
int GuardName(int folderFd, const std::string& name) {
  InstallCleanup();
  for (std::size_t i = 0; i < kSlots; ++i) {
    bool expected = false;
    if (!gSlots[i].taken.compare_exchange_strong(expected, true)) continue;
    std::memcpy(gSlots[i].name, name.c_str(), std::min(name.size() + 1, kNameSize));
    gSlots[i].name[kNameSize - 1] = '\0';
    gSlots[i].folderFd.store(folderFd, std::memory_order_release);
    return static_cast<int>(i);
  }
  return -1;
}

void LetGo(int& slot) {
  if (slot < 0) return;
  gSlots[slot].folderFd.store(-1, std::memory_order_release);
  gSlots[slot].taken.store(false);
  slot = -1;
}

// A guarded name for the time of one scope.
class GuardedName {
 public:
  GuardedName(int folderFd, const std::string& name) : slot_(GuardName(folderFd, name)) {}
  ~GuardedName() { LetGo(slot_); }
  GuardedName(const GuardedName&) = delete;
  GuardedName& operator=(const GuardedName&) = delete;

 private:
  int slot_;
};

// ".zelm-" and eight random letters: short, whatever the target's name, so
// that a name near the system's limit still has room for it.
std::string TemporaryName() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz234567";
  unsigned char random[8];
  if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
    // Without the system's randomness: the clock and the thread, enough to
    // avoid names of our own; O_EXCL settles any clash.
    const auto seed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                      std::hash<std::thread::id>()(std::this_thread::get_id());
    for (std::size_t i = 0; i < sizeof random; ++i) random[i] = static_cast<unsigned char>(seed >> (i * 7));
  }
  std::string name = ".zelm-";
  for (unsigned char r : random) name += kLetters[r % 32];
  return name;
}

// Links the open file `fd` under `name` in the folder (which must not
// exist). 0 or the errno.
int LinkOpenFile(int fd, int folderFd, const std::string& name) {
  char self[64];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  if (::linkat(AT_FDCWD, self, folderFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
  const int viaProc = errno;
  // Without /proc the descriptor itself can be linked, by a process with
  // the right to do so.
  if (::linkat(fd, "", folderFd, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
  return viaProc == ENOENT ? errno : viaProc;
}

// Runs `link(name)` under fresh temporary names until one is free.
template <typename Link>
int WithFreshName(Link link) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int error = link(TemporaryName());
    if (error != EEXIST) return error;
  }
  return EEXIST;
}

}  // namespace

// ---- Identities and times --------------------------------------------------

FileIdentity FileIdentity::Of(const struct stat& info) {
  return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

bool FileIdentity::Unchanged(const FileIdentity& other) const {
  return SameFile(other) && size == other.size && modified.tv_sec == other.modified.tv_sec &&
         modified.tv_nsec == other.modified.tv_nsec;
}

bool ChangedAfter(const struct stat& info, timespec since) {
  return info.st_ctim.tv_sec > since.tv_sec ||
         (info.st_ctim.tv_sec == since.tv_sec && info.st_ctim.tv_nsec > since.tv_nsec);
}

timespec SystemTimeNow() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return now;
}

// ---- Descriptors and folders -------------------------------------------------

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.release();
  }
  return *this;
}

UniqueFd::~UniqueFd() { Close(); }

int UniqueFd::release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

int UniqueFd::Close() {
  if (fd_ < 0) return 0;
  const int result = ::close(release());
  return result == 0 ? 0 : errno;
}

std::variant<UniqueFd, int> OpenFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  return UniqueFd(fd);
}

SplitPath SplitFolderAndName(const std::string& path) {
  const std::filesystem::path p(path);
  std::string folder = p.parent_path().string();
  return {folder.empty() ? std::string(".") : folder, p.filename().string()};
}

// ---- New files ------------------------------------------------------------------

NewFile::NewFile(int folderFd, UniqueFd fd, std::string temporaryName, int guardSlot)
    : folderFd_(folderFd), fd_(std::move(fd)), temporaryName_(std::move(temporaryName)), guardSlot_(guardSlot) {}

NewFile::NewFile(NewFile&& other) noexcept
    : folderFd_(other.folderFd_),
      fd_(std::move(other.fd_)),
      temporaryName_(std::move(other.temporaryName_)),
      guardSlot_(std::exchange(other.guardSlot_, -1)),
      committed_(std::exchange(other.committed_, true)) {
  other.temporaryName_.clear();
}

NewFile::~NewFile() {
  if (!committed_ && !temporaryName_.empty()) ::unlinkat(folderFd_, temporaryName_.c_str(), 0);
  LetGo(guardSlot_);
}

std::variant<NewFile, int> NewFile::Create(int folderFd, NewFileWay way) {
  if (way == NewFileWay::Unnamed) {
    const int fd = ::openat(folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) return NewFile(folderFd, UniqueFd(fd), {}, -1);
    // Where the file system has no unnamed files, a named one does.
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = TemporaryName();
    int slot = GuardName(folderFd, name);
    const int fd = ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) return NewFile(folderFd, UniqueFd(fd), name, slot);
    const int error = errno;
    LetGo(slot);
    if (error != EEXIST) return error;
  }
  return EEXIST;
}

int NewFile::Write(std::span<const std::string_view> pieces) {
  for (std::string_view piece : pieces)
    if (!WriteAllToDescriptor(fd_.get(), piece)) return errno ? errno : EIO;
  return 0;
}

int NewFile::Finish(const struct stat* like) {
  if (like) {
    mode_t mode = like->st_mode & 07777;
    // The owner and group where the process may (root may; others may
    // give a group they belong to); a file whose owner could not be kept
    // does not keep the set-id bits either.
    if (::fchown(fd_.get(), like->st_uid, like->st_gid) != 0) {
      mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
      if (::fchown(fd_.get(), static_cast<uid_t>(-1), like->st_gid) != 0) mode &= ~static_cast<mode_t>(S_ISGID);
    }
    if (::fchmod(fd_.get(), mode) != 0) return errno;
  }
  if (::fsync(fd_.get()) != 0) return errno;
  return 0;
}

int NewFile::CommitReplacing(const std::string& name) {
  int error = 0;
  if (temporaryName_.empty()) {
    // Linked in under a temporary name, then renamed over the target.
    error = LinkReplacing(fd_.get(), folderFd_, name);
  } else if (::renameat(folderFd_, temporaryName_.c_str(), folderFd_, name.c_str()) != 0) {
    error = errno;
  }
  if (error != 0) return error;
  committed_ = true;
  LetGo(guardSlot_);
  return 0;
}

int NewFile::CommitNew(const std::string& name) {
  if (temporaryName_.empty()) {
    if (const int error = LinkOpenFile(fd_.get(), folderFd_, name); error != 0) return error;
  } else if (::renameat2(folderFd_, temporaryName_.c_str(), folderFd_, name.c_str(), RENAME_NOREPLACE) != 0) {
    const int error = errno;
    if (error != EINVAL && error != ENOSYS) return error;
    // A file system without RENAME_NOREPLACE: a link fails as well on a name in use.
    if (::linkat(folderFd_, temporaryName_.c_str(), folderFd_, name.c_str(), 0) != 0) return errno;
    ::unlinkat(folderFd_, temporaryName_.c_str(), 0);
  }
  committed_ = true;
  LetGo(guardSlot_);
  return 0;
}

int LinkReplacing(int fd, int folderFd, const std::string& name) {
  return WithFreshName([&](const std::string& temporary) {
    GuardedName guard(folderFd, temporary);
    if (const int error = LinkOpenFile(fd, folderFd, temporary); error != 0) return error;
    if (::renameat(folderFd, temporary.c_str(), folderFd, name.c_str()) != 0) {
      const int error = errno;
      ::unlinkat(folderFd, temporary.c_str(), 0);
      return error == EEXIST ? ENOTEMPTY : error;  // not to be taken for a clash of temporary names
    }
    // When `name` already was this very file, rename leaves both names.
    ::unlinkat(folderFd, temporary.c_str(), 0);
    return 0;
  });
}

bool LockWaiting(int fd, std::chrono::milliseconds patience) {
  const auto until = std::chrono::steady_clock::now() + patience;
  while (true) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return true;  // a file system without locks: nothing to wait for
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace zelm
