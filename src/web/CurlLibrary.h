// libcurl, loaded when the first download starts.
//
// zelm-cli is started once per page by scripts, most of them on files.
// Linked in, libcurl and the thirty libraries it needs (TLS, HTTP/2, IDN,
// LDAP, Kerberos, ...) would be loaded at every start, which takes several
// times as long as re-indenting a small page; loaded here, only a run that
// downloads pays for them.
#pragma once

#include <curl/curl.h>

#include <string>

namespace zelm::web {

// The libcurl functions the download uses. Members are named without their
// "curl_" prefix, so that libcurl's type-checking macros for
// curl_easy_setopt and curl_easy_getinfo do not take them for calls.
#define ZELM_CURL_FUNCTIONS(X) \
  X(global_init)               \
  X(easy_init)                 \
  X(easy_setopt)               \
  X(easy_getinfo)              \
  X(easy_cleanup)              \
  X(easy_strerror)             \
  X(multi_init)                \
  X(multi_add_handle)          \
  X(multi_remove_handle)       \
  X(multi_perform)             \
  X(multi_poll)                \
  X(multi_wakeup)              \
  X(multi_info_read)           \
  X(multi_cleanup)             \
  X(multi_strerror)

struct CurlLibrary {
#define ZELM_CURL_MEMBER(name) decltype(&::curl_##name) name = nullptr;
  ZELM_CURL_FUNCTIONS(ZELM_CURL_MEMBER)
#undef ZELM_CURL_MEMBER

  // The loaded library, initialised; nullptr when it cannot be loaded, and
  // then `error` says why. Loaded once per process; safe from any thread.
  static const CurlLibrary* Get(std::string& error);
};

}  // namespace zelm::web
