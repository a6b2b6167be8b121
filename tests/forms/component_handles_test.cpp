#include <gtest/gtest.h>

#include <algorithm>

#include "forms/main_window_names.h"
#include "core/site_table.h"
#include "forms/window_templates.h"

namespace quenbo::forms {
namespace {

using namespace names;

// A handle that disagrees with its template would only fail at run time.
TEST(ComponentHandles, EveryHandleNamesAComponentOfItsKindInItsWindow) {
  std::vector<window::ComponentId> main = {
      编辑框_搜索, 图片框_开始停止, 超级按钮_搜索, 图片框_暂停继续, 超级按钮_停止, 高级选择夹1,
      状态条1, 时钟_线程, 透明标签_上一页, 透明标签_下一页, 超级列表框_磁力链接, 通用对话框1,
      编辑框_关键字词A, 编辑框_关键字词B, 图片框2, 选择框_精准搜索, 选择框_过滤字词,
      选择框_显示字词, 选择框_删除重复, 编辑框_GB, 编辑框_MB, 标签1, 编辑框_日志, 编辑框_页数,
      编辑框_时间, 编辑框_线程数量, 选择框_保证显示, 图片框16, 图片框15, 透明标签10, 透明标签11,
      透明标签9, 超级链接框1, 编辑框_公告, 按钮_站点主机, 透明标签_主机提示, 超级列表框_站点状态};
  for (int n = 1; n <= 12; ++n) {
    main.insert(main.end(), {图片框_电影(n), 透明标签_电影评分(n), 透明标签_电影主演(n),
                             透明标签_电影名称(n), 透明标签_上映时间(n)});
  }
  for (const auto& site : core::kSites) main.push_back(siteCheckBox(site.label));
  const std::vector<window::ComponentId> update = {超级列表框_文件, 编辑框_更新内容, 图片框1, 按钮_查看,
                                           按钮_更新};

  for (const auto& [window, handles] : {std::pair{&mainWindowTemplate(), main},
                                        std::pair{&updateWindowTemplate(), update}}) {
    for (const window::ComponentId& id : handles) {
      const window::ComponentTemplate* c = window->find(std::string(id));
      ASSERT_NE(c, nullptr) << id << " in " << window->name;
      EXPECT_TRUE(window::fits(id.handleKind(), c->kind)) << id << " is no " << window::kindName(id.handleKind());
    }
  }
  EXPECT_EQ(主窗口, mainWindowTemplate().name);
  EXPECT_EQ(更新窗口, updateWindowTemplate().name);
  const window::MenuTemplate* menu = mainWindowTemplate().findMenu(std::string(磁力菜单));
  ASSERT_NE(menu, nullptr);
  for (window::MenuItemId item : {迅雷下载, 复制链接, 数据排序, 文件大小, 资源热度, 时间日期, 默认顺序,
                          导出数据, TXT文本, Excel表格, Access数据库, 检查更新}) {
    EXPECT_TRUE(std::ranges::any_of(menu->items, [&](const auto& i) { return item == i.name; }))
        << item;
  }
}

}  // namespace
}  // namespace quenbo::forms
