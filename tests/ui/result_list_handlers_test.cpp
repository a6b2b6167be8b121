#include "ui/result_list_handlers.h"

#include "list_fixture.h"
#include "ui/header_clicks.h"
#include "ui/link_actions.h"

namespace quenbo::ui::testing {
namespace {

using namespace forms::names;
using window::Event;
using window::EventKind;

class ResultListHandlers : public ListFixture {
 protected:
  ResultListHandlers() { bindResultListHandlers(w_, ui_, results_); }

  void fire(EventKind kind, int index = -1) {
    Event e;
    e.component = std::string(超级列表框_磁力链接);
    e.kind = kind;
    e.index = index;
    w_.fire(e);
  }
  void choose(std::string_view item) {
    ui_.answerMenu(std::string(item));
    fire(EventKind::RightClicked);
  }
  std::vector<std::string> titles() const {
    std::vector<std::string> out;
    for (int r = 0; r < rows(); ++r) out.push_back(cell(r, 1));
    return out;
  }
};

TEST_F(ResultListHandlers, RightClickPopsTheMenuOnlyOverASelectedRow) {
  store_.addHit(hit(1, "1 MB", "1"));
  ui_.answerMenu(std::string(复制链接));
  fire(EventKind::RightClicked);
  EXPECT_TRUE(ui_.shownMenus().empty());

  w_.selectRow(超级列表框_磁力链接, 0);
  fire(EventKind::RightClicked);
  ASSERT_EQ(ui_.shownMenus().size(), 1u);
  EXPECT_EQ(ui_.shownMenus()[0],
            (std::vector<std::string>{"迅雷下载", "复制链接", "分隔条1", "数据排序", "文件大小",
                                      "资源热度", "默认顺序", "导出数据", "TXT 文本"}));
  EXPECT_EQ(ui_.clipboard(), "magnet:?xt=urn:btih:1");
}

TEST_F(ResultListHandlers, DoubleClickAndMenuOpenOnlyMagnetLinks) {
  store_.addHit(hit(1, "1 MB", "1"));
  fire(EventKind::DoubleClicked);  // nothing selected
  EXPECT_TRUE(ui_.openedUrls().empty());

  const char* refused[] = {"file:///etc/passwd",     "http://example.org/x", "magnet:",   "",
                           " magnet:?xt=urn:btih:1", "javascript:alert(1)",  "-magnet:?x"};
  for (const char* link : refused) {
    w_.setCell(超级列表框_磁力链接, 0, 2, link);
    w_.selectRow(超级列表框_磁力链接, 0);
    fire(EventKind::DoubleClicked);
    choose(迅雷下载);
    EXPECT_FALSE(isMagnetLink(link)) << link;
  }
  EXPECT_TRUE(ui_.openedUrls().empty());
  EXPECT_FALSE(window::isOpenableLink("file:///etc/passwd"));
  EXPECT_FALSE(window::isOpenableLink("javascript:alert(1)"));

  w_.setCell(超级列表框_磁力链接, 0, 2, "magnet:?xt=urn:btih:1");
  fire(EventKind::DoubleClicked);
  choose(迅雷下载);
  EXPECT_EQ(ui_.openedUrls(),
            (std::vector<Text>{"magnet:?xt=urn:btih:1", "magnet:?xt=urn:btih:1"}));
}

TEST_F(ResultListHandlers, HeaderClicksSortRebuildOrDoNothing) {
  for (int n = 1; n <= 3; ++n)
    store_.addHit(hit(n, std::to_string(n) + " MB", std::to_string(4 - n)));
  const std::vector<std::string> arrival = {"title 1", "title 2", "title 3"};
  struct Case {
    int column;
    HeaderAction action;
    std::vector<std::string> titles;
  };
  const Case cases[] = {
      {4, HeaderAction::sortBySize, {"title 3", "title 2", "title 1"}},
      {1, HeaderAction::none, {"title 3", "title 2", "title 1"}},
      {2, HeaderAction::none, {"title 3", "title 2", "title 1"}},
      {3, HeaderAction::none, {"title 3", "title 2", "title 1"}},
      {6, HeaderAction::none, {"title 3", "title 2", "title 1"}},
      {0, HeaderAction::arrivalOrder, arrival},
      {5, HeaderAction::sortByHeat, arrival},
      {-1, HeaderAction::none, arrival},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(headerAction(c.column), c.action) << c.column;
    fire(EventKind::HeaderClicked, c.column);
    EXPECT_EQ(titles(), c.titles) << "after column " << c.column;
  }
}

TEST_F(ResultListHandlers, ArrivalOrderReappliesTheFilter) {
  for (int n = 1; n <= 4; ++n) store_.addHit(hit(n, std::to_string(n) + " MB", "0"));
  w_.selectRow(超级列表框_磁力链接, 0);
  choose(文件大小);
  EXPECT_EQ(titles(), (std::vector<std::string>{"title 4", "title 3", "title 2", "title 1"}));

  w_.setText(编辑框_关键字词A, "title 3"_gbk);
  w_.setChecked(选择框_过滤字词, true);
  choose(默认顺序);
  EXPECT_EQ(titles(), (std::vector<std::string>{"title 1", "title 2", "title 4"}));
  EXPECT_EQ(cell(2, 0), "3");
}

TEST_F(ResultListHandlers, HiddenItemsSayTheyAreNotFinished) {
  store_.addHit(hit(1, "1 MB", "1"));
  w_.selectRow(超级列表框_磁力链接, 0);
  for (std::string_view item : {时间日期, Excel表格, Access数据库}) choose(item);
  ASSERT_EQ(ui_.messages().size(), 3u);
  for (const auto& m : ui_.messages()) {
    EXPECT_EQ(m.text, "此项功能暂未完成"_gbk);
    EXPECT_EQ(m.title, "信息："_gbk);
  }
}

}  // namespace
}  // namespace quenbo::ui::testing
