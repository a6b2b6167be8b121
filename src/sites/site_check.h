// The site check: page 1 of one site, fetched through the page loop every search uses, and
// judged. The hosts editor's 测试 button and `quenbo check-sites` show its verdict.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

#include "base/stop_bell.h"
#include "base/text.h"
#include "core/site_report.h"
#include "sites/site_hosts.h"

namespace quenbo::sites {

// A check's verdict as check-sites prints it (GBK): "ok" for done, "无结果", "未配置主机",
// "unreachable", "HTTP error", "页面结构可能已改变", "JSON解析失败".
Text siteVerdictText(core::SiteState verdict);

struct SiteCheck {
  int site = -1;  // catalogue index
  Text host;      // the host (mirror) page 1 came from, or the last one tried; empty: none
  // done (ok), noResults, noHost or one of the failures.
  core::SiteState verdict = core::SiteState::noHost;
  Text status;    // the request's status text: "200 OK", "711 发送请求失败!" (GBK)
  Text reason;    // the fault in words, as the status tab's reason (GBK); empty when ok
  std::uint32_t elapsedMs = 0;
  int hits = 0;  // hits page 1 gave
};

// The keyword a check searches for when none is given (UTF-8).
inline constexpr std::string_view kCheckKeyword = "linux";

// Runs on the calling thread, for up to the request deadline of each mirror tried. Writes
// no log line and hands no hit on. A site's mirror choice is remembered as a search's is.
// With `stop`, the check ends as soon as it turns true (woken by `stopBell`), and its
// verdict then means nothing.
SiteCheck checkSite(const SiteHosts& hosts, int site, const Text& keyword, int timeoutSeconds,
                    const std::atomic<bool>* stop = nullptr, StopBell* stopBell = nullptr);

}  // namespace quenbo::sites
