#include "settings/settings_keys.h"

#include "base/encoding.h"

namespace quenbo::settings {

const SettingsKeys& settingsKeys() {
  static const SettingsKeys keys{
      .search = "搜索"_gbk,
      .pages = "页数"_gbk,
      .timeout = "时间"_gbk,
      .threads = "线程"_gbk,
      .filter = "过滤"_gbk,
      .exactSearch = "精准搜索"_gbk,
      .filterWords = "过滤字词"_gbk,
      .showWords = "显示字词"_gbk,
      .removeDuplicates = "删除重复"_gbk,
      .gigabytes = "GB",
      .megabytes = "MB",
      .filterText = "过滤文本"_gbk,
      .showText = "显示文本"_gbk,
      .display = "显示"_gbk,
      .keepVisible = "保证显示"_gbk,
      .sites = "站点"_gbk,
      .window = "窗口"_gbk,
      .left = "左边"_gbk,
      .top = "顶边"_gbk,
      .width = "宽度"_gbk,
      .height = "高度"_gbk,
      .maximised = "最大化"_gbk,
      .tab = "选项卡"_gbk,
      .yes = "真"_gbk,
      .no = "假"_gbk,
  };
  return keys;
}

}  // namespace quenbo::settings
