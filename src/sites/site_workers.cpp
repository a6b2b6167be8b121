#include "sites/site_workers.h"

#include <memory>

#include "sites/site_adapter.h"

namespace quenbo::sites {

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
  void report(const std::function<void(core::SiteReport&)>& change) override {
    run_.report(change);
  }
  StopBell* stopBell() override { return &run_.stopBell(); }

 private:
  core::SiteRun& run_;
};

}  // namespace

std::array<core::SiteWorker, core::kSiteCount> makeSiteWorkers(
    std::shared_ptr<const SiteDirectory> directory) {
  std::array<core::SiteWorker, core::kSiteCount> workers;
  for (int index = 0; index < core::kSiteCount; ++index) {
    workers[static_cast<std::size_t>(index)] = [directory, index](core::SiteRun& run) {
      // Shared, read-only, by every run that started under the same hosts.
      std::shared_ptr<const std::vector<SitePlan>> mirrors = directory->mirrors(index);
      JobChannel channel(run);
      // How the site ended is in its report and its log lines.
      (void)runSiteAdapter(*mirrors, channel);
    };
  }
  return workers;
}

std::array<core::SiteWorker, core::kSiteCount> makeSiteWorkers(const SiteHosts& hosts) {
  return makeSiteWorkers(std::make_shared<const SiteDirectory>(hosts));
}

}  // namespace quenbo::sites
