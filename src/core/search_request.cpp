#include "core/search_request.h"

#include "base/numbers.h"
#include "forms/main_window_names.h"
#include "window/window_model.h"

namespace quenbo::core {

using namespace window::names;

SearchRequest readSearchRequest(const window::WindowModel& window) {
  SearchRequest request;
  request.keyword = window.text(编辑框_搜索);
  request.pageLimit = textToInteger(window.text(编辑框_页数));
  request.timeoutSeconds = textToInteger(window.text(编辑框_时间));
  for (int site = 0; site < kSiteCount; ++site) {
    request.sites[static_cast<std::size_t>(site)] =
        window.checked(siteCheckBox(window::kSites[static_cast<std::size_t>(site)].label));
  }
  return request;
}

}  // namespace quenbo::core
