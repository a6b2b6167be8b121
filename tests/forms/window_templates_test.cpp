#include "forms/window_templates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "base/encoding.h"
#include "forms/main_window_names.h"
#include "core/site_table.h"
#include "window/window_model.h"

namespace quenbo::forms {
namespace {

using namespace names;

TEST(MainWindowTemplate, NamesAreUniqueAndParentsExist) {
  for (const window::WindowTemplate* w : {&mainWindowTemplate(), &updateWindowTemplate()}) {
    std::set<std::string> seen;
    for (const auto& c : w->components) {
      EXPECT_TRUE(seen.insert(c.name).second) << "duplicate " << c.name;
      if (!c.parent.empty()) {
        EXPECT_NE(w->find(c.parent), nullptr) << c.name << " in " << c.parent;
      }
    }
  }
}

TEST(MainWindowTemplate, WindowAndTabs) {
  const auto& t = mainWindowTemplate();
  EXPECT_EQ(t.title, " Tesk Quenbo 4.0.6.20191224");
  EXPECT_EQ(t.geometry, (window::Geometry{50, 50, 1165, 525}));
  EXPECT_FALSE(t.visible);
  window::WindowModel w(t);
  // The site status tab comes after the designed seven, which keep their places.
  const char* captions[] = {"院线热映", "磁力链接", "筛选过滤", "输出日志", "设置中心", "打赏赞助", "软件公告",
                            "站点状态"};
  const auto& tabs = t.find(std::string(高级选择夹1))->tabs;
  ASSERT_EQ(tabs.size(), 8u);
  EXPECT_EQ(kSiteStatusTab, 7);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(tabs[i].caption, utf8ToGbk(captions[i]));
    EXPECT_EQ(w.tabVisible(高级选择夹1, i), i != kAnnouncementTab);
  }
  EXPECT_EQ(w.currentTab(高级选择夹1), 0);
}

TEST(MainWindowTemplate, InitialStatesUsersSee) {
  window::WindowModel w(mainWindowTemplate());
  EXPECT_TRUE(w.enabled(超级按钮_搜索));
  EXPECT_FALSE(w.enabled(超级按钮_停止));
  EXPECT_EQ(w.text(超级按钮_搜索), "搜索"_gbk);
  EXPECT_EQ(w.timerInterval(时钟_线程), 0);
  const char* parts[] = {"任务状态：无", "结果数量：无", "过滤资源：无", "删除重复：无", "搜索耗时：无"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(w.statusPart(状态条1, i), utf8ToGbk(parts[i]));
  for (auto name : {"透明标签7", "编辑框_线程数量", "透明标签8"}) {
    EXPECT_FALSE(w.visible(window::ComponentId{name})) << name;
  }
  EXPECT_EQ(w.text(window::LabelId{"透明标签1"}), "搜索页数： "_gbk);  // the trailing blank belongs to it
  EXPECT_EQ(w.textColour(编辑框_搜索), window::kRed);
  EXPECT_EQ(w.textColour(编辑框_关键字词A), window::kTeal);
  EXPECT_EQ(w.textColour(编辑框_关键字词B), window::kDarkRed);
  EXPECT_EQ(w.textColour(编辑框_公告), window::kGreen);
}

TEST(MainWindowTemplate, FilmTilesShowTheFirstPage) {
  window::WindowModel w(mainWindowTemplate());
  for (int n = 1; n <= 12; ++n) {
    bool firstPage = n <= 5 || n == 11;
    EXPECT_EQ(w.visible(图片框_电影(n)), firstPage) << n;
    EXPECT_EQ(w.visible(透明标签_电影名称(n)), firstPage) << n;
    EXPECT_EQ(w.visible(透明标签_上映时间(n)), firstPage) << n;
  }
  // The first page shows six tiles side by side.
  for (int n : {1, 2, 3, 4, 5}) {
    EXPECT_LT(w.geometry(图片框_电影(n)).left + w.geometry(图片框_电影(n)).width,
              w.geometry(图片框_电影(n == 5 ? 11 : n + 1)).left) << n;
  }
}

// Every shown component lies inside its container; on a tab page, below the tab bar. (Hidden
// film tiles wait below the page until the board lays them out.)
TEST(MainWindowTemplate, ShownComponentsFitInsideTheirParents) {
  for (const window::WindowTemplate* w : {&mainWindowTemplate(), &updateWindowTemplate()}) {
    for (const auto& c : w->components) {
      const window::ComponentTemplate* parent = c.parent.empty() ? nullptr : w->find(c.parent);
      if (!parent || !c.visible || c.geometry.width == 0) continue;
      const window::Geometry& g = c.geometry;
      const window::Geometry& p = parent->geometry;
      EXPECT_GE(g.left, 0) << c.name;
      EXPECT_GE(g.top, c.tabPage >= 0 ? 23 : 0) << c.name;
      EXPECT_LE(g.left + g.width, p.width) << c.name << " in " << parent->name;
      EXPECT_LE(g.top + g.height, p.height) << c.name << " in " << parent->name;
    }
  }
}

TEST(MainWindowTemplate, OnlyElevenSitesCanBeTicked) {
  window::WindowModel w(mainWindowTemplate());
  int visible = 0;
  for (const auto& site : core::kSites) {
    auto name = siteCheckBox(site.label);
    ASSERT_NE(mainWindowTemplate().find(std::string(name)), nullptr) << name;
    EXPECT_EQ(w.text(name), utf8ToGbk(site.label));
    EXPECT_FALSE(w.checked(name));
    w.click(name);
    EXPECT_EQ(w.checked(name), site.shown) << name;  // a hidden box never ticks
    visible += site.shown;
  }
  EXPECT_EQ(visible, 11);
  // The boxes that can be ticked share one row without covering each other.
  std::vector<window::Geometry> row;
  for (const auto& site : core::kSites) {
    if (site.shown) row.push_back(w.geometry(siteCheckBox(site.label)));
  }
  std::ranges::sort(row, {}, &window::Geometry::left);
  for (std::size_t i = 1; i < row.size(); ++i) {
    EXPECT_EQ(row[i].top, row[0].top);
    EXPECT_LE(row[i - 1].left + row[i - 1].width, row[i].left) << row[i].left;
  }
}

TEST(MainWindowTemplate, PopupMenuHidesUnfinishedItems) {
  const window::MenuTemplate* menu = mainWindowTemplate().findMenu(std::string(磁力菜单));
  ASSERT_NE(menu, nullptr);
  std::vector<std::string> shown, hidden;
  for (const auto& item : menu->items) (item.visible ? shown : hidden).push_back(item.name);
  EXPECT_EQ(hidden, (std::vector<std::string>{"时间日期", "Excel 表格", "Access 数据库", "分隔条2",
                                               "检查更新"}));
  EXPECT_EQ(shown, (std::vector<std::string>{"迅雷下载", "复制链接", "分隔条1", "数据排序", "文件大小",
                                              "资源热度", "默认顺序", "导出数据", "TXT 文本"}));
}

TEST(MainWindowTemplate, ResultListColumns) {
  const auto& columns = mainWindowTemplate().find(std::string(超级列表框_磁力链接))->columns;
  ASSERT_EQ(columns.size(), 7u);
  EXPECT_EQ(columns[2].header, "Magnet");
  EXPECT_EQ(columns[6].header, "Creation time");
  EXPECT_EQ(columns[6].width, 200);
}

TEST(MainWindowTemplate, SiteStatusListAndHostsButton) {
  const auto* list = mainWindowTemplate().find(std::string(超级列表框_站点状态));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->tabPage, kSiteStatusTab);
  std::vector<Text> headers;
  for (const auto& column : list->columns) headers.push_back(column.header);
  EXPECT_EQ(headers, (std::vector<Text>{"站点"_gbk, "状态"_gbk, "页数"_gbk, "找到"_gbk, "列出"_gbk,
                                        "用时"_gbk, "镜像"_gbk, "原因"_gbk}));
  const auto* button = mainWindowTemplate().find(std::string(按钮_站点主机));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->tabPage, kSettingsTab);
  EXPECT_EQ(button->text, "站点主机…"_gbk);
}

TEST(UpdateWindowTemplate, Components) {
  const auto& t = updateWindowTemplate();
  EXPECT_EQ(t.title, " 检测更新 1.0.0.20190912"_gbk);
  EXPECT_EQ(t.geometry, (window::Geometry{50, 50, 800, 410}));
  window::WindowModel w(t);
  EXPECT_TRUE(w.visible(超级列表框_文件));
  EXPECT_FALSE(w.visible(编辑框_更新内容));
  EXPECT_EQ(w.text(按钮_查看), "更新内容"_gbk);
  EXPECT_EQ(w.text(按钮_更新), "立即更新"_gbk);
  EXPECT_EQ(t.find(std::string(超级列表框_文件))->columns[2].header, "云端 MD5"_gbk);
}

}  // namespace
}  // namespace quenbo::forms
