// Threads for the pieces of one job run side by side: kept from one job to
// the next, so that a page's passes find them awake.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <thread>
#include <vector>

namespace zelm {

// The threads a pass may use for one text when the caller does not say:
// every core, since a single page is what the user waits for.
unsigned DefaultPassThreads();

// Runs `worker` on `helpers` threads kept from one call to the next, and
// on the calling thread, and returns once every run has returned. Starting
// a thread can take milliseconds where idle cores sleep deeply, and a page
// goes through several shared passes. When the kept threads are busy (a
// call from inside one of them, or from another thread at the same time),
// new threads are started for the call instead.
void RunOnKeptThreads(std::size_t helpers, const std::function<void()>& worker);

// Starts up to `helpers` kept threads ahead of the first shared pass, so
// that they are awake by then; a caller does this before reading a large
// page.
void StartKeptThreads(std::size_t helpers);

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
  const std::size_t helpers = std::min<std::size_t>(count, std::max(threads, 1u)) - 1;
  if (helpers == 0) worker();
  else RunOnKeptThreads(helpers, worker);
  for (const std::exception_ptr& error : errors)
    if (error) std::rethrow_exception(error);
}

}  // namespace zelm
