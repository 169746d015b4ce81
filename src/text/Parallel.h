// Running the pieces of one pass side by side, and cutting a text into
// pieces at line starts for that.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <string_view>
#include <thread>
#include <vector>

namespace zelm {

// The threads a pass may use for one text when the caller does not say:
// every core, since a single page is what the user waits for.
unsigned DefaultPassThreads();

// How a pass over one text may share its work: the threads it may use, the
// smallest text worth sharing, and the parts it is cut into.
struct PassSharing {
  unsigned threads = 1;
  std::size_t minimumText = std::size_t{2} << 20;
  std::size_t minimumPiece = std::size_t{256} << 10;
  // Parts per thread: parts that take longer than others even out.
  unsigned piecesPerThread = 4;

  // How many parts a text of `size` bytes is cut into; 1 keeps it whole.
  std::size_t PiecesFor(std::size_t size) const {
    if (threads < 2 || size < minimumText || size < 2 * minimumPiece) return 1;
    return std::min<std::size_t>(std::size_t{threads} * std::max(piecesPerThread, 1u),
                                 size / std::max<std::size_t>(minimumPiece, 1));
  }
};

// Calls work(i) for every i below count, in order of i, on up to `threads`
// threads (the calling one among them), and waits for all of them. The
// first exception any call threw is thrown again once every call has ended.
template <typename Work>
void RunSideBySide(std::size_t count, unsigned threads, Work work) {
  if (count == 0) return;
  std::vector<std::exception_ptr> errors(count);
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    for (std::size_t i = next++; i < count; i = next++) {
      try {
        work(i);
      } catch (...) {
        errors[i] = std::current_exception();
      }
    }
  };
  std::vector<std::thread> helpers;
  const std::size_t helperCount = std::min<std::size_t>(count, std::max(threads, 1u)) - 1;
  helpers.reserve(helperCount);
  for (std::size_t t = 0; t < helperCount; ++t) helpers.emplace_back(worker);
  worker();
  for (std::thread& helper : helpers) helper.join();
  for (const std::exception_ptr& error : errors)
    if (error) std::rethrow_exception(error);
}

// Start offsets of up to `pieces` parts of `text` of about equal size, each
// beginning right after a line feed (the first at 0).
std::vector<std::size_t> LineAlignedCuts(std::string_view text, std::size_t pieces);

}  // namespace zelm
