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

// How a pass over one text may share its work: the threads it may use, and
// the smallest part worth a thread of its own.
struct PassSharing {
  unsigned threads = 1;
  std::size_t minimumPiece = 1024 * 1024;
  // Parts per thread: parts that take longer than others even out.
  unsigned piecesPerThread = 2;

  std::size_t Pieces() const { return threads < 2 ? 1 : std::size_t{threads} * std::max(piecesPerThread, 1u); }
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
// beginning right after a line feed (the first at 0). Parts smaller than
// `minimumPiece` bytes are not made, so a small text stays whole.
std::vector<std::size_t> LineAlignedCuts(std::string_view text, std::size_t pieces, std::size_t minimumPiece);

}  // namespace zelm
