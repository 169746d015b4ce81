// Saving pages with a backup, for both shells.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "app/FileCommands.h"
#include "text/FileIO.h"

namespace zelm {
namespace {

FileError CannotWrite(const std::string& path, int error) {
  return {FileErrorKind::CannotWrite, path, std::strerror(error)};
}

// What stands at a name, for a message.
std::string WhatItIs(mode_t mode) {
  if (S_ISLNK(mode)) return "is a symbolic link";
  if (S_ISDIR(mode)) return "is a folder";
  if (S_ISFIFO(mode)) return "is a pipe";
  if (S_ISSOCK(mode)) return "is a socket";
  return "is a device";
}

// The file a path names: a link is followed to the file it names.
std::variant<std::string, FileError> Resolve(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return path;  // a new file
    return CannotWrite(path, errno);
  }
  if (!S_ISLNK(info.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return FileError{FileErrorKind::NotReplaceable, path, "is a link to nothing that can be replaced"};
  std::string resolved(real);
  std::free(real);
  return resolved;
}

// Errors for which a backup cannot be a second name of the old file, but a
// copy of it can.
bool LinkingRefused(int error) {
  return error == EPERM || error == EXDEV || error == EMLINK || error == ENOTSUP || error == EOPNOTSUPP ||
         error == ENOSYS || error == EACCES;
}

// The old file copied to a new file that becomes `name`, with its mode,
// owner, group and times. 0 or the errno.
int CopyAsBackup(int fd, const struct stat& info, int folderFd, const std::string& name, NewFileWay way) {
  auto created = NewFile::Create(folderFd, way);
  if (const int* error = std::get_if<int>(&created)) return *error;
  NewFile& copy = std::get<NewFile>(created);
  char buffer[1 << 16];
  for (off_t offset = 0;;) {
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) break;
    const std::string_view piece(buffer, static_cast<std::size_t>(n));
    if (const int error = copy.Write(std::span<const std::string_view>(&piece, 1)); error != 0) return error;
    offset += n;
  }
  if (const int error = copy.Finish(&info); error != 0) return error;
  const timespec times[2] = {info.st_atim, info.st_mtim};
  ::futimens(copy.fd(), times);
  return copy.CommitReplacing(name);
}

// The file at `name` in the folder, opened and locked; nothing when there
// is none.
struct LockedTarget {
  std::optional<FileError> error;
  UniqueFd fd;
  struct stat info {};
};

LockedTarget OpenAndLock(int folderFd, const std::string& name, const std::string& path,
                         std::chrono::milliseconds patience) {
  LockedTarget target;
  for (int attempt = 0; attempt < 3; ++attempt) {
    // O_NOFOLLOW: a link put at the name since it was resolved is not followed.
    UniqueFd fd(::openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd) {
      if (errno == ENOENT) return target;  // a new file
      if (errno == ELOOP) {
        target.error = FileError{FileErrorKind::NotReplaceable, path, "is a symbolic link"};
      } else {
        target.error = CannotWrite(path, errno);
      }
      return target;
    }
    if (::fstat(fd.get(), &target.info) != 0) {
      target.error = CannotWrite(path, errno);
      return target;
    }
    if (!S_ISREG(target.info.st_mode)) {
      target.error = FileError{FileErrorKind::NotReplaceable, path, WhatItIs(target.info.st_mode)};
      return target;
    }
    if (!LockWaiting(fd.get(), patience)) {
      target.error = FileError{FileErrorKind::Locked, path, {}};
      return target;
    }
    // Still the file at that name? Another saver may have replaced it
    // while this one waited.
    struct stat atName {};
    if (::fstatat(folderFd, name.c_str(), &atName, AT_SYMLINK_NOFOLLOW) == 0 &&
        FileIdentity::Of(atName).SameFile(FileIdentity::Of(target.info))) {
      ::fstat(fd.get(), &target.info);  // as it is now, under the lock
      target.fd = std::move(fd);
      return target;
    }
  }
  target.error = FileError{FileErrorKind::ChangedSinceRead, path, {}};
  return target;
}

}  // namespace

SaveOutcome SaveWithBackup(std::span<const std::string_view> pieces, const std::string& path,
                           const SaveOptions& options) {
  SaveOutcome outcome;
  auto failed = [&](FileError error) {
    outcome.error = std::move(error);
    return outcome;
  };
  if (path.empty() || path.back() == '/')
    return failed(FileError{FileErrorKind::NotReplaceable, path, "is a folder"});
  auto resolved = Resolve(path);
  if (FileError* error = std::get_if<FileError>(&resolved)) return failed(std::move(*error));
  const std::string target = std::get<std::string>(resolved);
  const SplitPath where = SplitFolderAndName(target);
  auto folder = OpenFolder(where.folder);
  if (const int* error = std::get_if<int>(&folder))
    return failed(CannotWrite(target, *error));
  const int folderFd = std::get<UniqueFd>(folder).get();

  // Savers of one file take turns; the lock is held until this save is done.
  LockedTarget old = OpenAndLock(folderFd, where.name, target, options.lockPatience);
  if (old.error) return failed(std::move(*old.error));
  const bool exists = static_cast<bool>(old.fd);
  if (options.expected && (!exists || !options.expected->Unchanged(FileIdentity::Of(old.info))))
    return failed(FileError{FileErrorKind::ChangedSinceRead, target, {}});

  // The new file, complete and on disk before anything is replaced.
  auto created = NewFile::Create(folderFd, options.way);
  if (const int* error = std::get_if<int>(&created))
    return failed(CannotWrite(target, *error));
  NewFile& file = std::get<NewFile>(created);
  int error = file.Write(pieces);
  if (error == 0) error = file.Finish(exists ? &old.info : nullptr);
  if (error != 0) return failed(CannotWrite(target, error));
  struct stat written {};
  if (::fstat(file.fd(), &written) == 0) outcome.written = FileIdentity::Of(written);

  if (exists && options.backup) {
    const std::string backupName = "ZZBU_" + where.name;
    const std::string backupPath = BackupPathFor(target);
    struct stat atBackup {};
    if (::fstatat(folderFd, backupName.c_str(), &atBackup, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(atBackup.st_mode))
      return failed(FileError{FileErrorKind::BackupInTheWay, backupPath, WhatItIs(atBackup.st_mode)});
    // The old file itself becomes the backup, under a second name: nothing
    // is copied, and it keeps its mode, owner and times.
    error = LinkReplacing(old.fd.get(), folderFd, backupName);
    if (LinkingRefused(error)) error = CopyAsBackup(old.fd.get(), old.info, folderFd, backupName, options.way);
    if (error == EISDIR || error == ENOTEMPTY)
      return failed(FileError{FileErrorKind::BackupInTheWay, backupPath, "is a folder"});
    if (error != 0)
      return failed(CannotWrite(backupPath, error));
    outcome.backupPath = backupPath;
  }

  error = exists ? file.CommitReplacing(where.name) : file.CommitNew(where.name);
  if (error == EEXIST)
    return failed(FileError{FileErrorKind::ChangedSinceRead, target, "a file appeared at that name"});
  if (error != 0)
    return failed(CannotWrite(target, error));
  outcome.path = target;
  outcome.otherNames = exists && old.info.st_nlink > 1 ? static_cast<std::size_t>(old.info.st_nlink - 1) : 0;
  return outcome;
}

SaveOutcome SaveWithBackup(std::string_view bytes, const std::string& path, const SaveOptions& options) {
  return SaveWithBackup(std::span<const std::string_view>(&bytes, 1), path, options);
}

SaveOutcome SaveOutputFile(std::span<const std::string_view> pieces, const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
    // A device or a pipe (/dev/null, /dev/stdout, a FIFO) is written to,
    // never replaced by a file. O_NONBLOCK: a pipe without a reader fails at once.
    SaveOutcome outcome;
    UniqueFd out(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!out) {
      outcome.error = CannotWrite(path, errno);
      return outcome;
    }
    const int flags = ::fcntl(out.get(), F_GETFL);
    if (flags >= 0) ::fcntl(out.get(), F_SETFL, flags & ~O_NONBLOCK);
    for (std::string_view piece : pieces) {
      if (!WriteAllToDescriptor(out.get(), piece)) {
        outcome.error = CannotWrite(path, errno ? errno : EIO);
        return outcome;
      }
    }
    if (const int error = out.Close(); error != 0) outcome.error = CannotWrite(path, error);
    outcome.path = path;
    return outcome;
  }
  SaveOptions options;
  options.backup = false;
  return SaveWithBackup(pieces, path, options);
}

}  // namespace zelm
