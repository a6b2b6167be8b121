// A whole search in the real window: the eleven visible sites answered by the site
// simulator, the hits listed in the results table, the log tab filled; screenshots of both.
#include <QTreeView>

#include "app/site_setup.h"
#include "qt_app_harness.h"
#include "site_simulator/site_simulator.h"
#include "qt/report_table_model.h"
#include "forms/main_window_names.h"

namespace quenbo::qt::testing {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;

class SimulatedSearch : public QtAppTest {
 protected:
  simulator::SiteSimulator sites_;
};

TEST_F(SimulatedSearch, ListsTheHitsOfEverySiteAndLogsEachPage) {
  std::string hosts = sandbox_.file("simulated.hosts");
  ASSERT_TRUE(sites_.writeHostsFile(hosts));
  app::SiteSetup setup = app::setUpSites(sandbox_.path(), hosts);
  launch(std::move(setup.workers));
  ASSERT_TRUE(processUntil([&] { return view().isVisible(); }));

  w().setText(编辑框_搜索, "电影"_gbk);
  w().click(超级按钮_搜索);
  ASSERT_TRUE(processUntil([&] { return w().timerInterval(时钟_线程) == 0; }, 60s));
  processFor(100ms);

  int rows = w().rowCount(超级列表框_磁力链接);
  // Eleven sites, three pages of ten, every third resource shared by all sites.
  EXPECT_GT(rows, 150);
  EXPECT_EQ(view().table(超级列表框_磁力链接)->rowCount(), rows);
  EXPECT_EQ(w().statusPart(状态条1, 0), "任务状态：资源采集完毕"_gbk);
  EXPECT_FALSE(saveScreenshot(view(), "search_results").empty());

  w().setCurrentTab(高级选择夹1, kLogTab);
  processFor(100ms);
  Text log = w().text(编辑框_日志);
  EXPECT_NE(log.find("Web：章鱼搜索          第 3 页"_gbk), Text::npos);
  EXPECT_NE(log.find("全部页数搜索完毕"_gbk), Text::npos);
  EXPECT_FALSE(saveScreenshot(view(), "search_log").empty());
}

}  // namespace
}  // namespace quenbo::qt::testing
