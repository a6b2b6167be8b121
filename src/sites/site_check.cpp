#include "sites/site_check.h"

#include <chrono>
#include <vector>

#include "base/encoding.h"
#include "sites/site_adapter.h"
#include "sites/site_plan.h"

namespace quenbo::sites {

namespace {

// One page, nothing kept but the number of hits; stopped only by its caller's stop.
class CheckChannel final : public SiteChannel {
 public:
  CheckChannel(const Text& keyword, int timeoutSeconds, const std::atomic<bool>* stop,
               StopBell* stopBell)
      : keyword_(keyword), timeoutSeconds_(timeoutSeconds), stop_(stop), stopBell_(stopBell) {}

  const Text& keyword() const override { return keyword_; }
  int pageLimit() const override { return 1; }
  int timeoutSeconds() const override { return timeoutSeconds_; }
  bool stopRequested() const override { return stop_ != nullptr && stop_->load(); }
  StopBell* stopBell() override { return stopBell_; }
  bool running() const override { return running_; }
  void clearRunning() override { running_ = false; }
  bool handOver(const core::MagnetResult&) override { return true; }
  void log(const Text&) override {}

 private:
  const Text& keyword_;
  int timeoutSeconds_;
  const std::atomic<bool>* stop_;
  StopBell* stopBell_;
  bool running_ = true;  // the calling thread's alone
};

}  // namespace

Text siteVerdictText(core::SiteState verdict) {
  switch (verdict) {
    case core::SiteState::done: return "ok";
    case core::SiteState::noResults: return "无结果"_gbk;
    case core::SiteState::noHost: return core::noHostText();
    case core::SiteState::unreachable: return "unreachable";
    case core::SiteState::httpError: return "HTTP error";
    case core::SiteState::layoutChanged: return "页面结构可能已改变"_gbk;
    case core::SiteState::jsonFailed: return "JSON解析失败"_gbk;
    case core::SiteState::waiting:
    case core::SiteState::onPage:
    case core::SiteState::stopped: break;
  }
  return {};
}

SiteCheck checkSite(const SiteHosts& hosts, int site, const Text& keyword, int timeoutSeconds,
                    const std::atomic<bool>* stop, StopBell* stopBell) {
  SiteCheck check;
  check.site = site;
  std::vector<SitePlan> mirrors = planMirrors(site, hosts);
  if (mirrors.empty()) {
    check.reason = core::noHostText();
    return check;
  }
  CheckChannel channel(keyword, timeoutSeconds, stop, stopBell);
  const auto started = std::chrono::steady_clock::now();
  SiteOutcome outcome = runSiteAdapter(mirrors, channel);
  check.elapsedMs = static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                            started)
          .count());
  check.host = outcome.host;
  check.verdict = outcome.fault;
  check.status = outcome.lastPage.statusText;
  check.reason = outcome.reason;
  check.hits = outcome.hits;
  return check;
}

}  // namespace quenbo::sites
