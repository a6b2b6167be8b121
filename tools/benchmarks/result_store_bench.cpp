// Handing hits to the result store and rebuilding the list over them. A third of the hits
// repeat an earlier link, as sites that share an index do.
#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <string>

#include "core/result_store.h"
#include "ui/search_controls.h"
#include "ui/search_view.h"
#include "forms/main_window_names.h"
#include "window/window_model.h"
#include "forms/window_templates.h"

namespace {

using namespace quenbo;
using namespace quenbo::core;

std::vector<MagnetResult> makeHits(int count) {
  std::mt19937 random(42);
  std::vector<MagnetResult> hits;
  const char* hex = "0123456789ABCDEF";
  for (int i = 0; i < count; ++i) {
    if (i % 3 == 2) {
      hits.push_back(hits[random() % hits.size()]);
      continue;
    }
    std::string hash;
    for (int k = 0; k < 40; ++k) hash += hex[random() % 16];
    hits.push_back({"Some film title 1080p " + std::to_string(i), "magnet:?xt=urn:btih:" + hash,
                    "Btdad", std::to_string(random() % 4000) + " MB", std::to_string(i), "2019-12-01"});
  }
  return hits;
}

// Resident memory of the process in KiB, from /proc/self/status.
long residentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

struct Fixture {
  window::WindowModel window{forms::mainWindowTemplate()};
  ui::SearchView view{window, {}};
  ResultStore store{view};
};

void AddHits(benchmark::State& state) {
  auto hits = makeHits(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto f = std::make_unique<Fixture>();
    state.ResumeTiming();
    for (const auto& hit : hits) f->store.addHit(hit);
    state.PauseTiming();
    f.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(AddHits)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

void Rebuild(benchmark::State& state) {
  Fixture f;
  for (const auto& hit : makeHits(static_cast<int>(state.range(0)))) f.store.addHit(hit);
  f.store.markDone();
  for (auto _ : state) f.store.rebuild(ui::readFilterSettings(f.window));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(Rebuild)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// What the stored hits, their rows and the duplicate index take in memory.
void StoredHitsMemory(benchmark::State& state) {
  auto hits = makeHits(static_cast<int>(state.range(0)));
  long grown = 0;
  for (auto _ : state) {
    long before = residentKiB();
    auto f = std::make_unique<Fixture>();
    for (const auto& hit : hits) f->store.addHit(hit);
    grown = residentKiB() - before;
  }
  state.counters["resident_MiB"] = static_cast<double>(grown) / 1024.0;
}
BENCHMARK(StoredHitsMemory)->Arg(20000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The duplicate test alone: every hit asks whether its link is listed, then lists it.
void DuplicateIndex(benchmark::State& state) {
  auto hits = makeHits(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ListedMagnets listed;
    int duplicates = 0;
    for (const auto& hit : hits) {
      if (listed.contains(hit.magnet)) {
        ++duplicates;
      } else {
        listed.add(lowerAscii(hit.magnet));
      }
    }
    benchmark::DoNotOptimize(duplicates);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(DuplicateIndex)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
