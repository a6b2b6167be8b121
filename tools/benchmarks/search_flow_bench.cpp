// How long the program takes, on the headless front-end, to finish a search that has no site
// to run (one monitor tick, about 100 ms) and to close its window while no search runs (at
// once). The flow tests check what happens; these figures say how quickly.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "app/application.h"
#include "base/encoding.h"
#include "forms/main_window_names.h"
#include "core/site_table.h"
#include "window/headless/headless_interactions.h"
#include "window/headless/headless_loop.h"

namespace {

using namespace quenbo;
using namespace quenbo::forms::names;

// A program installed in a directory of its own, its window created and every site unticked.
struct Program {
  Program() {
    std::filesystem::create_directories(directory);
    Text install = utf8ToGbk(directory.string());
    app = std::make_unique<app::Application>(
        loop, ui, app::AppConfig{install, {}, utf8ToGbk((directory / "Clss.ini").string())});
    loop.attach(app->mainWindow());
    app->create();
    for (const auto& site : core::kSites) {
      app->mainWindow().setChecked(siteCheckBox(site.label), false);
    }
  }
  ~Program() {
    if (!app->mainWindow().destroyed()) app->close();
    loop.detach(app->mainWindow());
    app.reset();
    std::filesystem::remove_all(directory);
  }

  std::filesystem::path directory =
      std::filesystem::temp_directory_path() / "quenbo-search-flow-bench";
  window::HeadlessLoop loop;
  window::HeadlessInteractions ui;
  std::unique_ptr<app::Application> app;
};

void SearchWithoutSites(benchmark::State& state) {
  Program p;
  bool finished = false;
  p.app->searches().onFinished([&finished] { finished = true; });
  for (auto _ : state) {
    finished = false;
    p.app->mainWindow().setText(编辑框_搜索, "x");
    p.app->mainWindow().click(超级按钮_搜索);
    if (!p.loop.runUntil([&] { return finished; }, std::chrono::seconds(10))) {
      state.SkipWithError("the search did not finish");
      break;
    }
  }
}
BENCHMARK(SearchWithoutSites)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void CloseWhileIdle(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto p = std::make_unique<Program>();
    state.ResumeTiming();
    p->app->close();
    state.PauseTiming();
    p.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(CloseWhileIdle)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(20);

}  // namespace
