// Sites with framework-made result lists: Ciliguo, Skrbt and Monova.
#include "site_simulator/site_template.h"

namespace quenbo::simulator {
namespace {

// Ciliguo's markup comes from a component framework: every tag carries the same data-v
// attribute, the title span is written in upper case and padded with full-width blanks, and
// a result closes six nested boxes after its <small> line.
constexpr std::string_view kCiliguoPage = R"(<div id="app"><div data-v-3317d8cf class="nav"><a data-v-3317d8cf href="/">磁力果</a></div>
<div data-v-3317d8cf class="results">
{items}</div>
<div data-v-3317d8cf class="pager"><a data-v-3317d8cf href="/search?q={kwurl}&amp;p={next}">下一页</a></div></div>)";
constexpr std::string_view kCiliguoItem = R"(<div data-v-3317d8cf class="list-item"><div data-v-3317d8cf class="card"><div data-v-3317d8cf class="card-body"><div data-v-3317d8cf class="row"><div data-v-3317d8cf class="col"><a data-v-3317d8cf href="/h/{hash}" target="_blank"><SPAN data-v-3317d8cf>　{title}　</SPAN></a><div data-v-3317d8cf class="meta"><span data-v-3317d8cf>文件大小：<i data-v-3317d8cf class="icon"></i>{size}</span> <span data-v-3317d8cf>人气：<i data-v-3317d8cf class="icon"></i>{heat}</span> <span data-v-3317d8cf>更新时间：<i data-v-3317d8cf class="icon"></i>{date}</span> <a data-v-3317d8cf href="magnet:?xt=urn:btih:{hash}" class="magnet">磁力链接</a><small data-v-3317d8cf>{hash}</small></div></div></div></div></div></div>
)";

std::string renderCiliguo(const PageView& view) {
  return htmlDocument(R"(<meta charset="utf-8">)", "磁力果",
                      renderItems(kCiliguoPage, kCiliguoItem, view));
}

constexpr std::string_view kSkrbtPage = R"(<nav class="navbar"><a class="navbar-brand" href="/">SKRBT</a></nav>
<div class="container">
{items}</div>
<div class="pagination"><a href="/search?keyword={kwurl}&amp;s=relevance&amp;p={next}">下一页</a></div>)";
constexpr std::string_view kSkrbtItem = R"(<ul class="list-unstyled"><li><a class="rrt common-link" href="/detail/{id}/{hash}" title="{title}" target="_blank">{title}</a></li><li class="rrmi"><span class="rrmiv">文件大小:<span class="rrmiv-value">{size}</span></span> <span class="rrmiv">热度:<span class="rrmiv-value">{heat}</span></span> <span class="rrmiv">收录时间:<span class="rrmiv-value">{date}</span></span></li><li><ul class="result-resource-file"><li>视频文件 {n}</li></ul></li></ul>
)";

std::string renderSkrbt(const PageView& view) {
  return htmlDocument(R"(<meta charset="utf-8">)", "SKRBT",
                      renderItems(kSkrbtPage, kSkrbtItem, view));
}

// Monova links each result with a scheme-relative URL on its own host and puts a quality
// label in front of some titles.
constexpr std::string_view kMonovaPage = R"(<div class="header"><a href="//{host}/">Monova</a></div>
<table class="table" id="searchResult">
<thead><tr><th>Name</th><th class="center-align">Size</th><th class="desktop">Added</th></tr></thead>
<tbody>
{items}</tbody>
</table>
<ul class="pagination"><li><a href="//{host}/search?term={kwurl}&amp;page={next}">Next</a></li></ul>)";
constexpr std::string_view kMonovaItem = R"(<tr><td class="torrent_name"><a href="//{host}/{hash}">{title}</a></td><td class="center-align">{size}</td><td class="desktop">{n} days ago</td></tr>
)";

std::string renderMonova(const PageView& view) {
  return htmlDocument(R"(<meta charset="utf-8">)", "Monova",
                      renderItems(kMonovaPage, kMonovaItem, view));
}

}  // namespace

std::vector<SiteTemplate> listSiteTemplates() {
  SiteTemplate ciliguo = htmlSite(4, "Ciliguo", true, "/search?q={KW}&p={P}", "utf-8", renderCiliguo);
  ciliguo.style.highlightOpen = "<span style='color:#dc3545'>";
  ciliguo.style.highlightClose = "</span>";

  // Skrbt's scheme travels with its host; the simulator serves it over plain HTTP unless
  // told otherwise.
  SiteTemplate skrbt = htmlSite(15, "Skrbt", false, "/search?keyword={KW}&s=relevance&p={P}",
                                "utf-8", renderSkrbt);

  SiteTemplate monova = htmlSite(16, "Monova", true,
                                 "/search?term={KW}&cat=&sort=1&verified=0&page={P}", "utf-8",
                                 renderMonova);
  monova.style.badge = "<span class=\"label label-success\">HD</span>";
  monova.style.heat = false;
  monova.style.date = false;
  return {ciliguo, skrbt, monova};
}

}  // namespace quenbo::simulator
