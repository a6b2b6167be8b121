// How fast the site simulator answers: one page without latency (plain and TLS), and the
// search the site adapters are measured with: the eleven visible sites, 30 pages each, one
// worker per site, 50 ms latency per page. The simulator should add little beyond 30 x 50 ms.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "net/http_engine.h"
#include "net/page_connection.h"
#include "site_simulator/site_simulator.h"

namespace {

using quenbo::simulator::SiteBehaviour;
using quenbo::simulator::SiteSimulator;

std::string pageUrl(const SiteSimulator& sites, const std::string& label, int page) {
  std::string p = std::to_string(page);
  if (label == "Btdad") return sites.baseUrl(label) + "/search-abc-0-0-" + p + ".html";
  if (label == "Iheian") return sites.baseUrl(label) + "/search/abc/page-" + p + ".html";
  if (label == "Sobt") return sites.baseUrl(label) + "/q/abc.html?sort=rel&page=" + p;
  if (label == "SXBTZZ") return sites.baseUrl(label) + "/search/abc/default-" + p + ".html";
  if (label == "Btsow") return sites.baseUrl(label) + "/search/abc/page/" + p;
  if (label == "Renz") return sites.baseUrl(label) + "/search/abc/page-" + p + ".html";
  if (label == "FeiBt") return sites.baseUrl(label) + "/zh-cn/s/" + p + "/abc";
  if (label == "章鱼搜索") return sites.baseUrl(label) + "/s/abc/p/" + p + ".html";
  std::string source = label == "种子搜" ? "%E7%A7%8D%E5%AD%90%E6%90%9C"
                       : label == "Torrentz" ? "Torrentz2" : "Sukebei+Nyaa";
  return sites.baseUrl(label) + "/api/search?source=" + source + "&keyword=abc&page=" + p +
         "&sort=time";
}

bool fetch(const std::string& url, quenbo::net::PageConnection* connection = nullptr) {
  quenbo::net::HttpRequest request;
  request.url = url;
  request.timeoutSeconds = 10;
  request.connection = connection;
  quenbo::net::HttpResponse response;
  return !quenbo::net::HttpEngine::execute(request, response).empty();
}

void onePage(benchmark::State& state, const char* label) {
  SiteSimulator sites;
  std::string url = pageUrl(sites, label, 1);
  for (auto _ : state) {
    if (!fetch(url)) state.SkipWithError("request failed");
  }
}

void BM_PlainPage(benchmark::State& state) { onePage(state, "Btdad"); }
void BM_TlsPage(benchmark::State& state) { onePage(state, "Iheian"); }

// The eleven visible sites, each fetching its 30 pages on a thread of its own: through a
// PageConnection that keeps its connection or not when `reuse` is given, else as plain calls.
void fetchVisibleSites(benchmark::State& state, SiteSimulator& sites,
                       std::optional<bool> reuse) {
  const std::vector<std::string> visible = {"Btdad", "Iheian", "Sobt", "种子搜", "Torrentz", "SXBTZZ",
                                            "Btsow", "Renz", "FeiBt", "章鱼搜索", "Sunyaa"};
  for (auto _ : state) {
    std::vector<std::thread> workers;
    std::vector<int> failures(visible.size(), 0);
    for (std::size_t k = 0; k < visible.size(); ++k) {
      workers.emplace_back([&, k] {
        std::optional<quenbo::net::PageConnection> connection;
        if (reuse) connection.emplace(*reuse);
        for (int page = 1; page <= 30; ++page) {
          failures[k] += fetch(pageUrl(sites, visible[k], page),
                               connection ? &*connection : nullptr) ? 0 : 1;
        }
      });
    }
    for (auto& worker : workers) worker.join();
    for (int failed : failures) {
      if (failed > 0) state.SkipWithError("a page failed");
    }
  }
  state.counters["pages"] = 330;
}

void BM_VisibleSitesThirtyPages(benchmark::State& state) {
  SiteBehaviour behaviour;
  behaviour.pages = 30;
  behaviour.latencyMs = 50;
  SiteSimulator sites(quenbo::simulator::SimulatorOptions{behaviour, false});
  fetchVisibleSites(state, sites, std::nullopt);
}

// The same eleven sites with a 40 ms network round trip and 20 ms of server time, each
// worker keeping its connection (argument 1) or opening one per page (0). The floors are
// about 2.0 s and 4.2 s (docs/performance.md).
void BM_VisibleSitesRoundTrip(benchmark::State& state) {
  SiteBehaviour behaviour;
  behaviour.pages = 30;
  behaviour.latencyMs = 20;
  SiteSimulator sites(quenbo::simulator::SimulatorOptions{behaviour, false, 40});
  fetchVisibleSites(state, sites, state.range(0) != 0);
}

BENCHMARK(BM_PlainPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TlsPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VisibleSitesThirtyPages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_VisibleSitesRoundTrip)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace
