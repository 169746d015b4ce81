#include "EncodingTestSupport.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>

#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm::test {
namespace {

// Runs iconv over the input; calls `onError` at each sequence it cannot
// convert, which returns how many input bytes to skip (0 to give up).
template <typename OnError>
std::string RunIconv(std::string_view bytes, const char* from, const char* to, OnError onError) {
  iconv_t cd = ::iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    ADD_FAILURE() << "iconv cannot convert from " << from << " to " << to;
    return {};
  }
  std::string in(bytes), out;
  char* inPtr = in.data();
  std::size_t inLeft = in.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t rc = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (rc != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    const std::size_t skip = onError(out, static_cast<std::size_t>(inPtr - in.data()), in);
    if (skip == 0) break;
    inPtr += skip;
    inLeft -= skip;
  }
  ::iconv_close(cd);
  return out;
}

}  // namespace

std::string Iconv(std::string_view bytes, const char* from, const char* to) {
  return RunIconv(bytes, from, to, [&](std::string&, std::size_t at, const std::string&) -> std::size_t {
    ADD_FAILURE() << "iconv " << from << " -> " << to << " stopped at byte " << at;
    return 0;
  });
}

std::string Utf8ToCp932WithQuestionMarks(std::string_view utf8) {
  return RunIconv(utf8, "UTF-8", "CP932", [](std::string& out, std::size_t at, const std::string& in) -> std::size_t {
    const unsigned char lead = static_cast<unsigned char>(in[at]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    out += '?';
    return std::min(length, in.size() - at);
  });
}

std::string FoldByReplacing(std::string_view text) {
  std::string out = ReplaceAllText(text, "\r\n", "\n");
  out = ReplaceAllText(out, "\n\n", "\n");
  return ReplaceAllText(out, "\n", "\r\n");
}

std::vector<std::string> PageNames() {
  std::vector<std::string> names;
  for (const std::string& name : FileNamesIn(TestDataDir() / "pages"))
    if (name != "SOURCES.md") names.push_back(name);
  return names;
}

std::string ReadPage(const std::string& name) { return ReadFile(TestDataDir() / "pages" / name); }

std::size_t CountBytes(std::string_view text, std::string_view piece) {
  std::size_t count = 0;
  for (std::size_t at = text.find(piece); at != std::string_view::npos; at = text.find(piece, at + piece.size()))
    ++count;
  return count;
}

}  // namespace zelm::test
