// Downloading a page's text over HTTP or HTTPS with libcurl.
//
// The transfer runs on libcurl's multi interface, so that a stop requested
// from another thread wakes the waiting download at once instead of after
// the next network event or timeout.
#include <memory>
#include <new>
#include <optional>
#include <stop_token>

#include "text/StringUtil.h"
#include "web/CurlLibrary.h"
#include "web/PageTextBuilder.h"
#include "web/WebUtil.h"

namespace zelm {
namespace {

using web::CurlLibrary;

constexpr const char* kAgentName = "MyApp";
// libcurl hands every read of the socket to the write callback; reads are
// of at most this many bytes (libcurl's smallest receive buffer).
constexpr long kReadSize = 1024;
constexpr long kMaxRedirects = 20;
// How long one wait for the network may last before the loop looks again
// (timeouts and stops end a wait early on their own).
constexpr int kLongestWaitMs = 1000;

// The easy and multi handles, and the easy handle's membership of the
// multi handle: each is released whichever way the download ends, in the
// order libcurl needs (membership first, then the handles).
using EasyHandle = std::unique_ptr<CURL, decltype(CurlLibrary::easy_cleanup)>;
using MultiHandle = std::unique_ptr<CURLM, decltype(CurlLibrary::multi_cleanup)>;

class Membership {
 public:
  Membership(const CurlLibrary& curl, CURLM* multi, CURL* easy)
      : curl_(curl), multi_(multi), easy_(easy), code_(curl.multi_add_handle(multi, easy)) {}
  ~Membership() {
    if (code_ == CURLM_OK) curl_.multi_remove_handle(multi_, easy_);
  }
  Membership(const Membership&) = delete;
  Membership& operator=(const Membership&) = delete;
  CURLMcode code() const { return code_; }

 private:
  const CurlLibrary& curl_;
  CURLM* multi_;
  CURL* easy_;
  CURLMcode code_;
};

// What the write callback builds.
struct Received {
  web::PageTextBuilder page;
  bool outOfMemory = false;
};

// libcurl's write callback: one read of at most kReadSize bytes. Returning
// less than it was given makes libcurl stop with CURLE_WRITE_ERROR.
std::size_t TakeChunk(char* data, std::size_t size, std::size_t count, void* received) {
  auto& into = *static_cast<Received*>(received);
  try {
    into.page.Append(std::string_view(data, size * count));
  } catch (const std::bad_alloc&) {
    into.outOfMemory = true;
    return 0;
  }
  return size * count;
}

DownloadError ErrorOf(CURLcode code) {
  switch (code) {
    case CURLE_OK: return DownloadError::None;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT: return DownloadError::BadAddress;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return DownloadError::NameResolution;
    case CURLE_COULDNT_CONNECT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM: return DownloadError::Connection;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS: return DownloadError::Certificate;
    case CURLE_HTTP_RETURNED_ERROR: return DownloadError::HttpStatus;
    case CURLE_TOO_MANY_REDIRECTS: return DownloadError::Redirects;
    case CURLE_OPERATION_TIMEDOUT: return DownloadError::Timeout;
    case CURLE_ABORTED_BY_CALLBACK: return DownloadError::Cancelled;
    default: return DownloadError::Other;
  }
}

std::string_view WhatFailed(DownloadError error) {
  switch (error) {
    case DownloadError::None: return "";
    case DownloadError::BadAddress: return "not an address that can be downloaded";
    case DownloadError::NameResolution: return "cannot resolve the host name";
    case DownloadError::Connection: return "the connection failed";
    case DownloadError::Certificate: return "the server's certificate did not pass the checks";
    case DownloadError::HttpStatus: return "the server answered with an error";
    case DownloadError::Redirects: return "too many redirects";
    case DownloadError::Timeout: return "the download timed out";
    case DownloadError::Cancelled: return "the download was cancelled";
    case DownloadError::Unavailable: return "downloads are not available";
    case DownloadError::Other: return "the download failed";
  }
  return "the download failed";
}

DownloadResult Failure(DownloadError error, std::string_view detail = {}) {
  DownloadResult result;
  result.error = error;
  result.message = std::string(WhatFailed(error));
  if (!detail.empty()) result.message += ": " + std::string(detail);
  return result;
}

// Runs the transfer until it ends or the stop is requested; the code it
// ended with, or nullopt when it was stopped.
std::optional<CURLcode> Run(const CurlLibrary& curl, CURLM* multi, const std::stop_token& stop, std::string& error) {
  // Wakes the wait below when another thread requests the stop. Declared
  // after the handles, so it is gone before they are.
  std::stop_callback wake(stop, [&curl, multi] { curl.multi_wakeup(multi); });
  int running = 1;
  while (true) {
    if (stop.stop_requested()) return std::nullopt;
    CURLMcode code = curl.multi_perform(multi, &running);
    if (code == CURLM_OK && running) code = curl.multi_poll(multi, nullptr, 0, kLongestWaitMs, nullptr);
    if (code != CURLM_OK) {
      error = curl.multi_strerror(code);
      return CURLE_FAILED_INIT;
    }
    if (!running) break;
  }
  int left = 0;
  while (CURLMsg* message = curl.multi_info_read(multi, &left))
    if (message->msg == CURLMSG_DONE) return message->data.result;
  error = "the transfer ended without a result";
  return CURLE_FAILED_INIT;
}

}  // namespace

DownloadResult DownloadUrlText(std::string_view address, const DownloadOptions& options) {
  if (!IsWebUrl(address)) return Failure(DownloadError::BadAddress, "only http:// and https:// addresses are downloaded");
  if (options.stop.stop_requested()) return Failure(DownloadError::Cancelled);
  std::string loadError;
  const CurlLibrary* curl = CurlLibrary::Get(loadError);
  if (!curl) return Failure(DownloadError::Unavailable, loadError);

  const std::string url(PlainTrimView(address));
  const MultiHandle multi(curl->multi_init(), curl->multi_cleanup);
  const EasyHandle easy(curl->easy_init(), curl->easy_cleanup);
  if (!multi.get() || !easy.get()) return Failure(DownloadError::Other, "libcurl cannot make a handle");

  Received received;
  char errorBuffer[CURL_ERROR_SIZE] = {};
  CURLcode code = CURLE_OK;
  auto set = [&](CURLoption option, auto value) {
    if (code == CURLE_OK) code = curl->easy_setopt(easy.get(), option, value);
  };
  set(CURLOPT_ERRORBUFFER, errorBuffer);
  set(CURLOPT_URL, url.c_str());
  set(CURLOPT_USERAGENT, kAgentName);
  // No CURLOPT_PROXY: libcurl then takes the proxy from http_proxy,
  // https_proxy, all_proxy and no_proxy, as the system's tools do.
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  set(CURLOPT_FOLLOWLOCATION, 1L);
  set(CURLOPT_MAXREDIRS, kMaxRedirects);
  set(CURLOPT_SSL_VERIFYPEER, 1L);
  set(CURLOPT_SSL_VERIFYHOST, 2L);
  set(CURLOPT_FAILONERROR, 1L);  // a status of 400 or more is a failure, not a page
  set(CURLOPT_BUFFERSIZE, kReadSize);
  set(CURLOPT_WRITEFUNCTION, &TakeChunk);
  set(CURLOPT_WRITEDATA, static_cast<void*>(&received));
  // Several downloads may run on several threads: no signals (timeouts are
  // kept by the multi interface, names resolved on libcurl's own thread).
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
  set(CURLOPT_TIMEOUT_MS, static_cast<long>(options.timeout.count()));
  if (code != CURLE_OK) return Failure(DownloadError::Other, curl->easy_strerror(code));

  const Membership membership(*curl, multi.get(), easy.get());
  if (membership.code() != CURLM_OK) return Failure(DownloadError::Other, curl->multi_strerror(membership.code()));
  std::string runError;
  const std::optional<CURLcode> ended = Run(*curl, multi.get(), options.stop, runError);
  if (!ended) return Failure(DownloadError::Cancelled);

  long status = 0;
  curl->easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
  char* finalAddress = nullptr;
  curl->easy_getinfo(easy.get(), CURLINFO_EFFECTIVE_URL, &finalAddress);

  DownloadResult result;
  if (*ended != CURLE_OK) {
    const DownloadError error = received.outOfMemory ? DownloadError::Other : ErrorOf(*ended);
    std::string detail = received.outOfMemory ? "out of memory"
                         : !runError.empty()  ? runError
                         : errorBuffer[0]     ? errorBuffer
                                              : curl->easy_strerror(*ended);
    if (error == DownloadError::HttpStatus) detail = "HTTP status " + std::to_string(status);
    result = Failure(error, detail);
  } else {
    result.text = received.page.Finish();
  }
  result.httpStatus = status;
  if (finalAddress) result.finalAddress = finalAddress;
  return result;
}

}  // namespace zelm
