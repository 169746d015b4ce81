// The pages a run of zelm-cli works on: the files named, and the .htm and
// .html files found in the folders named.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zelm::cli {

// A page, and the folder named on the command line it was found in (empty
// for a file named itself): below -o FOLDER it keeps its place relative to
// that folder.
struct Input {
  std::string path;
  std::filesystem::path root;
};

struct PageSearchOptions {
  // Leave out what .zelmignore files leave out (of folders searched; a
  // file named on the command line is always taken).
  bool useIgnoreFiles = true;
  // Leave out files named on the command line too, when .zelmignore files
  // name them (for hooks, which name every staged page).
  bool ignoreNamedFiles = false;
};

struct PageSearch {
  std::vector<Input> files;
  std::vector<std::string> errors;    // folders (or .zelmignore files) that could not be read
  std::vector<std::string> warnings;  // links skipped
  std::size_t namedIgnored = 0;       // files named and left out (ignoreNamedFiles)
};

// Is the name one of a page (.htm or .html, any case), and not a backup
// (ZZBU_*) or the window's ZZ_tmp.html?
bool IsHtmlFileName(const std::filesystem::path& path);

// The files named, with folders searched for pages, in order: a folder's
// pages sorted, so runs are repeatable. Links inside searched folders are
// not followed (a link in a folder others can write to could point
// anywhere). A file named twice, by any path (a link, "./", a folder and a
// file in it), is taken once. "page" names page.html when there is no file
// "page".
PageSearch FindPages(const std::vector<std::string>& inputs, const PageSearchOptions& options);

// Where the result of `file` goes when -o names a folder: the same place
// below it as below the folder named on the command line (a file named
// itself goes straight into it).
std::string OutputPathInFolder(const std::string& folder, const Input& file);

// Why the outputs cannot be written, if they cannot: two inputs going to
// one output, or an output that is one of the inputs (it would be replaced
// without a backup). Checked before anything is written.
std::optional<std::string> OutputClash(const std::vector<Input>& files, const std::vector<std::string>& targets);

}  // namespace zelm::cli
