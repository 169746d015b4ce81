// Running the pieces of one pass side by side, and cutting a text into
// pieces at line starts for that.
#pragma once

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
};

// Calls work(i) for every i below count: i = 0 on the calling thread, the
// others on threads of their own, and waits for all of them. The first
// exception any call threw is thrown again once every call has ended.
template <typename Work>
void RunSideBySide(std::size_t count, Work work) {
  if (count == 0) return;
  std::vector<std::exception_ptr> errors(count);
  std::vector<std::thread> threads;
  threads.reserve(count - 1);
  for (std::size_t i = 1; i < count; ++i) {
    threads.emplace_back([&work, &errors, i] {
      try {
        work(i);
      } catch (...) {
        errors[i] = std::current_exception();
      }
    });
  }
  try {
    work(0);
  } catch (...) {
    errors[0] = std::current_exception();
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::exception_ptr& error : errors)
    if (error) std::rethrow_exception(error);
}

// Start offsets of up to `pieces` parts of `text` of about equal size, each
// beginning right after a line feed (the first at 0). Parts smaller than
// `minimumPiece` bytes are not made, so a small text stays whole.
std::vector<std::size_t> LineAlignedCuts(std::string_view text, std::size_t pieces, std::size_t minimumPiece);

}  // namespace zelm
