// Whole-file load and save as raw bytes.
#pragma once

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
