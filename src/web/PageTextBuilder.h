// The text of a page being downloaded, built from its chunks as they come.
#pragma once

#include <string>
#include <string_view>

namespace zelm::web {

// Zero bytes are dropped and every other byte kept; CR LF, lone CR and lone
// LF all become CR LF. A CR that ends one chunk and an LF that starts the
// next are one line end, and a zero byte between a CR and an LF does not
// part them: the zero bytes go before the line ends are read.
class PageTextBuilder {
 public:
  void Append(std::string_view chunk);
  // The whole text; the builder is empty afterwards.
  std::string Finish();

 private:
  std::string text_;
  bool pendingCr_ = false;  // the last byte kept was a CR, whose line end is not written yet
};

}  // namespace zelm::web
