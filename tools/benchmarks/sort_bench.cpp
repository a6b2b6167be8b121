// Sorting the result list by size and by popularity, as a click on the "File Size" or "Heat"
// header does: the user waits on it, so 10,000 rows should take well under 20 ms. Sizes come
// in every unit and case, with many equal values; each run starts from the arrival order.
#include <benchmark/benchmark.h>

#include <random>

#include "core/result_filter.h"
#include "core/result_store.h"
#include "ui/search_view.h"
#include "forms/main_window_names.h"
#include "forms/window_templates.h"
#include "core/row_sort.h"
#include "window/window_model.h"

namespace {

using namespace quenbo;
using namespace quenbo::forms::names;

std::vector<core::MagnetResult> makeHits(int count) {
  std::mt19937 random(11);
  const char* units[] = {" GB", " MB", " KB", "GB", " mb", " TB"};
  std::vector<core::MagnetResult> rows;
  for (int i = 0; i < count; ++i) {
    std::string size =
        std::to_string(random() % 900) + "." + std::to_string(random() % 100) + units[random() % 6];
    rows.push_back({"Some Film 2019 1080p part " + std::to_string(i),
                    "magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef" + std::to_string(i),
                    "Btdad", size, std::to_string(random() % 5000), "2019-12-01"});
  }
  return rows;
}

void sortBench(benchmark::State& state, core::SortKey key) {
  window::WindowModel w(forms::mainWindowTemplate());
  ui::SearchView view(w, {});
  core::ResultStore store(view);
  for (const auto& hit : makeHits(static_cast<int>(state.range(0)))) store.addHit(hit);
  for (auto _ : state) {
    state.PauseTiming();
    store.rebuild({});  // the arrival order again
    state.ResumeTiming();
    store.sort(key);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void sortRowsBySize(benchmark::State& state) {
  sortBench(state, core::SortKey::size);
}
void sortRowsByHeat(benchmark::State& state) {
  sortBench(state, core::SortKey::heat);
}

BENCHMARK(sortRowsBySize)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(sortRowsByHeat)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace
