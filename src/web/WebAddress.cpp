// Web addresses and frame pages: the helpers of WebUtil.h that need no
// network.
#include <array>

#include "text/StringUtil.h"
#include "web/WebUtil.h"

namespace zelm {
namespace {

// Removed one after another, each at its first occurrence. Within a family
// the longer prefixes come first, so that "https://www12." goes whole and
// not as "https://www1." followed by "2.".
constexpr std::array<std::string_view, 71> kStrippedPrefixes{
    // https://: wwwz., www19. to www10., www9. to www1., www9b. to www1b.,
    // www9a. to www1a., www., the bare scheme (40)
    "https://wwwz.",
    "https://www19.", "https://www18.", "https://www17.", "https://www16.", "https://www15.",
    "https://www14.", "https://www13.", "https://www12.", "https://www11.", "https://www10.",
    "https://www9.", "https://www8.", "https://www7.", "https://www6.", "https://www5.",
    "https://www4.", "https://www3.", "https://www2.", "https://www1.",
    "https://www9b.", "https://www8b.", "https://www7b.", "https://www6b.", "https://www5b.",
    "https://www4b.", "https://www3b.", "https://www2b.", "https://www1b.",
    "https://www9a.", "https://www8a.", "https://www7a.", "https://www6a.", "https://www5a.",
    "https://www4a.", "https://www3a.", "https://www2a.", "https://www1a.",
    "https://www.",
    "https://",
    // http://: wwwz., www19. to www1., www., the bare scheme (22)
    "http://wwwz.",
    "http://www19.", "http://www18.", "http://www17.", "http://www16.", "http://www15.",
    "http://www14.", "http://www13.", "http://www12.", "http://www11.", "http://www10.",
    "http://www9.", "http://www8.", "http://www7.", "http://www6.", "http://www5.",
    "http://www4.", "http://www3.", "http://www2.", "http://www1.",
    "http://www.",
    "http://",
    // Drive prefixes (9)
    "A:/", "B:/", "C:/", "D:/", "E:/", "F:/", "G:/", "H:/", "I:/",
};

constexpr bool NoneEmpty() {
  for (const std::string_view prefix : kStrippedPrefixes)
    if (prefix.empty()) return false;
  return true;
}
static_assert(NoneEmpty(), "the list has 71 prefixes");

constexpr std::size_t npos = std::string_view::npos;

}  // namespace

bool IsWebUrl(std::string_view text) {
  const std::string_view trimmed = PlainTrimView(text);
  return trimmed.starts_with("http://") || trimmed.starts_with("https://");
}

std::string StripUrlPrefix(std::string_view address) {
  std::string text(address);
  for (const std::string_view prefix : kStrippedPrefixes) text = ReplaceFirstExact(text, prefix, "");
  return text;
}

// The first "//" left after the prefixes are stripped (as in "a//b" of a
// path) is one unit, never a separator: the slashes of the host part and
// of the page name are looked for around it. Only that "//" is kept so; any
// other byte of the address, "|" included, stays what it is.
std::string UrlLastSegment(std::string_view address) {
  const std::string stripped = StripUrlPrefix(address);
  std::string_view t = stripped;
  std::size_t kept = t.find("//");  // index of the kept "//", npos when none
  auto isSeparator = [&](std::size_t i) { return t[i] == '/' && (kept == npos || i < kept || i > kept + 1); };
  auto firstSeparator = [&]() -> std::size_t {
    for (std::size_t i = 0; i < t.size(); ++i)
      if (isSeparator(i)) return i;
    return npos;
  };
  auto lastSeparator = [&]() -> std::size_t {
    for (std::size_t i = t.size(); i-- > 0;)
      if (isSeparator(i)) return i;
    return npos;
  };
  auto dropThrough = [&](std::size_t i) {  // t := the text after index i
    t.remove_prefix(i + 1);
    if (kept != npos) kept = kept > i ? kept - (i + 1) : npos;
  };

  // The host part goes.
  if (const std::size_t host = firstSeparator(); host != npos) dropThrough(host);
  const std::size_t last = lastSeparator();
  if (last == npos) return std::string(t);
  if (last + 1 < t.size()) {
    dropThrough(last);
    return std::string(t);
  }
  // A trailing "/": the folder it ends is the name.
  t.remove_suffix(1);
  if (const std::size_t before = lastSeparator(); before != npos) dropThrough(before);
  return std::string(t);
}

int FrameKind(std::string_view html) {
  if (FindNoCaseAtBoundary(html, "<frameset") != npos) return kFramesetPage;
  if (FindNoCaseAtBoundary(html, "<iframe") != npos && FindNoCaseAtBoundary(html, "<!-- ==<iframe") == npos)
    return kInlineFramePage;
  return 0;
}

}  // namespace zelm
