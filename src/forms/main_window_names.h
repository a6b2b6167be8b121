// Handles of the components of the main and update windows, spelt exactly as the handlers and
// the window templates use them. Each carries its kind; the window model takes nothing else.
#pragma once

#include <string>
#include <string_view>

#include "window/component_id.h"

namespace quenbo::forms::names {

// A handle whose name is a stem followed by a number.
template <class Id>
Id numbered(std::string_view stem, int n) {
  return Id{window::internName(std::string(stem) + std::to_string(n))};
}

// The main window.
inline constexpr window::WindowId 主窗口{"主窗口"};
inline constexpr window::EditBoxId 编辑框_搜索{"编辑框_搜索"};
inline constexpr window::PictureBoxId 图片框_开始停止{"图片框_开始停止"};
inline constexpr window::ButtonId 超级按钮_搜索{"超级按钮_搜索"};
inline constexpr window::PictureBoxId 图片框_暂停继续{"图片框_暂停继续"};
inline constexpr window::ButtonId 超级按钮_停止{"超级按钮_停止"};
inline constexpr window::TabControlId 高级选择夹1{"高级选择夹1"};
inline constexpr window::StatusBarId 状态条1{"状态条1"};
inline constexpr window::TimerId 时钟_线程{"时钟_线程"};

// Tab 0, the film board. Tiles are numbered 1 to 12.
inline constexpr window::LabelId 透明标签_上一页{"透明标签_上一页"};
inline constexpr window::LabelId 透明标签_下一页{"透明标签_下一页"};
inline window::PictureBoxId 图片框_电影(int n) { return numbered<window::PictureBoxId>("图片框_电影", n); }
inline window::LabelId 透明标签_电影评分(int n) { return numbered<window::LabelId>("透明标签_电影评分", n); }
inline window::LabelId 透明标签_电影主演(int n) { return numbered<window::LabelId>("透明标签_电影主演", n); }
inline window::LabelId 透明标签_电影名称(int n) { return numbered<window::LabelId>("透明标签_电影名称", n); }
inline window::LabelId 透明标签_上映时间(int n) { return numbered<window::LabelId>("透明标签_上映时间", n); }

// Tab 1, the results.
inline constexpr window::ReportListId 超级列表框_磁力链接{"超级列表框_磁力链接"};
inline constexpr window::FileDialogId 通用对话框1{"通用对话框1"};

// Tab 2, the filter settings.
inline constexpr window::EditBoxId 编辑框_关键字词A{"编辑框_关键字词A"};
inline constexpr window::EditBoxId 编辑框_关键字词B{"编辑框_关键字词B"};
inline constexpr window::PictureBoxId 图片框2{"图片框2"};
inline constexpr window::CheckBoxId 选择框_精准搜索{"选择框_精准搜索"};
inline constexpr window::CheckBoxId 选择框_过滤字词{"选择框_过滤字词"};
inline constexpr window::CheckBoxId 选择框_显示字词{"选择框_显示字词"};
inline constexpr window::CheckBoxId 选择框_删除重复{"选择框_删除重复"};
inline constexpr window::EditBoxId 编辑框_GB{"编辑框_GB"};
inline constexpr window::EditBoxId 编辑框_MB{"编辑框_MB"};
inline constexpr window::LabelId 标签1{"标签1"};

// Tab 3, the log.
inline constexpr window::EditBoxId 编辑框_日志{"编辑框_日志"};

// Tab 4, the search settings.
inline constexpr window::EditBoxId 编辑框_页数{"编辑框_页数"};
inline constexpr window::EditBoxId 编辑框_时间{"编辑框_时间"};
inline constexpr window::EditBoxId 编辑框_线程数量{"编辑框_线程数量"};
inline constexpr window::CheckBoxId 选择框_保证显示{"选择框_保证显示"};
// A site's check box: "选择框_" followed by the site label (UTF-8 spelling).
inline window::CheckBoxId siteCheckBox(std::string_view label) {
  return window::CheckBoxId{window::internName("选择框_" + std::string(label))};
}

// The button that opens the hosts editor, on the search settings tab.
inline constexpr window::ButtonId 按钮_站点主机{"按钮_站点主机"};
// Beside it: says what the marked site boxes mean, while any is marked.
inline constexpr window::LabelId 透明标签_主机提示{"透明标签_主机提示"};

// Tab 5, donations: two pictures with their captions, the text between them and the link.
inline constexpr window::PictureBoxId 图片框16{"图片框16"};
inline constexpr window::PictureBoxId 图片框15{"图片框15"};
inline constexpr window::LabelId 透明标签10{"透明标签10"};
inline constexpr window::LabelId 透明标签11{"透明标签11"};
inline constexpr window::LabelId 透明标签9{"透明标签9"};
inline constexpr window::LabelId 超级链接框1{"超级链接框1"};

// Tab 6, announcements.
inline constexpr window::EditBoxId 编辑框_公告{"编辑框_公告"};

// Tab 7, what each ticked site of the last search did.
inline constexpr window::ReportListId 超级列表框_站点状态{"超级列表框_站点状态"};

// The popup menu over the result list, and the names of its items.
inline constexpr window::MenuId 磁力菜单{"磁力菜单"};
inline constexpr window::MenuItemId 迅雷下载{"迅雷下载"};
inline constexpr window::MenuItemId 复制链接{"复制链接"};
inline constexpr window::MenuItemId 数据排序{"数据排序"};
inline constexpr window::MenuItemId 文件大小{"文件大小"};
inline constexpr window::MenuItemId 资源热度{"资源热度"};
inline constexpr window::MenuItemId 时间日期{"时间日期"};
inline constexpr window::MenuItemId 默认顺序{"默认顺序"};
inline constexpr window::MenuItemId 导出数据{"导出数据"};
inline constexpr window::MenuItemId TXT文本{"TXT 文本"};
inline constexpr window::MenuItemId Excel表格{"Excel 表格"};
inline constexpr window::MenuItemId Access数据库{"Access 数据库"};
inline constexpr window::MenuItemId 检查更新{"检查更新"};

// The update window.
inline constexpr window::WindowId 更新窗口{"更新窗口"};
inline constexpr window::ReportListId 超级列表框_文件{"超级列表框_文件"};
inline constexpr window::EditBoxId 编辑框_更新内容{"编辑框_更新内容"};
inline constexpr window::PictureBoxId 图片框1{"图片框1"};
inline constexpr window::ButtonId 按钮_查看{"按钮_查看"};
inline constexpr window::ButtonId 按钮_更新{"按钮_更新"};

// Tab indices of 高级选择夹1.
inline constexpr int kFilmTab = 0, kResultTab = 1, kFilterTab = 2, kLogTab = 3, kSettingsTab = 4,
                     kDonationTab = 5, kAnnouncementTab = 6, kSiteStatusTab = 7;

}  // namespace quenbo::forms::names
