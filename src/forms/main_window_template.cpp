#include "base/encoding.h"
#include "forms/main_window_names.h"
#include "core/result_columns.h"
#include "core/site_table.h"
#include "forms/template_builder.h"
#include "forms/window_templates.h"

namespace quenbo::forms {
namespace {

using namespace names;
using namespace build;
using K = window::ComponentKind;

constexpr std::string_view kTabs = 高级选择夹1;

// Every tab page's content starts at top 23 inside the tab control.
void addSearchRow(std::vector<window::ComponentTemplate>& w) {
  w.push_back(coloured(withEdit(component(K::EditBox, 编辑框_搜索, {50, 40, 801, 35}),
                                {.centred = true}),
                       window::kRed));
  w.push_back(component(K::PictureBox, 图片框_开始停止, {850, 40, 131, 35}));
  w.push_back(on(component(K::StyledButton, 超级按钮_搜索, {0, 0, 130, 35}, "搜索"_gbk),
                 图片框_开始停止));
  w.push_back(component(K::PictureBox, 图片框_暂停继续, {980, 40, 130, 35}));
  auto stop = on(component(K::StyledButton, 超级按钮_停止, {0, 0, 130, 35}, "停止"_gbk),
                 图片框_暂停继续);
  stop.enabled = false;
  w.push_back(stop);

  auto tabs = component(K::TabControl, 高级选择夹1, {0, 110, 1288, 676});
  for (const char* caption :
       {"院线热映", "磁力链接", "筛选过滤", "输出日志", "设置中心", "打赏赞助", "软件公告",
        "站点状态"}) {
    tabs.tabs.push_back({utf8ToGbk(caption), true});
  }
  tabs.tabs[kAnnouncementTab].visible = false;
  w.push_back(tabs);

  auto status = component(K::StatusBar, 状态条1, {0, 476, 1159, 20});
  status.parts = {{232, "任务状态：无"_gbk},
                  {232, "结果数量：无"_gbk},
                  {232, "过滤资源：无"_gbk},
                  {232, "删除重复：无"_gbk},
                  {231, "搜索耗时：无"_gbk}};
  w.push_back(status);
  w.push_back(component(K::Timer, 时钟_线程, {}));
}

// Twelve tiles share one row of positions: tiles 1-5 and 11 show first, tiles 6-10 and 12
// wait below the page until the board lays them out.
void addFilmBoard(std::vector<window::ComponentTemplate>& w) {
  for (int n = 1; n <= 12; ++n) {
    bool firstPage = n <= 5 || n == 11;
    int slot = n <= 5 ? n - 1 : n <= 10 ? n - 6 : 5;
    int left = 50 + 180 * slot;
    int top = firstPage ? 50 : 400;
    auto picture = on(component(K::PictureBox, 图片框_电影(n), {left, top, 160, 220}), kTabs,
                      kFilmTab);
    auto title = on(component(K::TransparentLabel, 透明标签_电影名称(n), {left, top + 240, 160, 20}),
                    kTabs, kFilmTab);
    auto date = on(component(K::TransparentLabel, 透明标签_上映时间(n), {left, top + 270, 160, 20}),
                   kTabs, kFilmTab);
    if (!firstPage) {
      picture = hidden(picture);
      title = hidden(title);
      date = hidden(date);
    }
    w.push_back(picture);
    w.push_back(on(component(K::TransparentLabel, 透明标签_电影评分(n), {140, 0, 20, 20}),
                   图片框_电影(n)));
    w.push_back(on(component(K::TransparentLabel, 透明标签_电影主演(n), {0, 200, 160, 20}),
                   图片框_电影(n)));
    w.push_back(title);
    w.push_back(date);
  }
  w.push_back(on(component(K::TransparentLabel, 透明标签_上一页, {0, 50, 50, 220}, "《"_gbk), kTabs,
                 kFilmTab));
  w.push_back(on(component(K::TransparentLabel, 透明标签_下一页, {1110, 50, 50, 220}, "》"_gbk),
                 kTabs, kFilmTab));
}

void addResults(std::vector<window::ComponentTemplate>& w) {
  auto list = on(component(K::ReportList, 超级列表框_磁力链接, {0, 23, 1159, 341}), kTabs,
                 kResultTab);
  for (const core::ColumnInfo& column : core::kColumns) {
    list.columns.push_back({Text(column.caption), column.width});
  }
  w.push_back(list);
  w.push_back(on(component(K::FileDialog, 通用对话框1, {}), kTabs, kResultTab));
}

void addFilterTab(std::vector<window::ComponentTemplate>& w) {
  window::EditStyle words{.multiLine = true, .verticalScroll = true};
  w.push_back(coloured(on(withEdit(component(K::EditBox, 编辑框_关键字词A, {0, 23, 850, 171}), words),
                          kTabs, kFilterTab),
                       window::kTeal));
  w.push_back(coloured(on(withEdit(component(K::EditBox, 编辑框_关键字词B, {0, 193, 850, 171}), words),
                          kTabs, kFilterTab),
                       window::kDarkRed));
  w.push_back(on(component(K::PictureBox, 图片框2, {850, 23, 309, 341}), kTabs, kFilterTab));

  struct Row { std::string_view label, box; int top, boxWidth; const char *caption, *text; };
  const Row rows[] = {
      {"透明标签3", 选择框_精准搜索, 20, 195, "精准搜索：", " 只显示包含搜索关键字词的资源"},
      {"透明标签12", 选择框_过滤字词, 60, 195, "过滤字词：", " 过滤包含左上侧关键字词的资源"},
      {"透明标签17", 选择框_显示字词, 100, 195, "显示字词：", " 显示包含左下侧关键字词的资源"},
      {"透明标签16", 选择框_删除重复, 140, 130, "删除重复：", " 不加载重复的资源"},
  };
  for (const auto& row : rows) {
    w.push_back(on(component(K::TransparentLabel, row.label, {20, row.top, 60, 20},
                             utf8ToGbk(row.caption)),
                   图片框2));
    w.push_back(on(component(K::CheckBox, row.box, {90, row.top, row.boxWidth, 20},
                             utf8ToGbk(row.text)),
                   图片框2));
  }
  window::EditStyle size{.centred = true, .integerInput = true, .maxLength = 3};
  w.push_back(on(component(K::TransparentLabel, "透明标签13", {20, 180, 60, 20}, "文件大小："_gbk),
                 图片框2));
  w.push_back(coloured(on(withEdit(component(K::EditBox, 编辑框_GB, {90, 180, 60, 20}), size), 图片框2),
                       window::kRed));
  w.push_back(on(component(K::TransparentLabel, "透明标签14", {150, 180, 30, 20}, "GB"), 图片框2));
  w.push_back(coloured(on(withEdit(component(K::EditBox, 编辑框_MB, {180, 180, 60, 20}), size), 图片框2),
                       window::kRed));
  w.push_back(on(component(K::TransparentLabel, "透明标签15", {240, 180, 30, 20}, "MB"), 图片框2));
  w.push_back(on(component(K::Label, 标签1, {0, 215, 307, 116},
                           "注释：搜索结果是按照上方设置的排列顺序过滤的\r\n\r\n"
                           "设置修改后，实时生效，自动过滤，无需自主操作\r\n\r\n"
                           "资源如果小于设置的文件大小，将被过滤\r\n\r\n"
                           "字词过滤示例：XXX、XXX、XXX\r\n\r\n"
                           "每个关键字词用、分隔\r\n"_gbk),
                 图片框2));
}

void addLogTab(std::vector<window::ComponentTemplate>& w) {
  w.push_back(on(withEdit(component(K::EditBox, 编辑框_日志, {0, 23, 1159, 341}),
                          {.multiLine = true, .readOnly = true, .verticalScroll = true}),
                 kTabs, kLogTab));
}

void addSettingsTab(std::vector<window::ComponentTemplate>& w) {
  auto onTab = [](window::ComponentTemplate c) { return on(std::move(c), kTabs, kSettingsTab); };
  struct Row { const char *label, *unit; std::string_view box; int left, maxLength;
               const char *caption, *unitText; bool integer; bool shown; };
  const Row rows[] = {
      {"透明标签1", "透明标签5", 编辑框_页数, 20, 2, "搜索页数： ", "页", true, true},
      {"透明标签2", "透明标签6", 编辑框_时间, 250, 4, "超时时间：", "秒", true, true},
      {"透明标签7", "透明标签8", 编辑框_线程数量, 480, 0, "线程数量：", "条", false, false},
  };
  for (const auto& row : rows) {
    auto label = onTab(component(K::TransparentLabel, row.label, {row.left, 40, 60, 24},
                                 utf8ToGbk(row.caption)));
    auto box = onTab(withEdit(component(K::EditBox, row.box, {row.left + 70, 40, 100, 24}),
                              {.centred = true, .integerInput = row.integer,
                               .maxLength = row.maxLength}));
    auto unit = onTab(component(K::TransparentLabel, row.unit, {row.left + 190, 40, 20, 24},
                                utf8ToGbk(row.unitText)));
    if (!row.shown) {
      label = hidden(label);
      box = hidden(box);
      unit = hidden(unit);
    }
    w.push_back(label);
    w.push_back(box);
    w.push_back(unit);
  }
  w.push_back(onTab(component(K::TransparentLabel, "透明标签18", {20, 80, 60, 24}, "保证显示："_gbk)));
  w.push_back(onTab(component(K::CheckBox, 选择框_保证显示, {90, 80, 256, 24},
                              " 保持搜索结果列表一直显示在底部"_gbk)));
  w.push_back(onTab(component(K::TransparentLabel, "透明标签4", {20, 120, 60, 24}, "磁力站点："_gbk)));
  for (const auto& site : core::kSites) {
    auto box = onTab(component(K::CheckBox, siteCheckBox(site.label),
                               {site.left, 120, site.width, 24}, utf8ToGbk(site.label)));
    w.push_back(site.shown ? box : hidden(box));
  }
  // Below the row of site boxes, at the left of the site row's caption.
  w.push_back(onTab(component(K::Button, 按钮_站点主机, {90, 160, 100, 26}, "站点主机…"_gbk)));
  w.push_back(onTab(component(K::TransparentLabel, 透明标签_主机提示, {205, 160, 600, 26})));
}

void addDonationTab(std::vector<window::ComponentTemplate>& w) {
  w.push_back(on(component(K::PictureBox, 图片框1, {0, 23, 1159, 341}), kTabs, kDonationTab));
  w.push_back(on(component(K::PictureBox, 图片框16, {150, 40, 250, 250}), 图片框1));
  w.push_back(on(component(K::PictureBox, 图片框15, {759, 40, 250, 250}), 图片框1));
  w.push_back(on(component(K::TransparentLabel, 透明标签10, {150, 290, 250, 50}, "支付宝"_gbk),
                 图片框1));
  w.push_back(on(component(K::TransparentLabel, 透明标签11, {759, 290, 250, 50}, "微信支付"_gbk),
                 图片框1));
  w.push_back(on(component(K::TransparentLabel, 透明标签9, {400, 40, 359, 250},
                           "\r\n\r\n\r\n\r\n\r\n\r\n"
                           "我们一起来让这个世界有趣一点……\r\n\r\n"
                           "听说，打赏我的人最后都找到了真爱。\r\n\r\n"
                           "听说打赏我的人，都进了福布斯排行榜\r\n\r\n"
                           "打赏的都是天使。\r\n\r\n"
                           "打赏了的人都会变美~"_gbk),
                 图片框1));
  w.push_back(on(component(K::HyperlinkLabel, 超级链接框1, {400, 270, 360, 20}, "检测更新"_gbk),
                 图片框1));
}

void addAnnouncementTab(std::vector<window::ComponentTemplate>& w) {
  w.push_back(coloured(on(withEdit(component(K::EditBox, 编辑框_公告, {0, 23, 1159, 341}),
                                   {.multiLine = true, .readOnly = true}),
                          kTabs, kAnnouncementTab),
                       window::kGreen));
}

// One row per ticked site of the last search; the reason's full text is the cell's tooltip.
void addSiteStatusTab(std::vector<window::ComponentTemplate>& w) {
  auto list = on(component(K::ReportList, 超级列表框_站点状态, {0, 23, 1159, 341}), kTabs,
                 kSiteStatusTab);
  for (auto [header, width] : {std::pair{"站点", 90}, {"状态", 90}, {"页数", 50}, {"找到", 60},
                               {"列出", 60}, {"用时", 70}, {"镜像", 200}, {"原因", 536}}) {
    list.columns.push_back({utf8ToGbk(header), width});
  }
  w.push_back(list);
}

window::MenuTemplate resultMenu() {
  auto item = [](std::string_view name, int level, bool visible) {
    return window::MenuItemTemplate{std::string(name), utf8ToGbk(name), level, visible};
  };
  auto separator = [](std::string_view name, bool visible) {
    return window::MenuItemTemplate{std::string(name), {}, 1, visible};
  };
  return {std::string(磁力菜单),
          {item(迅雷下载, 1, true), item(复制链接, 1, true), separator("分隔条1", true),
           item(数据排序, 1, true), item(文件大小, 2, true), item(资源热度, 2, true),
           item(时间日期, 2, false), item(默认顺序, 2, true), item(导出数据, 1, true),
           item(TXT文本, 2, true), item(Excel表格, 2, false), item(Access数据库, 2, false),
           separator("分隔条2", false), item(检查更新, 1, false)}};
}

window::WindowTemplate makeMainWindow() {
  window::WindowTemplate t;
  t.name = std::string(主窗口);
  t.title = " Tesk Quenbo 4.0.6.20191224";
  t.geometry = {50, 50, 1165, 525};
  t.visible = false;
  addSearchRow(t.components);
  addFilmBoard(t.components);
  addResults(t.components);
  addFilterTab(t.components);
  addLogTab(t.components);
  addSettingsTab(t.components);
  addDonationTab(t.components);
  addAnnouncementTab(t.components);
  addSiteStatusTab(t.components);
  t.menus.push_back(resultMenu());
  return t;
}

}  // namespace

const window::WindowTemplate& mainWindowTemplate() {
  static const window::WindowTemplate main = makeMainWindow();
  return main;
}

}  // namespace quenbo::forms
