// The building blocks of safe saving: a new file that no reader sees half
// written and that nothing leaves behind, the identity of a file, and a
// lock that savers of one file take in turn.
//
// A new file is made in its target's folder without a name (O_TMPFILE)
// where the file system allows it, else under a short temporary name
// (".zelm-" and eight random letters, whatever the target's name) that is
// removed when the process ends on SIGINT, SIGTERM or SIGHUP. It gets its
// real name only once it is complete. Nothing here changes the process's
// umask: new files are created with mode 0666 and the system applies it.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace zelm {

// Which file a name stood for, and how it was when looked at: a file that
// was replaced (another inode) or written to (size, times) since differs.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};

  static FileIdentity Of(const struct stat& info);
  bool SameFile(const FileIdentity& other) const { return device == other.device && inode == other.inode; }
  bool Unchanged(const FileIdentity& other) const;
};

// Whether the file's status changed (written, renamed, linked, its mode or
// owner set) after `since`, a time of the system clock.
bool ChangedAfter(const struct stat& info, timespec since);
timespec SystemTimeNow();

// A descriptor closed when it goes.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd();
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  int release();
  // Closes now; the errno of a failed close, else 0.
  int Close();

 private:
  int fd_ = -1;
};

// Opens the folder a file is to be written in. The errno on failure.
std::variant<UniqueFd, int> OpenFolder(const std::string& folder);

// The folder and the name of a path ("." for a bare name).
struct SplitPath {
  std::string folder;
  std::string name;
};
SplitPath SplitFolderAndName(const std::string& path);

// How a new file is made: without a name where the system can (the usual
// way), or always under a temporary name (for tests of that way).
enum class NewFileWay { Unnamed, Named };

// A new file in a folder, invisible under its real name until committed.
// Dropped uncommitted, it leaves nothing behind.
class NewFile {
 public:
  // Creates the file in the folder `folderFd` (which must stay open while
  // the file lives). The errno on failure.
  static std::variant<NewFile, int> Create(int folderFd, NewFileWay way = NewFileWay::Unnamed);

  NewFile(NewFile&& other) noexcept;
  NewFile& operator=(NewFile&&) = delete;
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;
  ~NewFile();

  int fd() const { return fd_.get(); }

  // Writes the pieces one after another; 0 or the errno.
  int Write(std::span<const std::string_view> pieces);
  // Gives the file the mode, owner and group of `like` (owner and group
  // where the process may), and writes it to disk; 0 or the errno.
  int Finish(const struct stat* like);
  // Gives the file the name `name` in its folder, in place of the regular
  // file there (rename replaces the name, never what a link points to).
  int CommitReplacing(const std::string& name);
  // Gives the file the name `name`, which must not exist (EEXIST if it does).
  int CommitNew(const std::string& name);

 private:
  NewFile(int folderFd, UniqueFd fd, std::string temporaryName, int guardSlot);
  int folderFd_;
  UniqueFd fd_;
  std::string temporaryName_;  // empty while the file has no name
  int guardSlot_;              // the name's place among those removed on a signal
  bool committed_ = false;
};

// Gives the file open as `fd` a further name `name` in the folder, in place
// of the regular file there: first under a temporary name, then renamed.
// Used to keep the file that is about to be replaced as its backup. 0 or
// the errno (EXDEV, EPERM, EMLINK... where the system will not link).
int LinkReplacing(int fd, int folderFd, const std::string& name);

// Takes the exclusive lock savers of this file take, waiting up to
// `patience` for another holder to let go; false when it did not.
bool LockWaiting(int fd, std::chrono::milliseconds patience);

}  // namespace zelm
