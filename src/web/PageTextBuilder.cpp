#include "web/PageTextBuilder.h"

#include <utility>

#include "text/ByteScan.h"

namespace zelm::web {

void PageTextBuilder::Append(std::string_view chunk) {
  std::size_t from = 0;
  while (from < chunk.size()) {
    const std::size_t special = FindAnyOf<3>(chunk, from, {'\0', '\r', '\n'});
    const std::size_t end = special == std::string_view::npos ? chunk.size() : special;
    if (end > from && pendingCr_) {  // a lone CR
      text_ += "\r\n";
      pendingCr_ = false;
    }
    text_.append(chunk, from, end - from);
    if (end == chunk.size()) return;
    const char byte = chunk[end];
    if (byte == '\n') {  // after a CR or alone: one line end either way
      text_ += "\r\n";
      pendingCr_ = false;
    } else if (byte == '\r') {
      if (pendingCr_) text_ += "\r\n";  // CR CR: the first one was alone
      pendingCr_ = true;
    }  // a zero byte is dropped
    from = end + 1;
  }
}

std::string PageTextBuilder::Finish() {
  if (pendingCr_) text_ += "\r\n";
  pendingCr_ = false;
  return std::exchange(text_, {});
}

}  // namespace zelm::web
