// The engine on its own, with the real site workers against the site simulator: searches run
// side by side in one process, each with its own hits, log and end.
#include <gtest/gtest.h>

#include <mutex>

#include "base/encoding.h"
#include "core/run_loop.h"
#include "core/search.h"
#include "site_simulator/site_simulator.h"
#include "sites/site_hosts.h"
#include "sites/site_workers.h"

namespace quenbo::sites {
namespace {

using namespace std::chrono_literals;

// Everything one search told its front-end.
class Recorder final : public core::SearchEvents {
 public:
  void hitListed(const core::ResultRow& row, int index) override {
    std::lock_guard lock(mutex_);
    EXPECT_EQ(index, static_cast<int>(rows_.size()));
    rows_.push_back(row);
  }
  void listRebuilt(const std::vector<core::ResultRow>& rows) override {
    std::lock_guard lock(mutex_);
    rows_ = rows;
  }
  void progress(const core::SearchProgress&) override {}
  void logLine(const Text& line) override {
    std::lock_guard lock(mutex_);
    log_ += gbkToUtf8(line);
  }
  void finished(const core::SearchSummary& summary) override {
    ++finishedEvents;
    summary_ = summary;
  }

  std::vector<core::ResultRow> rows() const {
    std::lock_guard lock(mutex_);
    return rows_;
  }
  std::string log() const {
    std::lock_guard lock(mutex_);
    return log_;
  }
  int finishedEvents = 0;  // the loop's thread
  core::SearchSummary summary_;

 private:
  mutable std::mutex mutex_;
  std::vector<core::ResultRow> rows_;
  std::string log_;
};

class EngineOnSimulator : public ::testing::Test {
 protected:
  core::SearchRequest request(const std::string& keyword, std::initializer_list<const char*> sites) {
    core::SearchRequest r;
    r.keyword = utf8ToGbk(keyword);
    for (const char* label : sites) r.sites[static_cast<std::size_t>(*core::siteIndex(label))] = true;
    r.pageLimit = 3;
    r.timeoutSeconds = 5;
    r.filter.keyword = r.keyword;
    r.filter.exactSearch = true;
    r.pacing.monitorEvery = 0ms;
    r.pacing.finishWhenLastSiteEnds = true;
    return r;
  }

  simulator::SiteSimulator simulator_;
  SiteHosts hosts_ = [this] {
    SiteHosts hosts;
    hosts.read(simulator_.hostsFileText());
    return hosts;
  }();
  core::SearchEngine engine_{makeSiteWorkers(hosts_)};
  core::RunLoop loop_;
};

TEST_F(EngineOnSimulator, TwoKeywordsAtOnceEachGetOnlyTheirOwnHitsAndLog) {
  Recorder first, second;
  auto a = engine_.newSearch(request("Alpha", {"Btsow", "Renz", "Sobt"}), loop_, first);
  auto b = engine_.newSearch(request("Omega", {"Btsow", "Renz", "Sobt"}), loop_, second);
  a->start();
  b->start();
  ASSERT_TRUE(loop_.runUntil([&] { return first.finishedEvents > 0 && second.finishedEvents > 0; },
                             30s));

  for (const auto& [recorder, own, other] : {std::tuple{&first, "Alpha", "Omega"},
                                             std::tuple{&second, "Omega", "Alpha"}}) {
    std::vector<core::ResultRow> rows = recorder->rows();
    ASSERT_GT(rows.size(), 20u) << own;
    for (const core::ResultRow& row : rows) {
      std::string title = gbkToUtf8(row.title);
      EXPECT_NE(title.find(own), std::string::npos) << title;
      EXPECT_EQ(title.find(other), std::string::npos) << title;
    }
    EXPECT_EQ(recorder->summary_.sites.size(), 3u);
    EXPECT_EQ(recorder->summary_.totals.listed, static_cast<int>(rows.size()));
    EXPECT_NE(recorder->log().find("Btsow"), std::string::npos);
    EXPECT_EQ(recorder->finishedEvents, 1);
  }
  // The two stores are apart: a rebuild of one leaves the other as it was.
  a->rebuild({});
  EXPECT_EQ(second.rows(), b->store().rows());
  EXPECT_NE(a->store().rows(), b->store().rows());
}

TEST_F(EngineOnSimulator, AStopEndsTheSearchAtOnceAndTheDestructorJoinsASlowSite) {
  simulator::SiteBehaviour slow;
  slow.latencyMs = 5000;
  simulator_.setBehaviour("Btsow", slow);
  Recorder events;
  auto search = engine_.newSearch(request("Alpha", {"Btsow"}), loop_, events);
  search->start();
  loop_.waitProcessing(200ms);
  const auto stopped = std::chrono::steady_clock::now();
  search->stop();
  ASSERT_TRUE(loop_.runUntil([&] { return events.finishedEvents > 0; }, 2s));
  EXPECT_TRUE(events.summary_.stopped);
  search.reset();  // wakes the worker asleep in its request and joins it
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, 1s);
}

}  // namespace
}  // namespace quenbo::sites
