#include "text/FileIO.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "text/StringUtil.h"

namespace zelm {
namespace {

// Closes a descriptor on every path out of a function.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool CloseChecked() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

}  // namespace

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

FileReadResult ReadFileBytes(const std::string& path) {
  FileReadResult result;
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) {
    result.status = (errno == EACCES) ? FileReadResult::Status::Unreadable : FileReadResult::Status::NotFound;
    result.error = std::strerror(errno ? errno : ENOENT);
    return result;
  }
  if (!S_ISREG(info.st_mode)) {
    result.status = FileReadResult::Status::NotAFile;
    result.error = S_ISDIR(info.st_mode) ? "is a folder" : "is not a regular file";
    return result;
  }
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    result.status = FileReadResult::Status::Unreadable;
    result.error = std::strerror(errno);
    return result;
  }
  result.bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[1 << 16];
  while (true) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
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
  return result;
}

std::optional<MappedFile> MappedFile::Map(const std::string& path) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) return std::nullopt;
  const auto size = static_cast<std::size_t>(info.st_size);
  int flags = MAP_PRIVATE;
#if defined(MAP_POPULATE)
  flags |= MAP_POPULATE;  // every page at once rather than a fault for each
#endif
  void* data = ::mmap(nullptr, size, PROT_READ, flags, fd.get(), 0);
  if (data == MAP_FAILED) return std::nullopt;
  return MappedFile(data, size);
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    if (data_) ::munmap(data_, size_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

MappedFile::~MappedFile() {
  if (data_) ::munmap(data_, size_);
}

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
  auto fail = [&](const std::string& tempPath) {
    if (!tempPath.empty()) ::unlink(tempPath.c_str());
    result.status = SaveResult::Status::Failed;
    result.message = CannotOpenMessage(path);
    return result;
  };

  // A link is followed: the file it names is replaced, the link stays.
  std::error_code unresolved;
  std::filesystem::path target = std::filesystem::weakly_canonical(path, unresolved);
  if (unresolved) target = path;
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return fail({});
  // A device or a pipe (/dev/null, /dev/stdout, a FIFO) is written to, never
  // replaced by a file.
  if (exists && !S_ISREG(existing.st_mode)) {
    FileDescriptor out(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (out.get() < 0 || !WriteAllToDescriptor(out.get(), text) || !out.CloseChecked()) return fail({});
    return result;
  }
  std::filesystem::path folder = target.parent_path();
  std::string tempName = ".";
  tempName += target.filename().string();
  tempName += ".zelm-XXXXXX";
  std::string tempPath = ((folder.empty() ? std::filesystem::path(".") : folder) / tempName).string();
  FileDescriptor fd(::mkstemp(tempPath.data()));
  if (fd.get() < 0) return fail({});

  // A replaced file keeps its permissions; a new one gets the usual ones.
  if (exists) {
    ::fchmod(fd.get(), existing.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd.get(), 0666 & ~mask);
  }
  if (!WriteAllToDescriptor(fd.get(), text) || ::fsync(fd.get()) != 0 || !fd.CloseChecked()) return fail(tempPath);
  // POSIX rename replaces the target atomically; on Windows this would be
  // ReplaceFileW / MoveFileExW with MOVEFILE_REPLACE_EXISTING.
  if (::rename(tempPath.c_str(), target.c_str()) != 0) return fail(tempPath);
  return result;
}

}  // namespace zelm
