#include "web/PageSource.h"

#include "text/FileIO.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

// The source as text with CR LF line ends, or the failure.
std::string ReadSource(std::string_view addressOrFile, const DownloadOptions& options, PageSource& source) {
  if (IsWebUrl(addressOrFile)) {
    source.download = DownloadUrlText(addressOrFile, options);
    if (!source.download.ok()) source.failure = PageSource::Failure::Download;
    return std::move(source.download.text);
  }
  source.fromFile = true;
  FileReadResult read = ReadFileBytes(std::string(addressOrFile));
  if (!read.ok()) {
    source.failure = PageSource::Failure::File;
    source.reason = read.error;
    return {};
  }
  if (read.bytes.find('\0') != std::string::npos) {
    source.failure = PageSource::Failure::File;
    source.reason = "the file holds zero bytes: it is no text";
    return {};
  }
  return NormalizeLineEnds(read.bytes);
}

}  // namespace

PageSource LoadPageSource(std::string_view addressOrFile, const DownloadOptions& options) {
  PageSource source;
  const std::string text = ReadSource(addressOrFile, options, source);
  if (!source.ok()) return source;
  try {
    source.page = DownloadedPageToShiftJis(text);
  } catch (const EncodingError& error) {
    source.failure = PageSource::Failure::Encoding;
    source.reason = error.what();
  }
  return source;
}

}  // namespace zelm
