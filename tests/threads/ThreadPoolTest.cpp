// Work shared over threads: every piece runs once, errors come back to the
// caller, and calls made while the kept threads are busy still finish.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "threads/ThreadPool.h"

namespace zelm {
namespace {

TEST(RunSideBySide, RunsEveryPieceOnceOnUpToTheThreadsAsked) {
  for (unsigned threads : {1u, 2u, 3u, 8u}) {
    for (std::size_t count : {std::size_t{1}, std::size_t{2}, std::size_t{5}, std::size_t{64}}) {
      std::vector<std::atomic<int>> runs(count);
      std::mutex idsMutex;
      std::set<std::thread::id> ids;
      RunSideBySide(count, threads, [&](std::size_t i) {
        runs[i]++;
        std::lock_guard<std::mutex> lock(idsMutex);
        ids.insert(std::this_thread::get_id());
      });
      for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(runs[i].load(), 1) << threads << " threads, piece " << i;
      EXPECT_LE(ids.size(), std::min<std::size_t>(threads, count));
    }
  }
}

TEST(RunSideBySide, ThrowsTheFirstErrorOnceEveryPieceHasRun) {
  std::atomic<int> runs{0};
  auto fails = [&](std::size_t i) {
    runs++;
    if (i == 3) throw std::runtime_error("piece 3");
    if (i == 5) throw std::logic_error("piece 5");
  };
  try {
    RunSideBySide(8, 3, fails);
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "piece 3");
  }
  EXPECT_EQ(runs.load(), 8);
  // The kept threads serve the next call as before.
  std::atomic<int> after{0};
  RunSideBySide(8, 3, [&](std::size_t) { after++; });
  EXPECT_EQ(after.load(), 8);
}

TEST(RunSideBySide, CallsFromInsideAPieceAndFromOtherThreadsFinish) {
  std::atomic<int> inner{0};
  RunSideBySide(4, 2, [&](std::size_t) { RunSideBySide(4, 2, [&](std::size_t) { inner++; }); });
  EXPECT_EQ(inner.load(), 16);

  std::atomic<int> total{0};
  std::vector<std::thread> callers;
  for (int c = 0; c < 4; ++c)
    callers.emplace_back([&] {
      for (int round = 0; round < 20; ++round) RunSideBySide(6, 3, [&](std::size_t) { total++; });
    });
  for (std::thread& caller : callers) caller.join();
  EXPECT_EQ(total.load(), 4 * 20 * 6);
}

}  // namespace
}  // namespace zelm
