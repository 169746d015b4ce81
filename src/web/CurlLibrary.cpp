#include "web/CurlLibrary.h"

#include <mutex>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace zelm::web {
namespace {

#if defined(_WIN32)
constexpr const char* kLibraryNames[] = {"libcurl.dll", "libcurl-x64.dll"};
void* OpenLibrary(const char* name) { return reinterpret_cast<void*>(::LoadLibraryA(name)); }
void* FindSymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), name));
}
std::string LastLoadError() { return "error " + std::to_string(::GetLastError()); }
#else
#if defined(__APPLE__)
constexpr const char* kLibraryNames[] = {"libcurl.4.dylib", "libcurl.dylib"};
#else
constexpr const char* kLibraryNames[] = {"libcurl.so.4"};
#endif
// RTLD_LOCAL: libcurl's symbols stay out of the way of the program's own.
void* OpenLibrary(const char* name) { return ::dlopen(name, RTLD_NOW | RTLD_LOCAL); }
void* FindSymbol(void* library, const char* name) { return ::dlsym(library, name); }
std::string LastLoadError() {
  const char* error = ::dlerror();
  return error ? error : "unknown error";
}
#endif

// Loads the library and every function; the library stays loaded for the
// rest of the process (libcurl keeps global state once initialised).
bool Load(CurlLibrary& curl, std::string& error) {
  void* library = nullptr;
  for (const char* name : kLibraryNames)
    if ((library = OpenLibrary(name))) break;
  if (!library) {
    error = "libcurl is not installed (" + LastLoadError() + ")";
    return false;
  }
#define ZELM_CURL_LOAD(name)                                                          \
  curl.name = reinterpret_cast<decltype(curl.name)>(FindSymbol(library, "curl_" #name)); \
  if (!curl.name) {                                                                   \
    error = "libcurl is too old: it has no curl_" #name " (7.68 or later is needed)";  \
    return false;                                                                     \
  }
  ZELM_CURL_FUNCTIONS(ZELM_CURL_LOAD)
#undef ZELM_CURL_LOAD
  // Once, before any handle exists: libcurl's global set-up is not safe to
  // run while other threads use it.
  if (const CURLcode code = curl.global_init(CURL_GLOBAL_DEFAULT); code != CURLE_OK) {
    error = std::string("libcurl cannot start: ") + curl.easy_strerror(code);
    return false;
  }
  return true;
}

}  // namespace

const CurlLibrary* CurlLibrary::Get(std::string& error) {
  static std::once_flag once;
  static CurlLibrary curl;
  static bool loaded = false;
  static std::string loadError;
  std::call_once(once, [] { loaded = Load(curl, loadError); });
  if (!loaded) error = loadError;
  return loaded ? &curl : nullptr;
}

}  // namespace zelm::web
