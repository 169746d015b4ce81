#include "threads/ThreadPool.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace zelm {
namespace {

// Threads kept between shared passes. A helper that has finished a run
// spins for a moment before it sleeps: the next shared pass of the same
// page usually follows within a few milliseconds, and waking a sleeping
// thread can take longer than that.
class KeptThreads {
 public:
  static KeptThreads& Instance() {
    // Never destroyed: the kept threads outlive every other static.
    static KeptThreads* const kept = new KeptThreads;
    return *kept;
  }

  void Start(std::size_t helpers) {
    std::lock_guard<std::mutex> lock(startMutex_);
    for (; started_ < helpers; ++started_) std::thread(&KeptThreads::Serve, this, started_).detach();
  }

  // False, with nothing run, when another call is using the threads. A
  // helper that wakes only after the caller's own run has ended, when no
  // work is left to take, does not take part: the caller does not wait for
  // it.
  bool TryRun(std::size_t helpers, const std::function<void()>& worker) {
    std::unique_lock<std::mutex> use(inUse_, std::try_to_lock);
    if (!use.owns_lock()) return false;
    Start(helpers);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      worker_ = &worker;
      taking_ = helpers;
      open_ = true;
      generation_.fetch_add(1, std::memory_order_release);
    }
    wake_.notify_all();
    worker();
    std::unique_lock<std::mutex> lock(mutex_);
    open_ = false;
    done_.wait(lock, [&] { return running_ == 0; });
    worker_ = nullptr;
    return true;
  }

 private:
  void Serve(std::size_t index) {
    std::uint64_t seen = 0;
    for (;;) {
      WaitForRunAfter(seen);
      const std::function<void()>* worker = nullptr;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen = generation_.load(std::memory_order_relaxed);
        if (open_ && index < taking_) {
          worker = worker_;
          ++running_;
        }
      }
      if (!worker) continue;  // this run takes fewer helpers, or is over
      (*worker)();
      std::lock_guard<std::mutex> lock(mutex_);
      if (--running_ == 0) done_.notify_one();
    }
  }

  // A helper that has not run yet sleeps at once: it is started ahead of a
  // page's first shared pass, while the caller reads the page and another
  // thread builds the passes' tables, and spinning would take a core from
  // them.
  void WaitForRunAfter(std::uint64_t seen) {
    const auto spin = seen == 0 ? std::chrono::milliseconds(0) : std::chrono::milliseconds(3);
    const auto sleepAt = std::chrono::steady_clock::now() + spin;
    while (generation_.load(std::memory_order_acquire) == seen) {
      if (std::chrono::steady_clock::now() >= sleepAt) {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return generation_.load(std::memory_order_relaxed) != seen; });
        return;
      }
      std::this_thread::yield();
    }
  }

  std::mutex inUse_;  // held by the call running on the threads
  std::mutex startMutex_;
  std::size_t started_ = 0;

  std::mutex mutex_;  // guards what follows; the generation is also read without it
  std::condition_variable wake_, done_;
  std::atomic<std::uint64_t> generation_{0};  // one more for every run
  const std::function<void()>* worker_ = nullptr;
  std::size_t taking_ = 0;   // helpers that may take part in the current run
  bool open_ = false;        // helpers may still join the current run
  std::size_t running_ = 0;  // helpers that joined it and have not finished
};

}  // namespace

unsigned DefaultPassThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

void StartKeptThreads(std::size_t helpers) { KeptThreads::Instance().Start(helpers); }

void RunOnKeptThreads(std::size_t helpers, const std::function<void()>& worker) {
  if (helpers == 0) {
    worker();
    return;
  }
  if (KeptThreads::Instance().TryRun(helpers, worker)) return;
  std::vector<std::thread> threads;
  threads.reserve(helpers);
  for (std::size_t t = 0; t < helpers; ++t) threads.emplace_back(worker);
  worker();
  for (std::thread& thread : threads) thread.join();
}

}  // namespace zelm
