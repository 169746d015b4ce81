// Whole-file load and save as raw bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zelm {

struct FileReadResult {
  enum class Status { Ok, NotFound, NotAFile, Unreadable };
  Status status = Status::Ok;
  std::string bytes;
  std::string error;  // the system's reason, for messages
  bool ok() const { return status == Status::Ok; }
};

// The file's bytes exactly as stored, with a reason when they cannot be had.
FileReadResult ReadFileBytes(const std::string& path);

// A regular file's bytes mapped into memory, read without a copy. Should
// another program shorten the file while it is mapped, reading the part it
// lost ends the process (SIGBUS), as with any mapped file: zelm-cli maps a
// large page for one job only.
class MappedFile {
 public:
  // nullopt when the path is not a non-empty regular file the system maps;
  // ReadFileBytes then reads it, or says why it cannot.
  static std::optional<MappedFile> Map(const std::string& path);

  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  ~MappedFile();

  std::string_view bytes() const { return {static_cast<const char*>(data_), size_}; }

 private:
  MappedFile(void* data, std::size_t size) : data_(data), size_(size) {}
  void* data_ = nullptr;
  std::size_t size_ = 0;
};

// The file's bytes with line ends normalised to CR LF; empty for an empty
// path or a missing file. No character conversion is done.
std::string LoadTextFile(const std::string& path);

struct SaveResult {
  enum class Status { Written, Skipped, Failed };
  Status status = Status::Written;
  std::string message;  // for Failed: the message to show the user
  bool ok() const { return status != Status::Failed; }
};

// Writes all bytes to an open file descriptor, resuming after interrupted
// and partial writes; false when a write failed.
bool WriteAllToDescriptor(int fd, std::string_view bytes);

// "【 path 】が 開けません！"
std::string CannotOpenMessage(std::string_view path);

// Writes the bytes unchanged. Nothing is written for an empty text, an empty
// path or a path naming a folder. The bytes go to a temporary file in the
// same folder which then replaces the target, so a failed write leaves the
// old file as it was; an existing file keeps its permissions.
SaveResult SaveTextFile(std::string_view text, const std::string& path);

}  // namespace zelm
