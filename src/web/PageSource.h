// A page's own source for the analyser: downloaded from an http:// or
// https:// address, or read from a local file, and brought to Shift_JIS by
// the charset it declares. The same steps as `zelm-cli indent ADDRESS`.
#pragma once

#include <string>
#include <string_view>

#include "web/WebUtil.h"

namespace zelm {

struct PageSource {
  enum class Failure {
    None,
    Download,  // the address could not be downloaded: see `download`
    File,      // the file could not be read, or is no text: see `reason`
    Encoding,  // the system cannot convert the text: see `reason`
  };
  Failure failure = Failure::None;
  bool fromFile = false;
  // For an address: how the download went (its text is moved into `page`).
  DownloadResult download;
  std::string reason;   // the system's reason for File and Encoding failures
  DownloadedPage page;  // the text in Shift_JIS with CR LF line ends, when nothing failed

  bool ok() const { return failure == Failure::None; }
};

// Loads the source at `addressOrFile`: an address (IsWebUrl) is downloaded
// with `options` (its stop token cancels it), anything else is a file name
// whose bytes are read with their line ends made CR LF; a file holding zero
// bytes is refused as no text. The text is then converted with the code
// the page's charset label declares (automatic without one). Blocks; safe
// on any thread.
PageSource LoadPageSource(std::string_view addressOrFile, const DownloadOptions& options);

}  // namespace zelm
