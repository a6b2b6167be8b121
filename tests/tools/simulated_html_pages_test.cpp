// Each simulated HTML page, cut the way the program cuts it (markers written out here by hand),
// gives exactly the results the simulator says it put on the page.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "base/encoding.h"
#include "base/text_search.h"
#include "tools/simulator_fetch.h"

namespace quenbo {
namespace {

using simulator::SimulatedItem;
using simulator::SiteBehaviour;
using simulator::SiteSimulator;
using testing::between;
using testing::fetchPage;
using testing::kEncodedKeyword;
using testing::pageInGbk;

// Pieces from each left marker to the next right marker; the next search starts just after
// the left marker.
std::vector<Text> cutBlocks(std::string_view text, std::string_view left, std::string_view right,
                            std::string_view prefix, std::string_view suffix) {
  std::vector<Text> blocks;
  for (int d = 1;;) {
    int l = findText(text, left, d);
    if (l < 0) break;
    d = l + static_cast<int>(left.size());
    int r = findText(text, right, d);
    if (r < 0) break;
    blocks.push_back(Text(prefix) + Text(text.substr(d - 1, r - d)) + Text(suffix));
  }
  return blocks;
}

Text afterLast(std::string_view text, std::string_view marker) {
  int p = findLastText(text, marker);
  return p < 0 ? Text() : Text(text.substr(p - 1 + marker.size()));
}

Text trim(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return Text();
  return Text(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// Spaces and the GBK full-width blank at both ends.
Text trimBlanks(Text text) {
  const Text wide = "\xA1\xA1";
  for (bool changed = true; changed;) {
    changed = false;
    if (!text.empty() && text.front() == ' ') text.erase(0, 1), changed = true;
    if (!text.empty() && text.back() == ' ') text.pop_back(), changed = true;
    if (text.rfind(wide, 0) == 0) text.erase(0, 2), changed = true;
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, wide) == 0) {
      text.resize(text.size() - 2);
      changed = true;
    }
  }
  return text;
}

Text removeAll(Text text, std::string_view what) {
  for (std::size_t at = text.find(what); at != Text::npos; at = text.find(what, at)) {
    text.erase(at, what.size());
  }
  return text;
}

using Rule = std::function<Text(const Text& block)>;

// One HTML site: its block cut and the cut of each field, without the clean-up steps (highlight
// removal, size rewrites) so that a field equals the value the simulator reports.
struct HtmlCut {
  std::string label;
  Text left, right, prefix, suffix;
  Rule title, link, size, heat, date;  // heat and date empty where the site shows none
};

// Btdad and Ttcili cut their link part from "magnet:", so it starts with the query.
Text linkLead(const HtmlCut& site) {
  return site.label == "Btdad" || site.label == "Ttcili" ? "?xt=urn:btih:" : "";
}

std::vector<HtmlCut> htmlCuts(const SiteSimulator& sites) {
  const Text btsow = sites.markerHost("Btsow");
  const Text monova = sites.markerHost("Monova");
  return {
      {"Btdad", "/span><a href=", "<div class=\"ssbox\">", "", "",
       [](const Text& b) { return trim(between(b, "target=\"_blank\">", "</a></h3>")); },
       [](const Text& b) { return between(b, "magnet:", "\""); },
       [](const Text& b) { return afterLast(between(b, "<span>大小:"_gbk, "</b></span>"), "\">"); },
       [](const Text& b) { return between(b, "热度:<b>"_gbk, "</b><"); },
       [](const Text& b) { return between(b, "添加时间:<b>"_gbk, "</b><"); }},
      {"Ttcili", "<h3><a target=", "详细信息</a>"_gbk, "", "",
       [](const Text& b) { return between(b, "title=\"", "\" class="); },
       [](const Text& b) { return between(b, "magnet:", "\""); },
       [](const Text& b) { return between(b, "hashlength\">", "</span>"); },
       [](const Text& b) { return between(b, "icon-redu\">", "</i>"); },
       [](const Text& b) { return trim(between(b, "收录时间:"_gbk, "</span>")); }},
      {"Iheian", "/hash/", "<br />", "/hash/", "<br />",
       [](const Text& b) { return between(b, "&nbsp;", "</h4></a><p>"); },
       [](const Text& b) { return between(b, "/hash/", ".html"); },
       [](const Text& b) { return between(b, "文件大小："_gbk, "&nbsp"); },
       [](const Text& b) { return between(b, "热度："_gbk, "&nbsp"); },
       [](const Text& b) { return trim(between(b, "创建时间："_gbk, "&nbsp")); }},
      {"Ciliguo", "href=\"/h/", "</small></div></div></div></div></div></div>", "/h/", "/mw/",
       [](const Text& b) {
         return trimBlanks(removeAll(between(b, "><span", "</span></a>", true), "data-v-3317d8cf>"));
       },
       [](const Text& b) { return between(b, "magnet:?xt=urn:btih:", "\""); },
       [](const Text& b) { return afterLast(between(b, "文件大小："_gbk, "</span>"), ">"); },
       [](const Text& b) { return afterLast(between(b, "人气："_gbk, "</span>"), ">"); },
       [](const Text& b) { return afterLast(between(b, "更新时间："_gbk, "</span>"), ">"); }},
      {"Sobt", "/torrent", "b></span></div></div", "", "",
       [](const Text& b) { return trim(between(b, "_blank\">", "</a></h3></div><div")); },
       [](const Text& b) { return between(b, "/", ".html\" target="); },
       [](const Text& b) { return between(between(b, "文件大小：<b"_gbk, "/b>"), ">", "<"); },
       [](const Text& b) { return between(b, "下载热度：<b>"_gbk, "</"); },
       [](const Text& b) { return trim(between(b, "创建时间： <b>"_gbk, "</b></")); }},
      {"Wiki", "/magnet/", "search-item", "/magnet/", "",
       [](const Text& b) { return between(b, "_blank\">", "</a></h3>"); },
       [](const Text& b) { return between(b, "/magnet/", ".html"); },
       [](const Text& b) { return between(b, "blue-pill\">", "</b>"); },
       [](const Text& b) { return between(b, "下载热度：<b>"_gbk, "</b>"); },
       [](const Text& b) { return between(b, "创建时间：<b>"_gbk, "</b></span>"); }},
      {"Chazhongzi", "在当前页面打开\""_gbk, "最近下载：<b>"_gbk, "", "",
       [](const Text& b) { return between(b, ">", "</a>"); },
       [](const Text& b) { return between(b, "href=\"/bt/", "?keyword"); },
       [](const Text& b) { return between(b, "文件大小：<b>"_gbk, "</b>"); },
       [](const Text& b) { return between(b, "下载热度：<b>"_gbk, "</b>"); },
       [](const Text& b) { return between(b, "创建时间：<b>"_gbk, "</b>"); }},
      {"BT樱桃", "/magnet/", "/magnet/", "magnet/", "",
       [](const Text& b) { return between(b, "_blank\">", "</a></h3>"); },
       [](const Text& b) { return between(b, "magnet/", ".html"); },
       [](const Text& b) { return afterLast(between(b, "文件大小："_gbk, "</b></span>"), ">"); },
       [](const Text& b) { return afterLast(between(b, "下载热度："_gbk, "</b></span>"), ">"); },
       [](const Text& b) { return afterLast(trim(between(b, "创建时间："_gbk, "</b></span>")), ">"); }},
      {"Skrbt", "list-unstyled", "result-resource-file", "", "",
       [](const Text& b) { return between(b, "title=\"", "\" target"); },
       [](const Text& b) { return afterLast(between(b, "/detail/", "\""), "/"); },
       [](const Text& b) { return afterLast(between(b, "文件大小:"_gbk, "</span>"), "\">"); },
       [](const Text& b) { return afterLast(between(b, "热度:"_gbk, "</span>"), "\">"); },
       [](const Text& b) { return afterLast(between(b, "收录时间:"_gbk, "</span>"), "\">"); }},
      {"Monova", "torrent_name\">", "desktop", "", "",
       [](const Text& b) { return between(b, "\">", "</a>"); },
       [monova](const Text& b) { return between(b, "//" + monova + "/", "\""); },
       [](const Text& b) { return between(b, "center-align\">", "</td>"); }, nullptr, nullptr},
      {"SXBTZZ", "item-title", ">磁力链接<"_gbk, "", "",
       [](const Text& b) { return between(b, "title=\"", "\""); },
       [](const Text& b) { return between(b, "magnet:?xt=urn:btih:", "&"); },
       [](const Text& b) { return afterLast(between(b, "文件大小：<b"_gbk, "</b></span>"), ">"); },
       [](const Text& b) { return between(b, "下载热度：<b>"_gbk, "</b></span>"); },
       [](const Text& b) { return trim(between(b, "创建时间：<b>"_gbk, "</b></span>")); }},
      {"A8bt", "<dl class='item'>", "下载BT种子"_gbk, "", "",
       [](const Text& b) { return trim(between(b, "target='_blank'>", "</a></dt>")); },
       [](const Text& b) { return between(b, "href='/bt/", ".html"); },
       [](const Text& b) { return between(b, "文件大小:<b>"_gbk, "</b>"); },
       [](const Text& b) { return between(b, "人气:<b>"_gbk, "</b>"); },
       [](const Text& b) { return between(b, "收录时间:<b>"_gbk, "</b>"); }},
      {"BTKU", "<dt><span class=", "磁力链接"_gbk, "", "",
       [](const Text& b) { return trim(between(b, "><span>", "</span>")); },
       [](const Text& b) { return between(b, "magnet:?xt=urn:btih:", "\""); },
       [](const Text& b) { return between(b, "文档大小:"_gbk, "</span>"); },
       [](const Text& b) { return between(b, "人气:<b>"_gbk, "</b>"); },
       [](const Text& b) { return between(b, "收录时间:<b>"_gbk, "</b>"); }},
      {"Btsow", "https://" + btsow + "/magnet/detail/hash/", "hidden-xs", "hash/", "",
       [](const Text& b) { return between(b, "title=\"", "\""); },
       [](const Text& b) { return between(b, "hash/", "\""); },
       [](const Text& b) { return between(b, "Size:", " /"); }, nullptr,
       [](const Text& b) { return between(b, "Date:", "</div>"); }},
      {"Renz", "/hash/", "</p></div></article>", "hash/", "",
       [](const Text& b) { return trim(between(b, "</span>&nbsp;", "</h4></a><p>")); },
       [](const Text& b) { return between(b, "hash/", ".html", true); },
       [](const Text& b) { return between(b, "文件大小："_gbk, "&"); },
       [](const Text& b) { return between(b, "热度："_gbk, "&"); },
       [](const Text& b) { return between(b, "创建时间："_gbk, "&"); }},
      {"FeiBt", "/zh-cn/i/", "</span></p>", "/zh-cn/i/", "*****",
       [](const Text& b) { return between(b, ">", "</a></p><p>"); },
       [](const Text& b) { return between(b, "/zh-cn/i/", "\""); },
       [](const Text& b) { return between(b, "资源大小："_gbk, "*****"); }, nullptr,
       [](const Text& b) { return between(b, "创建时间："_gbk, "</span>"); }},
      {"章鱼搜索", "/show/", "res-", "/show/", "*****",
       [](const Text& b) { return between(b, "title=\"", "\">"); },
       [](const Text& b) { return trim(between(b, "hash:", "</div>")); },
       [](const Text& b) { return between(b, "大小:"_gbk, "</em>"); }, nullptr,
       [](const Text& b) { return between(b, "<em>", "</em> <em>"); }},
  };
}

constexpr std::string_view kKeyword = "电影 abc";

class SimulatedHtmlPages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SiteBehaviour behaviour;
    behaviour.pages = 2;
    behaviour.perPage = 6;
    sites_ = new SiteSimulator(simulator::SimulatorOptions{behaviour, false});
  }
  static void TearDownTestSuite() {
    delete sites_;
    sites_ = nullptr;
  }
  static SiteSimulator* sites_;
};
SiteSimulator* SimulatedHtmlPages::sites_ = nullptr;

TEST_F(SimulatedHtmlPages, EverySiteCutsIntoTheResultsItPromises) {
  ASSERT_TRUE(sites_->running());
  for (const HtmlCut& site : htmlCuts(*sites_)) {
    SCOPED_TRACE(site.label);
    for (int page : {1, 2}) {
      testing::Fetched fetched = testing::fetchPage(*sites_, site.label, kEncodedKeyword, page);
      ASSERT_EQ(fetched.response.statusText, "200 OK");
      Text text = pageInGbk(fetched);
      std::vector<Text> linked;
      for (Text& block : cutBlocks(text, site.left, site.right, site.prefix, site.suffix)) {
        if (!site.link(block).empty()) linked.push_back(std::move(block));
      }
      std::vector<SimulatedItem> items = sites_->itemsOnPage(site.label, kKeyword, page);
      ASSERT_EQ(items.size(), 6u);
      // Btdad cuts a result up to the next result box: its last result gives no block.
      if (site.label == "Btdad") items.pop_back();
      ASSERT_EQ(linked.size(), items.size());
      for (std::size_t k = 0; k < items.size(); ++k) {
        SCOPED_TRACE(k);
        const Text& block = linked[k];
        EXPECT_EQ(site.title(block), utf8ToGbk(items[k].title));
        EXPECT_EQ(site.link(block), linkLead(site) + items[k].infoHash);
        EXPECT_EQ(site.size(block), utf8ToGbk(items[k].size));
        EXPECT_EQ(site.heat ? site.heat(block) : Text(), items[k].heat);
        EXPECT_EQ(site.date ? site.date(block) : Text(), items[k].date);
      }
    }
  }
}

TEST_F(SimulatedHtmlPages, ThePageAfterTheLastHasNoResultBlock) {
  for (const HtmlCut& site : htmlCuts(*sites_)) {
    SCOPED_TRACE(site.label);
    testing::Fetched fetched = testing::fetchPage(*sites_, site.label, kEncodedKeyword, 3);
    ASSERT_EQ(fetched.response.statusText, "200 OK");
    Text text = pageInGbk(fetched);
    EXPECT_NE(findText(text, "</html>"), -1);
    for (const Text& block : cutBlocks(text, site.left, site.right, site.prefix, site.suffix)) {
      EXPECT_EQ(site.link(block), "");
    }
    EXPECT_TRUE(sites_->itemsOnPage(site.label, kKeyword, 3).empty());
  }
}

}  // namespace
}  // namespace quenbo
