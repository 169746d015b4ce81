// The window's side of the file commands. Loading, the loss report,
// encoding for saving and saving with a backup are the shared file
// commands' (app/FileCommands.h), as zelm-cli uses them; what is the
// window's own is here: what it keeps of a file it opened into a pane, the
// options of a save over such a file, and the temporary result file.
// Free of Qt; the window words the failures itself (texts::FileErrorMessage).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/FileCommands.h"
#include "encoding/CharCode.h"

namespace zelm::gui {

// A file opened into a pane, as the save commands need it.
struct OpenedFile {
  std::string path;
  // The file as read (or as last saved): a save over it replaces it only
  // when no other program has changed it since.
  std::optional<FileIdentity> identity;
  CharCodeIndex declared = 0;   // the charset the document declares
  CharCodeIndex readAs = 0;     // the encoding it was read as
  bool byteOrderMark = false;   // a UTF-8 text file began with one: it is written again
  LossReport loss;              // what reading it could not carry
};

bool FileExists(const std::string& path);

// The options of a save of `source`'s text to `path`: over the file it was
// read from, that file as it was read is expected there.
SaveOptions SaveOptionsFor(const std::string& path, const OpenedFile& source);

// "ZZ_tmp.html" beside the page file, and writing the Result there (a
// regular file is replaced, with no backup).
std::string TempResultPath(const std::string& pageFile);
SaveOutcome WriteTempResult(std::string_view result, const std::string& pageFile);

}  // namespace zelm::gui
