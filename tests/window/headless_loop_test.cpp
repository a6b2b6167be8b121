#include "window/headless/headless_loop.h"

#include <gtest/gtest.h>

#include <ctime>
#include <thread>

#include "window/headless/headless_interactions.h"
#include "forms/main_window_names.h"
#include "forms/window_templates.h"

namespace quenbo::window {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;

TEST(HeadlessLoop, TimersTickWhileWaitingAndStopAtZero) {
  HeadlessLoop loop;
  WindowModel w(forms::mainWindowTemplate());
  loop.attach(w);
  int ticks = 0;
  w.on(时钟_线程, EventKind::TimerTick, [&](const Event&) {
    if (++ticks == 3) w.setTimerInterval(时钟_线程, 0);
  });
  w.setTimerInterval(时钟_线程, 10);
  loop.waitProcessing(200ms);
  EXPECT_EQ(ticks, 3);
  loop.detach(w);
}

TEST(HeadlessLoop, TasksPostedFromOtherThreadsRunOnTheLoopThread) {
  HeadlessLoop loop;
  std::thread::id ranOn;
  std::thread poster([&] {
    EXPECT_FALSE(loop.onUiThread());
    loop.runOnUiThread([&] { ranOn = std::this_thread::get_id(); });
  });
  EXPECT_TRUE(loop.runUntil([&] { return ranOn != std::thread::id(); }));
  poster.join();
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(HeadlessLoop, DelayedTasksRunInDueOrderOnceTheirDelayHasPassed) {
  using Clock = std::chrono::steady_clock;
  HeadlessLoop loop;
  std::vector<int> ran;
  std::vector<Clock::duration> after;  // time from posting to running, per task
  auto posted = Clock::now();
  std::thread([&] {
    loop.postAfter(40ms, [&] { ran.push_back(2), after.push_back(Clock::now() - posted); });
  }).join();
  loop.postAfter(10ms, [&] { ran.push_back(1), after.push_back(Clock::now() - posted); });
  ASSERT_TRUE(loop.runUntil([&] { return ran.size() == 2; }));
  // Measured against the clock rather than asserted "not yet": a loaded machine may
  // reach processEvents only after a delay has passed.
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
  EXPECT_GE(after[0], 10ms);
  EXPECT_GE(after[1], 40ms);
}

double threadCpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

TEST(HeadlessLoop, SleepsUntilATaskOrATimerIsDue) {
  HeadlessLoop loop;
  WindowModel w(forms::mainWindowTemplate());
  loop.attach(w);
  int ticks = 0;
  w.on(时钟_线程, EventKind::TimerTick, [&](const Event&) { ++ticks; });
  w.setTimerInterval(时钟_线程, 100);
  int asked = 0;  // the condition is asked once per wake-up
  double cpuBefore = threadCpuMilliseconds();
  EXPECT_FALSE(loop.runUntil([&] { return ++asked < 0; }, 1s, 1h));
  double cpu = threadCpuMilliseconds() - cpuBefore;
  // About ten ticks in the second; a loop stepping every millisecond would ask ~1000 times.
  EXPECT_GE(ticks, 5);
  EXPECT_LE(asked, 3 * ticks + 5);
  EXPECT_LT(cpu, 50.0);
  w.setTimerInterval(时钟_线程, 0);
  loop.detach(w);

  // A task posted from another thread wakes the sleeping loop before its time-out.
  bool ran = false;
  std::thread poster([&] {
    std::this_thread::sleep_for(50ms);
    loop.post([&] { ran = true; });
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(loop.runUntil([&] { return ran; }, 30s, 1h));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
  poster.join();
}

TEST(HeadlessInteractions, AnswersFromTheScriptAndRecords) {
  HeadlessInteractions ui;
  ui.answerMessage(MessageAnswer::Yes);
  EXPECT_EQ(ui.messageBox("q", "t", MessageButtons::YesNo, MessageIcon::None), MessageAnswer::Yes);
  EXPECT_EQ(ui.messageBox("q", "t", MessageButtons::YesNo, MessageIcon::None), MessageAnswer::No);
  EXPECT_EQ(ui.messageBox("q", "t", MessageButtons::Ok, MessageIcon::None), MessageAnswer::Ok);
  EXPECT_EQ(ui.messages().size(), 3u);
  EXPECT_EQ(ui.saveFileDialog("f"), std::nullopt);
  ui.openUrl("magnet:?xt=urn:btih:abc");
  ui.openUrl("https://example.org/");
  ui.openUrl("file:///etc/passwd");
  ui.openUrl("-n");
  EXPECT_EQ(ui.openedUrls().size(), 2u);
}

}  // namespace
}  // namespace quenbo::window
