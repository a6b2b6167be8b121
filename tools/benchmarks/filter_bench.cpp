// Rebuilding the result list under the real filter, as every keystroke in a word list or a
// size box does once a search has finished, and writing one settings key, which every
// keystroke does as well. A third of the hits repeat an earlier link; remove-duplicates,
// exact search and both word lists are on.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "base/encoding.h"
#include "base/ini_file.h"
#include "core/result_store.h"
#include "ui/search_controls.h"
#include "ui/search_view.h"
#include "forms/main_window_names.h"
#include "window/window_model.h"
#include "forms/window_templates.h"

namespace {

using namespace quenbo;
using namespace quenbo::core;
using namespace quenbo::forms::names;

std::vector<MagnetResult> makeHits(int count) {
  std::mt19937 random(7);
  const char* hex = "0123456789ABCDEF";
  const Text tags[] = {"1080p", "720p", "中字"_gbk, "高清"_gbk, "预告"_gbk, "HDR"};
  std::vector<MagnetResult> hits;
  for (int i = 0; i < count; ++i) {
    if (i % 3 == 2) {
      hits.push_back(hits[random() % hits.size()]);
      continue;
    }
    std::string hash;
    for (int k = 0; k < 40; ++k) hash += hex[random() % 16];
    Text title = "Some Film 2019 " + tags[random() % 6] + " " + tags[random() % 6] + " part " +
                 std::to_string(i);
    hits.push_back({title, "magnet:?xt=urn:btih:" + hash, "Btdad",
                    std::to_string(random() % 4000) + " MB", std::to_string(i), "2019-12-01"});
  }
  return hits;
}

struct Fixture {
  explicit Fixture(int hits) {
    window.setChecked(选择框_删除重复, true);
    window.setChecked(选择框_精准搜索, true);
    window.setChecked(选择框_过滤字词, true);
    window.setText(编辑框_关键字词A, "预告、花絮、抢先版、枪版、TC、CAM、韩版、删减、试看、广告"_gbk);
    window.setChecked(选择框_显示字词, true);
    window.setText(编辑框_关键字词B, "film、2019"_gbk);
    window.setText(编辑框_MB, "300");
    store.setKeyword("some film");
    store.setFilter(ui::readFilterSettings(window));
    for (const auto& hit : makeHits(hits)) store.addHit(hit);
    store.markDone();
  }
  window::WindowModel window{forms::mainWindowTemplate()};
  ui::SearchView view{window, {}};
  ResultStore store{view};
};

void RebuildWithFilter(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) f.store.rebuild(ui::readFilterSettings(f.window));
  state.counters["listed"] = f.window.rowCount(超级列表框_磁力链接);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(RebuildWithFilter)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// One key of a settings file of the usual size written and the file replaced, flushed to
// disk, as a keystroke in a word list does.
void WriteSettingsKey(benchmark::State& state) {
  auto directory = std::filesystem::temp_directory_path() / "quenbo-filter-bench";
  std::filesystem::create_directories(directory);
  Text path = utf8ToGbk((directory / "Clss.ini").string());
  for (int i = 0; i < 25; ++i) {
    (void)writeIniValue(path, "过滤"_gbk, "key" + std::to_string(i), "真"_gbk);
  }
  Text words = "预告、花絮、抢先版"_gbk;
  for (auto _ : state) {
    words += "x";
    (void)writeIniValue(path, "过滤"_gbk, "过滤文本"_gbk, words);
  }
  std::filesystem::remove_all(directory);
}
BENCHMARK(WriteSettingsKey)->Unit(benchmark::kMicrosecond);

}  // namespace
