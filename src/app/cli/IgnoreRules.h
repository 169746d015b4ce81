// .zelmignore: paths that folder runs leave alone (generated or vendored
// pages), written as .gitignore patterns.
//
// One pattern a line; blank lines and lines starting with "#" are skipped
// ("\#" and "\!" start a pattern with those characters); trailing blanks
// are dropped unless escaped with "\". "!" in front re-includes what an
// earlier pattern left out. A pattern ending in "/" matches folders only.
// A pattern with a "/" at its start or in its middle is taken from the
// folder of the .zelmignore it is in ("/" at its start anchors it there);
// one without matches a name at any depth below. "*" matches anything but
// "/", "?" one character but "/", "[a-z]" / "[!a-z]" one character of a set
// or not of it; "**/" in front matches in every folder, "/**" at the end
// everything inside, "/**/" zero or more folders. The last pattern that
// matches decides; a .zelmignore deeper down decides before those above it.
// As in Git, a page inside a left-out folder cannot be re-included (the
// folder is not searched).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelm::cli {

inline constexpr std::string_view kIgnoreFileName = ".zelmignore";

// Does a .gitignore pattern (without its "!" and trailing "/") match a
// path ('/' between folders)?
bool GlobMatches(std::string_view glob, std::string_view path);

// The patterns of one .zelmignore.
class IgnoreRules {
 public:
  explicit IgnoreRules(std::string_view text);

  // For a path relative to the file's folder: true when left out, false
  // when re-included by a "!" pattern, nullopt when no pattern matches.
  std::optional<bool> Decide(std::string_view relativePath, bool isFolder) const;

  bool empty() const { return patterns_.empty(); }

 private:
  struct Pattern {
    std::string glob;
    bool negated = false;
    bool foldersOnly = false;
    bool anchored = false;  // matched against the whole relative path, not the last name
  };
  std::vector<Pattern> patterns_;
};

// The .zelmignore files that bear on a folder being searched: those of
// the folder and of every folder above it, with the folder each is in.
class IgnoreStack {
 public:
  // The files of `folder` (absolute) and the folders above it.
  explicit IgnoreStack(const std::filesystem::path& folder);
  // Entering a subfolder, and leaving it again (also after a problem).
  // A .zelmignore there that cannot be read is the problem returned: what
  // it would leave out is unknown, so the folder is not to be searched.
  std::optional<std::string> Enter(const std::filesystem::path& folder);
  void Leave();
  // Is the entry (absolute path) left out?
  bool Ignored(const std::filesystem::path& entry, bool isFolder) const;
  // .zelmignore files that could not be read, with the reason: the
  // constructor's, when there are any, mean the folder is not to be searched.
  const std::vector<std::string>& problems() const { return problems_; }

 private:
  struct Level {
    std::filesystem::path folder;
    std::optional<IgnoreRules> rules;  // none when the folder has no .zelmignore
  };
  void Push(const std::filesystem::path& folder);

  std::vector<Level> levels_;
  std::vector<std::string> problems_;
};

// Is the page (absolute path) left out by the .zelmignore files of its
// folder and the folders above it, itself or by one of its folders? For
// pages named on the command line with --force-ignore. A .zelmignore that
// cannot be read is `problem`, and the page counts as left out.
bool IsPageIgnored(const std::filesystem::path& page, std::string& problem);

}  // namespace zelm::cli
