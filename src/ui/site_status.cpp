#include "ui/site_status.h"

#include <string>

#include "base/encoding.h"
#include "base/numbers.h"
#include "forms/main_window_names.h"
#include "core/site_table.h"
#include "window/interactions.h"

namespace quenbo::ui {

using namespace forms::names;

namespace {

// Tenths of a second: "0.4 秒", "12.0 秒".
Text secondsText(std::uint32_t ms) {
  std::uint32_t tenths = (ms + 50) / 100;
  return integerToText(tenths / 10) + "." + integerToText(tenths % 10) + " 秒"_gbk;
}

}  // namespace

window::Row siteStatusRow(const core::SiteReport& report) {
  const bool started = report.state != core::SiteState::waiting &&
                       report.state != core::SiteState::noHost;
  auto count = [started](int n) { return started ? integerToText(n) : Text(); };
  Text label = report.site >= 0 && report.site < core::kSiteCount
                   ? utf8ToGbk(core::kSites[static_cast<std::size_t>(report.site)].label)
                   : Text();
  return {label,
          core::siteStateText(report.state, report.page),
          count(report.pagesFetched),
          count(report.hitsFound),
          count(report.hitsListed),
          started ? secondsText(report.elapsedMs) : Text(),
          report.mirror,
          report.reason};
}

SiteStatusTable::SiteStatusTable(window::WindowModel& window, ReportsSource reports)
    : window_(window), reports_(std::move(reports)) {}

void SiteStatusTable::refresh(bool force) {
  const core::SiteReports* source = reports_();
  if (source == nullptr) return;
  // Read the version first: a change made while the snapshot is taken shows next time.
  const std::uint64_t version = source->version();
  if (source == shownReports_ && version == shownVersion_ && !force) return;
  std::vector<core::SiteReport> reports = source->snapshot();
  std::vector<window::Row> rows;
  rows.reserve(reports.size());
  for (const auto& report : reports) rows.push_back(siteStatusRow(report));

  bool sameSites = window_.rowCount(超级列表框_站点状态) == static_cast<int>(rows.size());
  for (std::size_t r = 0; sameSites && r < rows.size(); ++r) {
    sameSites = window_.cell(超级列表框_站点状态, static_cast<int>(r), 0) == rows[r][0];
  }
  if (sameSites) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
      window::Row shown = window_.row(超级列表框_站点状态, static_cast<int>(r));
      for (std::size_t c = 1; c < rows[r].size(); ++c) {
        if (c >= shown.size() || shown[c] != rows[r][c]) {
          window_.setCell(超级列表框_站点状态, static_cast<int>(r), static_cast<int>(c), rows[r][c]);
        }
      }
    }
  } else {
    window_.clearRows(超级列表框_站点状态);
    for (auto& row : rows) window_.appendRow(超级列表框_站点状态, std::move(row));
  }
  shownReports_ = source;
  shownVersion_ = version;
}

void markSitesWithoutHost(window::WindowModel& window, const HostCheck& hasHost) {
  bool anyShownMissing = false;
  for (int site = 0; site < core::kSiteCount; ++site) {
    const auto& entry = core::kSites[static_cast<std::size_t>(site)];
    const bool missing = hasHost && !hasHost(site);
    anyShownMissing = anyShownMissing || (missing && entry.shown);
    window.setHint(siteCheckBox(entry.label),
                   missing ? window::Hint{true, core::noHostText()} : window::Hint{});
  }
  window.setText(透明标签_主机提示,
                 anyShownMissing ? "标红的站点未配置主机，搜索时不会启动；点“站点主机…”填写主机。"_gbk
                                 : Text());
}

bool tickedSitesHaveHosts(window::WindowModel& window, window::Interactions& interactions,
                          const HostCheck& hasHost, const std::function<void()>& openEditor) {
  if (!hasHost) return true;
  bool anyTicked = false;
  for (int site = 0; site < core::kSiteCount; ++site) {
    if (!window.checked(siteCheckBox(core::kSites[static_cast<std::size_t>(site)].label))) {
      continue;
    }
    if (hasHost(site)) return true;
    anyTicked = true;
  }
  if (!anyTicked) return true;
  Text message = "勾选的站点都没有配置主机，搜索没有开始。"_gbk;
  if (!openEditor) {
    interactions.messageBox(message + "\r\n请在站点主机文件中为站点填写主机。"_gbk,
                            window::defaultMessageTitle(), window::MessageButtons::Ok,
                            window::MessageIcon::Information);
    return false;
  }
  window::MessageAnswer answer = interactions.messageBox(
      message + "\r\n现在打开“站点主机”设置吗？"_gbk, window::defaultMessageTitle(),
      window::MessageButtons::YesNo, window::MessageIcon::Information);
  if (answer == window::MessageAnswer::Yes) openEditor();
  return false;
}

}  // namespace quenbo::ui
