#include "settings/filter_rebuilder.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/result_store.h"
#include "window/headless/headless_loop.h"
#include "forms/main_window_names.h"
#include "window/window_model.h"
#include "forms/window_templates.h"

namespace quenbo::settings {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;

class FilterRebuilderTest : public ::testing::Test {
 protected:
  FilterRebuilderTest() {
    w.setChecked(选择框_过滤字词, true);
    for (const char* title : {"alpha", "beta", "gamma", "delta"}) {
      store.addHit({title, std::string("magnet:?xt=urn:btih:") + title, "Btdad", "1 GB", "1", "d"});
    }
  }
  std::unique_ptr<FilterRebuilder> make(FilterRebuilder::Timing timing) {
    return std::make_unique<FilterRebuilder>(
        loop, [this] { rebuild(); }, [this] { return searchDone; }, timing);
  }
  // What a keystroke in the filter word box does.
  void type(FilterRebuilder& rebuilder, const Text& list) {
    w.setText(编辑框_关键字词A, list);
    rebuilder.settingTyped();
  }
  int rows() const { return listed.rows; }
  // The filter word box as the filter reads it.
  void rebuild() {
    core::FilterSettings settings;
    settings.filterWordsOn = w.checked(选择框_过滤字词);
    settings.filterWords = core::filterWordsOf(w.text(编辑框_关键字词A));
    store.rebuild(settings);
  }

  // Counts the listed rows.
  struct Listed final : core::SearchEvents {
    void hitListed(const core::ResultRow&, int index) override { rows = index + 1; }
    void listRebuilt(const std::vector<core::ResultRow>& all) override { rows = static_cast<int>(all.size()); }
    void progress(const core::SearchProgress&) override {}
    void logLine(const Text&) override {}
    void finished(const core::SearchSummary&) override {}
    int rows = 0;
  };

  window::HeadlessLoop loop;
  window::WindowModel w{forms::mainWindowTemplate(), &loop};
  Listed listed;
  core::ResultStore store{listed};
  bool searchDone = false;
};

TEST_F(FilterRebuilderTest, NothingIsRebuiltBeforeASearchHasFinished) {
  auto rebuilder = make({});
  type(*rebuilder, "a");
  rebuilder->settingClicked();
  EXPECT_EQ(rows(), 4);
  EXPECT_FALSE(rebuilder->pending());
}

TEST_F(FilterRebuilderTest, QuickRebuildsFollowEveryKeystroke) {
  searchDone = true;
  auto rebuilder = make({.frame = 1h, .pause = 1h});
  type(*rebuilder, "a");  // alpha, beta, gamma and delta all hold an "a"
  EXPECT_EQ(rows(), 0);
  type(*rebuilder, "al");
  EXPECT_EQ(rows(), 3);
  EXPECT_FALSE(rebuilder->pending());
}

TEST_F(FilterRebuilderTest, SlowRebuildsWaitUntilTypingPauses) {
  searchDone = true;
  // A pause far longer than the gaps between keys, so a loaded machine keeps the order.
  auto rebuilder = make({.frame = 0ms, .pause = 300ms});
  for (const char* list : {"d", "de", "del", "delt", "delta"}) {
    type(*rebuilder, list);
    loop.waitProcessing(15ms);
    EXPECT_EQ(rows(), 4) << list;  // still the list of before
    EXPECT_TRUE(rebuilder->pending());
  }
  auto lastKey = std::chrono::steady_clock::now();
  ASSERT_TRUE(loop.runUntil([&] { return !rebuilder->pending(); }, 5s));
  EXPECT_GE(std::chrono::steady_clock::now() - lastKey, 250ms);
  EXPECT_EQ(rows(), 3);  // matches the settings once typing stopped
  EXPECT_EQ(store.progress().filtered, 1);
}

TEST_F(FilterRebuilderTest, AClickRebuildsAtOnceAndTakesOverAWaitingRebuild) {
  searchDone = true;
  auto rebuilder = make({.frame = 0ms, .pause = 10s});
  type(*rebuilder, "beta");
  EXPECT_TRUE(rebuilder->pending());
  w.setChecked(选择框_精准搜索, false);
  rebuilder->settingClicked();
  EXPECT_FALSE(rebuilder->pending());
  EXPECT_EQ(rows(), 3);
}

TEST_F(FilterRebuilderTest, ARebuildStillQueuedWhenTheRebuilderGoesIsDropped) {
  searchDone = true;
  auto rebuilder = make({.frame = 0ms, .pause = 1ms});
  type(*rebuilder, "alpha");
  // The pause passes without the UI loop running: the rebuild waits in its queue.
  std::this_thread::sleep_for(30ms);
  ASSERT_TRUE(rebuilder->pending());
  rebuilder.reset();
  loop.processEvents();
  EXPECT_EQ(rows(), 4);
}

}  // namespace
}  // namespace quenbo::settings
