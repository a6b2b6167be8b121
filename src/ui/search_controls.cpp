#include "ui/search_controls.h"

#include "base/numbers.h"
#include "forms/main_window_names.h"

namespace quenbo::ui {

using namespace forms::names;

core::FilterSettings readFilterSettings(const window::WindowModel& window) {
  core::FilterSettings s;
  s.exactSearch = window.checked(选择框_精准搜索);
  s.filterWordsOn = window.checked(选择框_过滤字词);
  s.filterWords = core::filterWordsOf(window.text(编辑框_关键字词A));
  s.showWordsOn = window.checked(选择框_显示字词);
  s.showWords = core::filterWordsOf(window.text(编辑框_关键字词B));
  s.removeDuplicates = window.checked(选择框_删除重复);
  s.sizeThreshold = core::sizeThreshold(window.text(编辑框_GB), window.text(编辑框_MB));
  return s;
}

core::SearchRequest readSearchRequest(const window::WindowModel& window) {
  core::SearchRequest request;
  request.keyword = window.text(编辑框_搜索);
  request.pageLimit = textToInteger(window.text(编辑框_页数));
  request.timeoutSeconds = textToInteger(window.text(编辑框_时间));
  for (int site = 0; site < core::kSiteCount; ++site) {
    request.sites[static_cast<std::size_t>(site)] =
        window.checked(siteCheckBox(core::kSites[static_cast<std::size_t>(site)].label));
  }
  request.filter = readFilterSettings(window);
  request.filter.keyword = request.keyword;
  return request;
}

}  // namespace quenbo::ui
