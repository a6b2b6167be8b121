// The 站点状态 tab and the site boxes' host marks: what each ticked site of the last search
// did, and which sites have no host to ask before a search starts.
#pragma once

#include <cstdint>
#include <functional>

#include "core/search.h"
#include "core/site_report.h"
#include "window/window_model.h"

namespace quenbo::window {
class Interactions;
}

namespace quenbo::ui {

using core::HostCheck;

// One row of the status list: 站点, 状态, 页数, 找到, 列出, 用时, 镜像, 原因 (GBK).
window::Row siteStatusRow(const core::SiteReport& report);

// Draws the shown search's site reports into 超级列表框_站点状态. UI thread only.
class SiteStatusTable final {
 public:
  // `reports` gives the reports of the search the window shows; none before the first.
  using ReportsSource = std::function<const core::SiteReports*()>;
  SiteStatusTable(window::WindowModel& window, ReportsSource reports);

  // Rewrites the list when the reports changed since the last call, or always when
  // `force`d (the listed counts follow the result list, which a filter change rebuilds
  // without touching the reports): cell by cell while the same sites are listed (the
  // selection and scroll stay), as a whole otherwise.
  void refresh(bool force = false);

 private:
  window::WindowModel& window_;
  const ReportsSource reports_;
  const core::SiteReports* shownReports_ = nullptr;  // UI thread: the reports on screen
  std::uint64_t shownVersion_ = UINT64_MAX;          // UI thread: their version on screen
};

// Marks every site box whose site has no host and gives it the tooltip "未配置主机"; clears
// the mark of the others. Nothing is marked without a check.
void markSitesWithoutHost(window::WindowModel& window, const HostCheck& hasHost);

// Whether a search may start with the ticked sites. When at least one site is ticked and
// none of them has a host, a message says so and it may not; the message offers the hosts
// editor when `openEditor` is set, and opens it when the user agrees. UI thread.
bool tickedSitesHaveHosts(window::WindowModel& window, window::Interactions& interactions,
                          const HostCheck& hasHost, const std::function<void()>& openEditor);

}  // namespace quenbo::ui
