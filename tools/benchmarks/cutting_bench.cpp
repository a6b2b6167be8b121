// Cutting one result page into hits with the Btdad rules: a 200 KB page of 50 result boxes
// into blocks, each block into title, magnet link, size, heat and date.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "base/encoding.h"
#include "sites/text_cleaning.h"
#include "sites/text_cutting.h"

namespace quenbo {
namespace {

struct Hit {
  Text title, magnet, size, heat, date;
};

Text resultBox(int n) {
  std::string hash = "0123456789ABCDEF0123456789ABCDEF" + std::to_string(10000 + n);
  std::string box =
      "<div class=\"ssbox\">\n<div class=\"title\"><h3><span>[BT]</span><a href=\"/h/" + hash +
      ".html\" target=\"_blank\"> 电影 <span class=\"red\">Key</span> 合集 " + std::to_string(n) +
      " 1080p</a></h3></div>\n<div class=\"slist\"><ul>\n";
  // The file list makes up most of a real box.
  for (int i = 0; box.size() < 3900; ++i) {
    box += "<li>第" + std::to_string(i) +
           "集.Some.Film.2019.1080p.WEB-DL.mkv <span class=\"lightColor\">" +
           std::to_string(300 + i) + " MB</span></li>\n";
  }
  box += "</ul></div>\n<div class=\"sbar\"><span><a href=\"magnet:?xt=urn:btih:" + hash +
         "\">[磁力链接]</a></span><span>大小:<b class=\"cpill yellow-pill\">1.2 GB</b></span>"
         "<span>热度:<b>35</b></span><span>添加时间:<b>2019-12-01</b></span></div>\n</div>\n";
  return utf8ToGbk(box);
}

Text resultPage() {
  Text page = utf8ToGbk("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>搜索</title>");
  page += std::string(2000, ' ') + "</head><body>\n";
  for (int n = 0; n < 50; ++n) page += resultBox(n);
  while (page.size() < 200 * 1024) page += "<p>footer</p>\n";
  return page + "</body></html>";
}

std::vector<Hit> cutPage(const Text& page) {
  static const Text sizeLabel = "<span>大小:"_gbk;
  static const Text heatLabel = "热度:<b>"_gbk;
  static const Text dateLabel = "添加时间:<b>"_gbk;
  std::vector<Text> blocks;
  sites::cutAll(page, "/span><a href=", "<div class=\"ssbox\">", blocks);
  std::vector<Hit> hits;
  for (const Text& block : blocks) {
    Text link = sites::textBetween(block, "magnet:", "\"");
    if (link.empty()) continue;
    Hit hit;
    hit.title = sites::trimSpaces(sites::replaceChain(sites::textBetween(block, "target=\"_blank\">", "</a></h3>"),
                                        {{"<span class=\"red\">", ""}, {"</span>", ""}}));
    hit.magnet = "magnet:" + link;
    hit.size = sites::textAfterLast(sites::textBetween(block, sizeLabel, "</b></span>"), "\">");
    hit.heat = sites::textBetween(block, heatLabel, "</b><");
    hit.date = sites::textBetween(block, dateLabel, "</b><");
    hits.push_back(std::move(hit));
  }
  return hits;
}

void cutResultPage(benchmark::State& state) {
  const Text page = resultPage();
  if (cutPage(page).size() != 49 || cutPage(page)[0].size != "1.2 GB") {
    state.SkipWithError("the page did not cut into 49 hits");
    return;
  }
  for (auto _ : state) {
    auto hits = cutPage(page);
    benchmark::DoNotOptimize(hits);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
  state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(cutResultPage)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quenbo
