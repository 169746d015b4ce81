#include "indent/ContentCheck.h"


#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::string_view kBetweenSectionsTagPrefix = "\x81\xa1\x81\xa4";  // ■▽

// The non-blank lines of a text, trimmed, with their 1-based numbers, one
// at a time: the texts are compared as they are walked, never copied. With
// the div comment join, a line holding "</div><!--" is taken as the two
// lines it was made of, so that joined and unjoined texts compare alike.
class ContentLines {
 public:
  ContentLines(std::string_view text, bool splitDivComments) : lines_(text), split_(splitDivComments) {}

  // The lines read so far, blank ones included.
  std::size_t Read() const { return number_; }

  // The next line, or false at the end.
  bool Next(std::size_t& number, std::string_view& line) {
    while (pending_.empty()) {
      std::string_view next;
      if (!lines_.Next(next)) return false;
      pending_ = PlainTrimView(next);
      ++number_;
    }
    number = number_;
    const std::size_t join = split_ ? FindNoCaseAtBoundary(pending_, "</div><!--") : std::string_view::npos;
    if (join == std::string_view::npos) {
      line = pending_;
      pending_ = {};
    } else {
      line = pending_.substr(0, join + 6);
      pending_ = pending_.substr(join + 6);
    }
    return true;
  }

 private:
  LineReader lines_;
  bool split_;
  std::size_t number_ = 0;
  std::string_view pending_;  // what is left of the current line
};

bool SameContent(std::string_view local, std::string_view result) {
  if (result == local) return true;
  if (result.starts_with(kBetweenSectionsTagPrefix) && result.substr(kBetweenSectionsTagPrefix.size()) == local)
    return true;
  return (local == "<td></td>" && result == "<td>&nbsp;</td>") ||
         (local == "<th></th>" && result == "<th>&nbsp;</th>");
}

}  // namespace

std::optional<ContentDifference> FindContentDifference(std::string_view local, std::string_view result,
                                                       bool divCommentConcat) {
  ContentComparison comparison(local, divCommentConcat);
  comparison.Feed(result);
  return comparison.Finish();
}

struct ContentComparison::Lines : ContentLines {
  using ContentLines::ContentLines;
};

ContentComparison::ContentComparison(std::string_view local, bool divCommentConcat)
    : expected_(std::make_unique<Lines>(local, divCommentConcat)), divCommentConcat_(divCommentConcat) {}

ContentComparison::~ContentComparison() = default;

void ContentComparison::Feed(std::string_view resultPiece) {
  if (difference_) return;
  ContentLines actual(resultPiece, divCommentConcat_);
  std::size_t resultLine = 0;
  std::string_view got;
  while (actual.Next(resultLine, got)) {
    std::size_t localLine = 0;
    std::string_view wanted;
    if (expected_->Next(localLine, wanted) && SameContent(wanted, got)) continue;
    difference_.emplace();
    difference_->resultLine = resultLines_ + resultLine;
    difference_->actual = std::string(got);
    if (localLine != 0) {
      difference_->localLine = localLine;
      difference_->expected = std::string(wanted);
    }
    return;
  }
  resultLines_ += actual.Read();
}

std::optional<ContentDifference> ContentComparison::Finish() {
  if (difference_) return difference_;
  std::size_t localLine = 0;
  std::string_view wanted;
  if (!expected_->Next(localLine, wanted)) return std::nullopt;
  ContentDifference missing;
  missing.localLine = localLine;
  missing.expected = std::string(wanted);
  return missing;
}

}  // namespace zelm
