#include "text/FileIO.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <utility>

#include "text/SafeFile.h"
#include "text/StringUtil.h"

namespace zelm {

bool WriteAllToDescriptor(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

OpenedForReading OpenForReading(const std::string& path) {
  OpenedForReading opened;
  using Status = FileReadResult::Status;
  if (path.empty()) {
    opened.status = Status::NotFound;
    opened.error = std::strerror(ENOENT);
    return opened;
  }
  // O_NONBLOCK: opening a pipe without a writer would wait for one.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (fd.get() < 0) {
    const int error = errno;
    opened.status = error == ENOENT || error == ENOTDIR ? Status::NotFound : Status::Unreadable;
    opened.error = std::strerror(error);
    return opened;
  }
  if (::fstat(fd.get(), &opened.info) != 0) {
    opened.status = Status::Unreadable;
    opened.error = std::strerror(errno);
    return opened;
  }
  if (!S_ISREG(opened.info.st_mode)) {
    opened.status = Status::NotAFile;
    opened.error = S_ISDIR(opened.info.st_mode) ? "is a folder" : "is not a regular file";
    return opened;
  }
  opened.fd = fd.release();
  return opened;
}

FileReadResult ReadOpenFile(int fd, const struct stat& info) {
  FileReadResult result;
  const auto expected = static_cast<std::size_t>(info.st_size);
  result.bytes.reserve(expected);
  char buffer[1 << 16];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      result.status = FileReadResult::Status::Unreadable;
      result.error = std::strerror(errno);
      result.bytes.clear();
      return result;
    }
    if (n == 0) break;
    result.bytes.append(buffer, static_cast<std::size_t>(n));
  }
  struct stat after {};
  if (result.bytes.size() != expected || ::fstat(fd, &after) != 0 || after.st_size != info.st_size ||
      after.st_mtim.tv_sec != info.st_mtim.tv_sec || after.st_mtim.tv_nsec != info.st_mtim.tv_nsec) {
    result.status = FileReadResult::Status::Changed;
    result.error = "the file changed while it was read";
    result.bytes.clear();
  }
  return result;
}

FileReadResult ReadFileBytes(const std::string& path) {
  OpenedForReading opened = OpenForReading(path);
  if (opened.status != FileReadResult::Status::Ok) {
    FileReadResult result;
    result.status = opened.status;
    result.error = std::move(opened.error);
    return result;
  }
  UniqueFd fd(opened.fd);
  return ReadOpenFile(fd.get(), opened.info);
}

// ---- Mappings that survive the file's shortening ---------------------------
//
// Reading a mapped page that the file no longer holds raises SIGBUS. The
// handler below puts a page of zeros in its place and marks the mapping as
// damaged, so that the reader finishes and the caller reports the change.
// Faults outside the known mappings get the default action.

namespace {

constexpr std::size_t kGuardedMappings = 256;

struct GuardedMapping {
  std::atomic<bool> taken{false};
  std::atomic<std::uintptr_t> begin{0}, end{0};
  std::atomic<bool> damaged{false};
};
GuardedMapping gMappings[kGuardedMappings];

std::uintptr_t gPageSize = 4096;
struct sigaction gPreviousAction {};

void ReplaceLostPage(int, siginfo_t* info, void*) {
  const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
  for (GuardedMapping& mapping : gMappings) {
    if (address < mapping.begin.load(std::memory_order_acquire) || address >= mapping.end.load()) continue;
    void* page = reinterpret_cast<void*>(address & ~(gPageSize - 1));
    if (::mmap(page, gPageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
      mapping.damaged.store(true);
      return;  // the read is made again, on zeros
    }
    break;
  }
  // Not ours: the action before ours takes the fault when it happens again.
  ::sigaction(SIGBUS, &gPreviousAction, nullptr);
}

void InstallLostPageHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    gPageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = ReplaceLostPage;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO;
    ::sigaction(SIGBUS, &action, &gPreviousAction);
  });
}

int GuardMapping(const void* data, std::size_t size) {
  InstallLostPageHandler();
  for (std::size_t i = 0; i < kGuardedMappings; ++i) {
    bool expected = false;
    if (!gMappings[i].taken.compare_exchange_strong(expected, true)) continue;
    gMappings[i].damaged.store(false);
    gMappings[i].end.store(reinterpret_cast<std::uintptr_t>(data) + size);
    gMappings[i].begin.store(reinterpret_cast<std::uintptr_t>(data), std::memory_order_release);
    return static_cast<int>(i);
  }
  return -1;
}

void UnguardMapping(int guard) {
  if (guard < 0) return;
  gMappings[guard].begin.store(0, std::memory_order_release);
  gMappings[guard].end.store(0);
  gMappings[guard].taken.store(false);
}

}  // namespace

std::optional<MappedFile> MappedFile::Map(const std::string& path) {
  OpenedForReading opened = OpenForReading(path);
  if (opened.status != FileReadResult::Status::Ok) return std::nullopt;
  UniqueFd fd(opened.fd);
  if (opened.info.st_size <= 0) return std::nullopt;
  return Map(fd.get(), static_cast<std::size_t>(opened.info.st_size));
}

std::optional<MappedFile> MappedFile::Map(int fd, std::size_t size) {
  if (size == 0) return std::nullopt;
  int flags = MAP_PRIVATE;
#if defined(MAP_POPULATE)
  flags |= MAP_POPULATE;  // every page at once rather than a fault for each
#endif
  void* data = ::mmap(nullptr, size, PROT_READ, flags, fd, 0);
  if (data == MAP_FAILED) return std::nullopt;
  const int guard = GuardMapping(data, size);
  if (guard < 0) {  // no room to guard it: read it instead
    ::munmap(data, size);
    return std::nullopt;
  }
  return MappedFile(data, size, guard);
}

bool MappedFile::Damaged() const { return guard_ >= 0 && gMappings[guard_].damaged.load(); }

void MappedFile::Unmap() {
  if (data_) ::munmap(data_, size_);
  UnguardMapping(guard_);
  data_ = nullptr;
  size_ = 0;
  guard_ = -1;
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      guard_(std::exchange(other.guard_, -1)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    Unmap();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    guard_ = std::exchange(other.guard_, -1);
  }
  return *this;
}

MappedFile::~MappedFile() { Unmap(); }

std::string LoadTextFile(const std::string& path) {
  FileReadResult read = ReadFileBytes(path);
  if (!read.ok()) return {};
  return NormalizeLineEnds(read.bytes);
}

std::string CannotOpenMessage(std::string_view path) {
  return "【 " + std::string(path) + " 】が 開けません！";
}

SaveResult SaveTextFile(std::string_view text, const std::string& path) {
  SaveResult result;
  if (text.empty() || PlainTrimView(path).empty() || path.back() == '/' || path.back() == '\\') {
    result.status = SaveResult::Status::Skipped;
    return result;
  }
  auto fail = [&](const std::string& failedPath, int error) {
    result.status = SaveResult::Status::Failed;
    result.message = CannotOpenMessage(path);
    result.path = failedPath;
    result.reason = std::strerror(error);
    return result;
  };

  // A link is followed: the file it names is replaced, the link stays.
  std::error_code unresolved;
  std::filesystem::path target = std::filesystem::weakly_canonical(path, unresolved);
  if (unresolved) target = path;
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return fail(path, EISDIR);
  // A device or a pipe (/dev/null, /dev/stdout, a FIFO) is written to, never
  // replaced by a file. O_NONBLOCK: a pipe without a reader fails at once.
  if (exists && !S_ISREG(existing.st_mode)) {
    UniqueFd out(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (out.get() < 0) return fail(path, errno);
    const int flags = ::fcntl(out.get(), F_GETFL);
    if (flags >= 0) ::fcntl(out.get(), F_SETFL, flags & ~O_NONBLOCK);
    if (!WriteAllToDescriptor(out.get(), text) || out.Close() != 0) return fail(path, errno ? errno : EIO);
    return result;
  }
  const SplitPath where = SplitFolderAndName(target.string());
  auto folder = OpenFolder(where.folder);
  if (const int* error = std::get_if<int>(&folder)) return fail(path, *error);
  auto created = NewFile::Create(std::get<UniqueFd>(folder).get());
  if (const int* error = std::get_if<int>(&created)) return fail(path, *error);
  NewFile& file = std::get<NewFile>(created);
  const std::string_view pieces[] = {text};
  if (const int error = file.Write(pieces); error != 0) return fail(path, error);
  if (const int error = file.Finish(exists ? &existing : nullptr); error != 0) return fail(path, error);
  // POSIX rename replaces the target atomically; on Windows this would be
  // ReplaceFileW / MoveFileExW with MOVEFILE_REPLACE_EXISTING.
  const int error = exists ? file.CommitReplacing(where.name) : file.CommitNew(where.name);
  if (error == EEXIST) {  // made by another program meanwhile: replaced as any existing file
    if (const int again = file.CommitReplacing(where.name); again != 0) return fail(path, again);
  } else if (error != 0) {
    return fail(path, error);
  }
  return result;
}

}  // namespace zelm
