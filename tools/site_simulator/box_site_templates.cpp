// Sites whose results are boxes or definition lists: Btdad, Ttcili, A8bt, BTKU.
#include "site_simulator/site_template.h"

namespace quenbo::simulator {
namespace {

// Btdad: the block of a result runs from its title link to the next result box, so the last
// box of a page, which no box follows, is never cut out.
constexpr std::string_view kBtdadPage = R"(<div class="header"><a href="/" class="logo">BT搜索</a><form action="/search" method="get"><input type="text" name="kw" value="{kw}"></form></div>
<div class="main">
<div class="tips">为您找到与 <b>{kw}</b> 相关的资源</div>
{items}<div class="pager"><a href="/search-{kwurl}-0-0-{next}.html">下一页</a></div>
</div>)";
constexpr std::string_view kBtdadItem = R"(<div class="ssbox">
<div class="title"><h3><span class="tag">[视频]</span><a href="/hash/{hash}.html" target="_blank"> {title} </a></h3></div>
<div class="sbar"><span><a href="magnet:?xt=urn:btih:{hash}" class="magnet">磁力链接</a></span><span>大小:<b class="cpill blue-pill">{size}</b></span><span>热度:<b>{heat}</b></span><span>添加时间:<b>{date}</b></span></div>
</div>
)";

std::string renderBtdad(const PageView& view) {
  return htmlDocument(R"(<meta http-equiv="Content-Type" content="text/html; charset=utf-8" />)",
                      "BT搜索", renderItems(kBtdadPage, kBtdadItem, view));
}

constexpr std::string_view kTtciliPage = R"(<div id="top"><a href="/">天天磁力</a></div>
<ul class="list">
{items}</ul>
<div class="page"><a href="/s/{kwurl}/{next}-0-0.html">下一页</a></div>)";
constexpr std::string_view kTtciliItem = R"(<li class="item">
<h3><a target="_blank" href="/info/{hash}.html" title="{title}" class="name">{title}</a></h3>
<p class="attr"><span class="hashlength">{size}</span> <span>热度 <i class="icon-redu">{heat}</i></span> <span>收录时间: {date} </span></p>
<p class="links"><a href="magnet:?xt=urn:btih:{hash}" class="magnet">磁力链接</a> <a href="/info/{hash}.html">详细信息</a></p>
</li>
)";

std::string renderTtcili(const PageView& view) {
  return htmlDocument(R"(<meta charset="utf-8">)", "天天磁力",
                      renderItems(kTtciliPage, kTtciliItem, view));
}

constexpr std::string_view kA8btPage = R"(<div class='head'><a href='/'>A8BT</a> 搜索：<b>{kw}</b></div>
<div class='list'>
{items}</div>
<div class='pages'><a href='/a8/{kwurl}/{next}-0-0.html'>下一页</a></div>)";
constexpr std::string_view kA8btItem = R"(<dl class='item'><dt><a href='/bt/{hash}.html' target='_blank'> {title} </a></dt><dd class='attr'><span>收录时间:<b>{date}</b></span><span>文件大小:<b>{size}</b></span><span>人气:<b>{heat}</b></span><span><a href='/down/{hash}.torrent' rel='nofollow'>下载BT种子</a></span></dd></dl>
)";

std::string renderA8bt(const PageView& view) {
  return htmlDocument(R"(<meta charset="gbk">)", "A8BT种子搜索",
                      renderItems(kA8btPage, kA8btItem, view));
}

constexpr std::string_view kBtkuPage = R"(<div class="nav"><a href="/">BTKU</a></div>
<div class="result">
{items}</div>
<div class="pager"><a href="/search-{kwurl}-0-0-{next}.html">下一页</a></div>)";
constexpr std::string_view kBtkuItem = R"(<div class="list"><dl><dt><span class="type">[视频]</span><a href="/hash/{hash}.html" target="_blank"><span> {title} </span></a></dt><dd class="attr"><span>收录时间:<b>{date}</b></span><span>文档大小:{size}</span><span>人气:<b>{heat}</b></span><a href="magnet:?xt=urn:btih:{hash}">磁力链接</a></dd></dl></div>
)";

std::string renderBtku(const PageView& view) {
  return htmlDocument(R"(<meta charset="UTF-8">)", "BTKU",
                      renderItems(kBtkuPage, kBtkuItem, view));
}

}  // namespace

std::vector<SiteTemplate> boxSiteTemplates() {
  SiteTemplate btdad = htmlSite(0, "Btdad", false, "/search-{KW}-0-0-{P}.html", "utf-8", renderBtdad);
  btdad.style.highlightOpen = "<span class=\"red\">";
  btdad.style.highlightClose = "</span>";

  SiteTemplate ttcili = htmlSite(1, "Ttcili", false, "/s/{KW}/{P}-0-0.html", "utf-8", renderTtcili);

  SiteTemplate a8bt = htmlSite(18, "A8bt", true, "/a8/{KW}/{P}-0-0.html", "gbk", renderA8bt);
  a8bt.style.highlightOpen = "<b>";
  a8bt.style.highlightClose = "</b>";
  a8bt.style.splitHighlight = true;

  SiteTemplate btku = htmlSite(19, "BTKU", true, "/search-{KW}-0-0-{P}.html", "UTF-8", renderBtku);
  return {btdad, ttcili, a8bt, btku};
}

}  // namespace quenbo::simulator
