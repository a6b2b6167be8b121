#include "sites/site_workers.h"

#include <memory>

#include "sites/site_adapter.h"

namespace quenbo {

namespace {

// A search job's run seen as an adapter's channel.
class JobChannel final : public SiteChannel {
 public:
  explicit JobChannel(core::SiteRun& run) : run_(run) {}

  const Text& keyword() const override { return run_.keyword(); }
  int pageLimit() const override { return run_.pageLimit(); }
  int timeoutSeconds() const override { return run_.timeoutSeconds(); }
  bool stopRequested() const override { return run_.stopRequested(); }
  bool running() const override { return run_.running(); }
  void clearRunning() override { run_.clearRunning(); }
  // Dropped by the run when a newer search has started since.
  bool handOver(const core::MagnetResult& hit) override { return run_.handOver(hit); }
  void log(const Text& line) override { run_.log(line); }

 private:
  core::SiteRun& run_;
};

}  // namespace

std::array<core::SiteWorker, core::kSiteCount> makeSiteWorkers(const SiteHosts& hosts) {
  std::array<core::SiteWorker, core::kSiteCount> workers;
  for (int index = 0; index < core::kSiteCount; ++index) {
    // Shared, read-only, by every run of the site.
    auto plan = std::make_shared<const SitePlan>(planSite(index, hosts));
    workers[static_cast<std::size_t>(index)] = [plan](core::SiteRun& run) {
      JobChannel channel(run);
      // How the site ended is in its log lines; the window shows no more of it yet.
      (void)runSiteAdapter(*plan, channel);
    };
  }
  return workers;
}

}  // namespace quenbo
