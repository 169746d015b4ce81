// Helpers shared by the test suites: temporary folders, test data, Shift_JIS
// literals and random texts.
#pragma once

#include <sys/resource.h>

#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace zelm::test {

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::filesystem::path TestDataDir();
std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, std::string_view bytes);

// Converts UTF-8 source text to Shift_JIS bytes, for readable test literals.
// Only the characters the tests use need to be known; an unknown one fails
// the test that asked for it.
std::string Sjis(std::string_view utf8);

// Names of the files in a folder, sorted, for golden-file tests.
std::vector<std::string> FileNamesIn(const std::filesystem::path& folder);

// A name usable as a GoogleTest parameter name (letters, digits, '_').
std::string TestNameFrom(std::string_view fileName);

// A random byte string drawn mostly from `alphabet` pieces, for property tests.
std::string RandomText(std::mt19937& rng, const std::vector<std::string>& alphabet, std::size_t pieces);

// The texts one after another.
std::string Joined(const std::vector<std::string>& texts);

// Writes past `bytes` fail (with "File too large") while it lives, for root
// too, who may write into any folder.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

}  // namespace zelm::test
