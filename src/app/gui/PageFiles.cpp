#include "app/gui/PageFiles.h"

#include <sys/stat.h>

#include <filesystem>

namespace zelm::gui {

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return !path.empty() && std::filesystem::is_regular_file(path, ignored);
}

SaveOptions SaveOptionsFor(const std::string& path, const OpenedFile& source) {
  SaveOptions options;
  if (!source.identity || source.path.empty()) return options;
  // The same file by another name (a link, "./") counts as well.
  struct stat info {};
  const bool sameFile = ::stat(path.c_str(), &info) == 0 && FileIdentity::Of(info).SameFile(*source.identity);
  if (path == source.path || sameFile) options.expected = source.identity;
  return options;
}

std::string TempResultPath(const std::string& pageFile) {
  return (std::filesystem::path(pageFile).parent_path() / "ZZ_tmp.html").string();
}

SaveOutcome WriteTempResult(std::string_view result, const std::string& pageFile) {
  return SaveOutputFile(std::span<const std::string_view>(&result, 1), TempResultPath(pageFile));
}

}  // namespace zelm::gui
