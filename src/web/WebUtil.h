// Web pages and addresses: telling a web address from a file name, cutting
// a page name out of an address, recognising frame pages, and downloading a
// page's text over HTTP or HTTPS.
//
// Nothing here needs a GUI. The helpers of the embedded browsers (navigate,
// write a text into a browser, open in the default browser) are in
// web/qt/WebBrowser.h.
#pragma once

#include <chrono>
#include <stop_token>
#include <string>
#include <string_view>

#include "encoding/CharCode.h"
#include "encoding/Converted.h"

namespace zelm {

// --- Addresses ------------------------------------------------------------

// True when the text, trimmed, begins with "http://" or "https://" (exact
// case): anything else is a file name.
bool IsWebUrl(std::string_view text);

// The page (or last folder) name of an address: "page.html" for
// ".../dir/page.html", "dir" for ".../dir/", "" for a bare host with a
// trailing "/". A path with backslashes comes back as it is.
std::string UrlLastSegment(std::string_view address);

// The address without its scheme and common host prefix ("https://www12.",
// "http://www.", ...) or drive prefix ("C:/"): the first occurrence of each
// of a fixed list of 71 prefixes is removed, one after another, longer
// prefixes of a family before shorter ones.
std::string StripUrlPrefix(std::string_view address);

// --- Frames ---------------------------------------------------------------

inline constexpr int kFramesetPage = -1;     // the page holds "<frameset"
inline constexpr int kInlineFramePage = -2;  // the page holds "<iframe" (not commented out by us)

// kFramesetPage, kInlineFramePage or 0 for an HTML text; letters are
// compared without case. An inline frame written as "<!-- ==<iframe" (the
// way this system comments one out) does not count, and a frameset wins
// over an inline frame.
int FrameKind(std::string_view html);

// --- Download -------------------------------------------------------------

// Why a download failed.
enum class DownloadError {
  None,
  BadAddress,      // not an http:// or https:// address, or malformed
  NameResolution,  // the host name (or the proxy's) could not be resolved
  Connection,      // no connection, or it broke off (refused, reset, TLS handshake failed)
  Certificate,     // the server's certificate did not pass the checks
  HttpStatus,      // the server answered with a status of 400 or more (see httpStatus)
  Redirects,       // too many redirects
  Timeout,         // the connect timeout or the overall timeout ran out
  Cancelled,       // the caller asked to stop
  Unavailable,     // libcurl could not be loaded
  Other,           // anything else libcurl reports, or out of memory
};

struct DownloadOptions {
  // Time to connect (name resolution and TLS handshake included), and for
  // the whole download. Zero: libcurl's own default (300 s to connect, no
  // overall limit).
  std::chrono::milliseconds connectTimeout{std::chrono::seconds(20)};
  std::chrono::milliseconds timeout{std::chrono::seconds(120)};
  // Another thread stops a running download by requesting a stop on the
  // source of this token (a std::jthread's, or a std::stop_source); the
  // download then ends at once with DownloadError::Cancelled.
  std::stop_token stop;
};

struct DownloadResult {
  std::string text;  // the page's bytes with line ends made CR LF; empty on failure
  DownloadError error = DownloadError::None;
  std::string message;    // why it failed, in plain English; empty on success
  long httpStatus = 0;    // the last status the server answered with, 0 when none came
  std::string finalAddress;  // where the page was found, after redirects (when one answered)

  bool ok() const { return error == DownloadError::None; }
};

// Downloads the text served at an http:// or https:// address (trimmed),
// with the agent name "MyApp", the proxy the environment names (http_proxy,
// https_proxy, no_proxy, as libcurl reads them), certificate checks on and
// redirects followed. The bytes are read in chunks of at most 1024 bytes;
// zero bytes are dropped and every other byte kept; CR LF, lone CR and lone
// LF all become CR LF. No encoding conversion: the caller converts the bytes.
// Blocks until the page is read, fails or times out, or the stop is
// requested. Safe to call from several threads at once.
DownloadResult DownloadUrlText(std::string_view address, const DownloadOptions& options = {});

// --- A downloaded page in Shift_JIS -------------------------------------

struct DownloadedPage {
  Converted sjis;  // the text in Shift_JIS, and the characters that had no Shift_JIS form
  CharCodeIndex declared = kCharCodeAuto;  // the encoding the page's charset label declares, 0 when none
  CharCodeIndex readAs = kCharCodeAuto;    // the encoding its bytes were read as
};

// A downloaded text converted with the encoding its charset label declares
// (GetCharCodeFromMeta; without a label, the automatic mode), or with
// `chosen` when that is not automatic: the text the analyser browser hands
// to the paste input stage. `unmappable`: how characters without an exact
// Shift_JIS form are written (see CodePointsToCp932). Throws EncodingError
// as AnyCodeToShiftJIS does.
DownloadedPage DownloadedPageToShiftJis(std::string_view text, CharCodeIndex chosen = kCharCodeAuto,
                                        Unmappable unmappable = Unmappable::Question);

}  // namespace zelm
