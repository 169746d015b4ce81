#include "app/cli/PageSearch.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "app/cli/IgnoreRules.h"
#include "indent/Pipeline.h"
#include "text/StringUtil.h"

namespace zelm::cli {
namespace {

namespace fs = std::filesystem;

// Searches a folder and its subfolders for pages. `absolute` is the
// folder's absolute path, for the .zelmignore patterns; `ignore` holds
// the .zelmignore files that bear on it (none with ignore files off).
void SearchFolder(const fs::path& folder, const fs::path& absolute, IgnoreStack* ignore, PageSearch& search,
                  std::vector<std::string>& found) {
  std::error_code error;
  fs::directory_iterator it(folder, error);
  if (error) {
    search.errors.push_back(folder.string() + ": cannot read the folder: " + error.message());
    return;
  }
  std::vector<fs::path> subfolders;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    const fs::file_status status = it->symlink_status(error);
    if (error) break;
    const fs::path name = it->path().filename();
    const bool isFolder = fs::is_directory(status);
    if (!isFolder && !IsHtmlFileName(name)) continue;
    if (ignore && ignore->Ignored(absolute / name, isFolder)) continue;
    if (isFolder) subfolders.push_back(name);
    else if (fs::is_regular_file(status)) found.push_back(it->path().string());
    else if (fs::is_symlink(status))
      search.warnings.push_back(it->path().string() +
                                ": a link in a searched folder: skipped (name it to indent the file it names)");
  }
  if (error) search.errors.push_back(folder.string() + ": cannot read the whole folder: " + error.message());
  std::sort(subfolders.begin(), subfolders.end());
  for (const fs::path& name : subfolders) {
    if (ignore) {
      if (const std::optional<std::string> problem = ignore->Enter(absolute / name)) {
        search.errors.push_back(*problem + " (the folder is not searched)");
        ignore->Leave();
        continue;
      }
    }
    SearchFolder(folder / name, absolute / name, ignore, search, found);
    if (ignore) ignore->Leave();
  }
}

}  // namespace

bool IsHtmlFileName(const fs::path& path) {
  std::string extension = path.extension().string();
  for (char& c : extension) c = AsciiLower(c);
  const std::string name = path.filename().string();
  return (extension == ".htm" || extension == ".html") && !name.starts_with("ZZBU_") && name != "ZZ_tmp.html";
}

PageSearch FindPages(const std::vector<std::string>& inputs, const PageSearchOptions& options) {
  PageSearch search;
  for (const std::string& input : inputs) {
    std::error_code error;
    if (!fs::is_directory(input, error)) {
      // A missing or unreadable file is reported when it is read.
      const bool exists = fs::exists(input, error);
      std::string file = exists ? input : ResolveHtmlFileName(input).value_or(input);
      if (options.useIgnoreFiles && options.ignoreNamedFiles) {
        std::string problem;
        const bool ignored = IsPageIgnored(fs::absolute(file, error).lexically_normal(), problem);
        if (!problem.empty()) search.errors.push_back(problem + " (" + file + " is not processed)");
        else search.namedIgnored += ignored;
        if (ignored) continue;
      }
      search.files.push_back({std::move(file), {}});
      continue;
    }
    fs::path absolute = fs::absolute(input, error).lexically_normal();
    if (!absolute.has_filename() && absolute != absolute.root_path()) absolute = absolute.parent_path();
    std::optional<IgnoreStack> ignore;
    if (options.useIgnoreFiles) {
      ignore.emplace(absolute);
      if (!ignore->problems().empty()) {
        for (const std::string& problem : ignore->problems())
          search.errors.push_back(problem + " (" + input + " is not searched)");
        continue;
      }
    }
    std::vector<std::string> found;
    SearchFolder(input, absolute, ignore ? &*ignore : nullptr, search, found);
    std::sort(found.begin(), found.end());
    for (std::string& file : found) search.files.push_back({std::move(file), input});
  }
  std::set<std::pair<dev_t, ino_t>> seen;
  std::erase_if(search.files, [&](const Input& file) {
    struct stat info {};
    return ::stat(file.path.c_str(), &info) == 0 && !seen.insert({info.st_dev, info.st_ino}).second;
  });
  return search;
}

std::string OutputPathInFolder(const std::string& folder, const Input& file) {
  const std::filesystem::path path(file.path);
  if (file.root.empty()) return (std::filesystem::path(folder) / path.filename()).string();
  return (std::filesystem::path(folder) / path.lexically_normal().lexically_relative(file.root.lexically_normal()))
      .string();
}

std::optional<std::string> OutputClash(const std::vector<Input>& files, const std::vector<std::string>& targets) {
  std::map<std::string, std::size_t> byTarget;
  std::set<std::pair<dev_t, ino_t>> inputs;
  for (const Input& file : files) {
    struct stat info {};
    if (::stat(file.path.c_str(), &info) == 0) inputs.insert({info.st_dev, info.st_ino});
  }
  for (std::size_t i = 0; i < targets.size(); ++i) {
    const std::string target = std::filesystem::path(targets[i]).lexically_normal().string();
    const auto [it, fresh] = byTarget.emplace(target, i);
    if (!fresh)
      return files[it->second].path + " and " + files[i].path + " would both be written to " + target;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && inputs.contains({info.st_dev, info.st_ino}))
      return target + " is an input: writing it would replace a page without a backup (use --in-place)";
  }
  return std::nullopt;
}

}  // namespace zelm::cli
