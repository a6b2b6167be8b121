#include "base/worker_threads.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "support/fixtures.h"

namespace quenbo {
namespace {

using namespace std::chrono_literals;

TEST(WorkerThreads, OnlyLiveThreadsAreKept) {
  WorkerThreads threads;
  for (int i = 0; i < 5; ++i) {
    threads.start([] {});
    ASSERT_TRUE(testing::waitFor([&] { return threads.running() == 0; }));
    EXPECT_LE(threads.kept(), 1u) << "a finished thread is joined as the next one starts";
  }
}

// Work asleep in a wait hears the stop through the bell, and the owner's stop returns once
// it has ended; nothing starts afterwards.
TEST(WorkerThreads, StoppingWakesWaitingWorkAndJoinsIt) {
  WorkerThreads threads;
  std::mutex mutex;
  std::condition_variable woken;
  std::atomic<bool> waiting{false}, ended{false};
  threads.start([&] {
    StopBell::Listener listener(threads.bell(), [&] {
      std::lock_guard lock(mutex);
      woken.notify_all();
    });
    std::unique_lock lock(mutex);
    waiting = true;
    woken.wait(lock, [&] { return threads.stopping(); });
    ended = true;
  });
  ASSERT_TRUE(testing::waitFor([&] { return waiting.load(); }));
  auto begin = std::chrono::steady_clock::now();
  threads.stopAndJoin();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);
  EXPECT_TRUE(ended);
  EXPECT_EQ(threads.kept(), 0u);
  bool ran = false;
  threads.start([&] { ran = true; });
  EXPECT_EQ(threads.kept(), 0u);
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace quenbo
