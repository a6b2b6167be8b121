#include "app/search_progress.h"

#include <cstdio>

#include "base/encoding.h"
#include "sites/site_log.h"

namespace quenbo::app {

void SearchProgress::addLog(std::string_view added) {
  partial_ += added;
  std::size_t start = 0;
  for (std::size_t end; (end = partial_.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string_view line(partial_.data() + start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    countLine(line);
  }
  partial_.erase(0, start);
}

void SearchProgress::countLine(std::string_view line) {
  // Every site ends with one closing line, whichever way it stops; it writes a page line
  // before each page it fetches.
  static const Text kPage = "第 "_gbk;
  static const Text kPageEnd = " 页"_gbk;
  if (line.ends_with(sites::SiteLogMessages::finished())) {
    ++sitesDone_;
  } else if (line.ends_with(kPageEnd) && line.find(kPage) != std::string_view::npos) {
    ++pagesFetched_;
  }
}

std::string SearchProgress::line(int hitsListed, std::chrono::milliseconds elapsed) const {
  char text[160];
  std::snprintf(text, sizeof text, "\r%d/%d sites done, %d pages, %d hits, %.1f s\033[K",
                sitesDone_, sitesTicked_, pagesFetched_, hitsListed,
                static_cast<double>(elapsed.count()) / 1000.0);
  return text;
}

std::string SearchProgress::clear() {
  return "\r\033[K";
}

}  // namespace quenbo::app
