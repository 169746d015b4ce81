#include "app/cli/IgnoreRules.h"

#include "text/FileIO.h"

namespace zelm::cli {
namespace {

// Matches the bracket expression starting at glob[at] ('[') against `c`.
// Returns where the expression ends (after ']') and whether it matched;
// nullopt when it is not closed, so that the '[' is taken as itself.
struct ClassMatch {
  std::size_t end;
  bool matched;
};
std::optional<ClassMatch> MatchClass(std::string_view glob, std::size_t at, char c) {
  std::size_t i = at + 1;
  const bool negated = i < glob.size() && (glob[i] == '!' || glob[i] == '^');
  if (negated) ++i;
  bool matched = false;
  bool first = true;
  while (i < glob.size() && (glob[i] != ']' || first)) {
    first = false;
    char low = glob[i];
    if (low == '\\' && i + 1 < glob.size()) low = glob[++i];
    char high = low;
    if (i + 2 < glob.size() && glob[i + 1] == '-' && glob[i + 2] != ']') {
      high = glob[i + 2];
      if (high == '\\' && i + 3 < glob.size()) high = glob[++i + 2];
      i += 2;
    }
    const auto u = static_cast<unsigned char>(c);
    if (static_cast<unsigned char>(low) <= u && u <= static_cast<unsigned char>(high)) matched = true;
    ++i;
  }
  if (i >= glob.size()) return std::nullopt;
  return ClassMatch{i + 1, matched != negated && c != '/'};
}

}  // namespace

bool GlobMatches(std::string_view glob, std::string_view path) {
  std::size_t g = 0, p = 0;
  while (g < glob.size()) {
    const char c = glob[g];
    if (c == '*') {
      std::size_t stars = g;
      while (stars < glob.size() && glob[stars] == '*') ++stars;
      const bool wholeSegment = (g == 0 || glob[g - 1] == '/') && (stars == glob.size() || glob[stars] == '/');
      const std::string_view tail = path.substr(p);
      if (stars - g >= 2 && wholeSegment) {
        if (stars == glob.size()) return true;  // "dir/**": everything inside
        // "**/rest": the rest here, or after any '/' further on.
        const std::string_view rest = glob.substr(stars + 1);
        if (GlobMatches(rest, tail)) return true;
        for (std::size_t i = 0; i < tail.size(); ++i)
          if (tail[i] == '/' && GlobMatches(rest, tail.substr(i + 1))) return true;
        return false;
      }
      // Any other run of stars: anything up to the next '/'.
      const std::string_view rest = glob.substr(stars);
      for (std::size_t i = 0;; ++i) {
        if (GlobMatches(rest, tail.substr(i))) return true;
        if (i == tail.size() || tail[i] == '/') return false;
      }
    }
    if (p == path.size()) return false;
    if (c == '?') {
      if (path[p] == '/') return false;
      ++g, ++p;
      continue;
    }
    if (c == '[') {
      if (const std::optional<ClassMatch> match = MatchClass(glob, g, path[p])) {
        if (!match->matched) return false;
        g = match->end, ++p;
        continue;
      }
    }
    char literal = c;
    if (c == '\\' && g + 1 < glob.size()) literal = glob[++g];
    if (path[p] != literal) return false;
    ++g, ++p;
  }
  return p == path.size();
}

IgnoreRules::IgnoreRules(std::string_view text) {
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    while (line.ends_with(' ') && !line.ends_with("\\ ")) line.remove_suffix(1);
    Pattern pattern;
    if (line.starts_with('!')) {
      pattern.negated = true;
      line.remove_prefix(1);
    }
    if (line.ends_with('/')) {
      pattern.foldersOnly = true;
      line.remove_suffix(1);
    }
    if (line.empty()) continue;
    pattern.anchored = line.find('/') != std::string_view::npos;
    if (line.starts_with('/')) line.remove_prefix(1);
    pattern.glob = std::string(line);
    patterns_.push_back(std::move(pattern));
  }
}

std::optional<bool> IgnoreRules::Decide(std::string_view relativePath, bool isFolder) const {
  const std::size_t slash = relativePath.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? relativePath : relativePath.substr(slash + 1);
  std::optional<bool> decision;
  for (const Pattern& pattern : patterns_) {
    if (pattern.foldersOnly && !isFolder) continue;
    if (GlobMatches(pattern.glob, pattern.anchored ? relativePath : name)) decision = !pattern.negated;
  }
  return decision;
}

IgnoreStack::IgnoreStack(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> chain;
  for (std::filesystem::path at = folder;; at = at.parent_path()) {
    chain.push_back(at);
    if (!at.has_parent_path() || at.parent_path() == at) break;
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) Push(*it);
}

std::optional<std::string> IgnoreStack::Enter(const std::filesystem::path& folder) {
  const std::size_t known = problems_.size();
  Push(folder);
  if (problems_.size() == known) return std::nullopt;
  return problems_.back();
}

void IgnoreStack::Leave() { levels_.pop_back(); }

void IgnoreStack::Push(const std::filesystem::path& folder) {
  Level level{folder, std::nullopt};
  const std::filesystem::path file = folder / kIgnoreFileName;
  std::error_code error;
  if (std::filesystem::exists(file, error)) {
    const FileReadResult read = ReadFileBytes(file.string());
    if (read.ok()) level.rules.emplace(read.bytes);
    else problems_.push_back(file.string() + ": cannot read the file: " +
                             (read.error.empty() ? std::string("not a regular file") : read.error));
  }
  levels_.push_back(std::move(level));
}

bool IgnoreStack::Ignored(const std::filesystem::path& entry, bool isFolder) const {
  for (auto level = levels_.rbegin(); level != levels_.rend(); ++level) {
    if (!level->rules) continue;
    const std::string relative = entry.lexically_relative(level->folder).generic_string();
    if (relative.empty() || relative == ".." || relative.starts_with("../")) continue;
    if (const std::optional<bool> decision = level->rules->Decide(relative, isFolder)) return *decision;
  }
  return false;
}

bool IsPageIgnored(const std::filesystem::path& page, std::string& problem) {
  const IgnoreStack stack(page.parent_path());
  if (!stack.problems().empty()) {
    problem = stack.problems().front();
    return true;
  }
  // Each folder on the way down, then the page itself.
  std::vector<std::filesystem::path> folders;
  for (std::filesystem::path at = page.parent_path(); at.has_parent_path() && at.parent_path() != at;
       at = at.parent_path())
    folders.push_back(at);
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
    if (stack.Ignored(*folder, true)) return true;
  return stack.Ignored(page, false);
}

}  // namespace zelm::cli
