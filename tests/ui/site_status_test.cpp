#include "ui/site_status.h"

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "forms/main_window_names.h"
#include "forms/window_templates.h"
#include "window/headless/headless_interactions.h"

namespace quenbo::ui {
namespace {

using namespace forms::names;
using core::SiteState;

constexpr int kBtdad = 0, kSobt = 5, kBtsow = 20;

std::array<bool, core::kSiteCount> ticked(std::initializer_list<int> sites) {
  std::array<bool, core::kSiteCount> t{};
  for (int site : sites) t[static_cast<std::size_t>(site)] = true;
  return t;
}

core::SiteReport report(int site, SiteState state, int page, int pages, int found, int listed,
                        std::uint32_t ms, Text mirror, Text reason) {
  core::SiteReport r;
  r.site = site;
  r.state = state;
  r.page = page;
  r.pagesFetched = pages;
  r.hitsFound = found;
  r.hitsListed = listed;
  r.elapsedMs = ms;
  r.mirror = std::move(mirror);
  r.reason = std::move(reason);
  return r;
}

TEST(SiteStatus, RowShowsWhatTheReportSays) {
  struct Case {
    core::SiteReport report;
    window::Row row;
  };
  const Case cases[] = {
      {report(kBtdad, SiteState::waiting, 0, 0, 0, 0, 0, {}, {}),
       {"Btdad", "等待"_gbk, "", "", "", "", "", ""}},
      {report(kBtdad, SiteState::noHost, 0, 0, 0, 0, 0, {}, "未配置主机"_gbk),
       {"Btdad", "未配置主机"_gbk, "", "", "", "", "", "未配置主机"_gbk}},
      {report(kSobt, SiteState::httpError, 1, 1, 0, 0, 2340, "sobt.example",
              "HTTP/1.1 500 Internal Server Error"),
       {"Sobt", "失败"_gbk, "1", "0", "0", "2.3 秒"_gbk, "sobt.example",
        "HTTP/1.1 500 Internal Server Error"}},
      {report(kBtsow, SiteState::onPage, 3, 2, 40, 37, 1050, "btsow.example", {}),
       {"Btsow", "第 3 页"_gbk, "2", "40", "37", "1.1 秒"_gbk, "btsow.example", ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(siteStatusRow(c.report), c.row) << c.report.site;
}

class SiteStatusList : public ::testing::Test {
 protected:
  window::WindowModel w_{forms::mainWindowTemplate()};
  core::SiteReports reports_;
  SiteStatusTable table_{w_, [this] { return &reports_; }};
  window::HeadlessInteractions ui_;
};

TEST_F(SiteStatusList, FollowsTheReportsCellByCellAndRebuildsForANewSearch) {
  reports_.reset(ticked({kBtdad, kBtsow}));
  table_.refresh();
  ASSERT_EQ(w_.rowCount(超级列表框_站点状态), 2);
  EXPECT_EQ(w_.cell(超级列表框_站点状态, 1, 0), "Btsow");
  EXPECT_EQ(w_.cell(超级列表框_站点状态, 1, 1), "等待"_gbk);
  const auto resets = w_.listShape(超级列表框_站点状态).resets;

  w_.selectRow(超级列表框_站点状态, 1);
  reports_.update(kBtsow, [](core::SiteReport& r) {
    r.state = SiteState::httpError;
    r.reason = "705 connection refused";
  });
  table_.refresh();
  EXPECT_EQ(w_.cell(超级列表框_站点状态, 1, 1), "失败"_gbk);
  EXPECT_EQ(w_.cell(超级列表框_站点状态, 1, 7), "705 connection refused");
  // Same sites: cells change in place, the selection stays.
  EXPECT_EQ(w_.listShape(超级列表框_站点状态).resets, resets);
  EXPECT_EQ(w_.selectedRow(超级列表框_站点状态), 1);

  // Without a new version nothing is rewritten, unless asked (the tab is shown: the listed
  // counts follow the result list, which a filter change rebuilds).
  w_.setCell(超级列表框_站点状态, 0, 1, "x");
  table_.refresh();
  EXPECT_EQ(w_.cell(超级列表框_站点状态, 0, 1), "x");
  table_.refresh(true);
  EXPECT_EQ(w_.cell(超级列表框_站点状态, 0, 1), "等待"_gbk);

  reports_.reset(ticked({kSobt}));
  table_.refresh();
  ASSERT_EQ(w_.rowCount(超级列表框_站点状态), 1);
  EXPECT_EQ(w_.cell(超级列表框_站点状态, 0, 0), "Sobt");
}

TEST_F(SiteStatusList, MarksTheBoxesOfSitesWithoutAHost) {
  markSitesWithoutHost(w_, [](int site) { return site == kBtsow; });
  EXPECT_EQ(w_.hint(siteCheckBox("Btdad")), (window::Hint{true, "未配置主机"_gbk}));
  EXPECT_EQ(w_.hint(siteCheckBox("Btsow")), window::Hint{});
  EXPECT_FALSE(w_.text(透明标签_主机提示).empty());
  // A host saved later clears the mark and the note; no check marks nothing.
  markSitesWithoutHost(w_, [](int) { return true; });
  EXPECT_EQ(w_.hint(siteCheckBox("Btdad")), window::Hint{});
  EXPECT_TRUE(w_.text(透明标签_主机提示).empty());
  markSitesWithoutHost(w_, {});
  EXPECT_EQ(w_.hint(siteCheckBox("Sobt")), window::Hint{});
}

TEST_F(SiteStatusList, RefusesOnlyWhenEveryTickedSiteLacksAHost) {
  struct Case {
    std::vector<int> ticked;
    bool withEditor;
    window::MessageAnswer answer;
    bool starts;
    bool editorOpened;
  };
  using A = window::MessageAnswer;
  const Case cases[] = {
      {{}, true, A::Yes, true, false},               // nothing ticked: the search says so itself
      {{kBtdad, kBtsow}, true, A::Yes, true, false},  // Btsow has a host
      {{kBtdad, kSobt}, true, A::Yes, false, true},
      {{kBtdad, kSobt}, true, A::No, false, false},
      {{kBtdad}, false, A::Ok, false, false},
  };
  for (const Case& c : cases) {
    window::WindowModel w(forms::mainWindowTemplate());
    window::HeadlessInteractions ui;
    for (int site : c.ticked) w.setChecked(siteCheckBox(core::kSites[site].label), true);
    ui.answerMessage(c.answer);
    int opened = 0;
    std::function<void()> editor;
    if (c.withEditor) editor = [&opened] { ++opened; };
    EXPECT_EQ(tickedSitesHaveHosts(w, ui, [](int site) { return site == kBtsow; }, editor),
              c.starts);
    EXPECT_EQ(opened, c.editorOpened ? 1 : 0);
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), c.starts ? 0u : 1u);
    if (!c.starts) {
      const auto& m = messages[0];
      EXPECT_EQ(m.text.rfind("勾选的站点都没有配置主机，搜索没有开始。"_gbk, 0), 0u);
      EXPECT_EQ(m.buttons, c.withEditor ? window::MessageButtons::YesNo : window::MessageButtons::Ok);
    }
  }
}

}  // namespace
}  // namespace quenbo::ui
