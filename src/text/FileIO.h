// Whole-file load and save as raw bytes.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zelm {

struct FileReadResult {
  enum class Status { Ok, NotFound, NotAFile, Unreadable, Changed };
  Status status = Status::Ok;
  std::string bytes;
  std::string error;  // the system's reason, for messages
  bool ok() const { return status == Status::Ok; }
};

// The file's bytes exactly as stored, with a reason when they cannot be had.
// A pipe or device is never opened for reading (that could wait forever);
// a file that another program changes while it is read is reported as
// Changed.
FileReadResult ReadFileBytes(const std::string& path);

// A regular file opened for reading, with its status as opened.
struct OpenedForReading {
  FileReadResult::Status status = FileReadResult::Status::Ok;
  std::string error;  // the system's reason when not Ok
  int fd = -1;        // owned by the caller when Ok
  struct stat info {};
};
// Opens without waiting on a pipe or device, and without making it the
// controlling terminal: what is no regular file is NotAFile.
OpenedForReading OpenForReading(const std::string& path);

// Reads all bytes of an open regular file of the size its status gave; the
// status Changed when the file is not that size or changes while read.
FileReadResult ReadOpenFile(int fd, const struct stat& info);

// A regular file's bytes mapped into memory, read without a copy. Should
// another program shorten the file while it is mapped, the part it lost
// reads as zero bytes instead of ending the process (SIGBUS), and
// Damaged() says so: the caller then reports that the file changed while it
// was read.
class MappedFile {
 public:
  // nullopt when the path is not a non-empty regular file the system maps;
  // ReadFileBytes then reads it, or says why it cannot.
  static std::optional<MappedFile> Map(const std::string& path);
  // The same for an open file of the size `size`.
  static std::optional<MappedFile> Map(int fd, std::size_t size);

  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  ~MappedFile();

  std::string_view bytes() const { return {static_cast<const char*>(data_), size_}; }

  // Whether a part of the file went while it was mapped (it read as zeros).
  bool Damaged() const;

 private:
  MappedFile(void* data, std::size_t size, int guard) : data_(data), size_(size), guard_(guard) {}
  void Unmap();
  void* data_ = nullptr;
  std::size_t size_ = 0;
  int guard_ = -1;  // its place among the mappings the SIGBUS handler knows
};

// The file's bytes with line ends normalised to CR LF; empty for an empty
// path or a missing file. No character conversion is done.
std::string LoadTextFile(const std::string& path);

struct SaveResult {
  enum class Status { Written, Skipped, Failed };
  Status status = Status::Written;
  std::string message;  // for Failed: "【 path 】が 開けません！", the message the window shows
  std::string path;     // for Failed: the file that could not be written
  std::string reason;   // for Failed: the system's reason
  bool ok() const { return status != Status::Failed; }
};

// Writes all bytes to an open file descriptor, resuming after interrupted
// and partial writes; false when a write failed.
bool WriteAllToDescriptor(int fd, std::string_view bytes);

// "【 path 】が 開けません！"
std::string CannotOpenMessage(std::string_view path);

// Writes the bytes unchanged. Nothing is written for an empty text, an empty
// path or a path naming a folder. The bytes go to a new file in the same
// folder which then replaces the target (see SafeFile.h), so a failed write
// leaves the old file as it was; an existing file keeps its mode, and its
// owner and group where the process may. A link is followed to the file it
// names, which is replaced (the link stays); a device or pipe is written to.
SaveResult SaveTextFile(std::string_view text, const std::string& path);

}  // namespace zelm
