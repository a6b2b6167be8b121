// Sites built on "search-item" result boxes: Sobt, Wiki, Chazhongzi, BT樱桃, SXBTZZ.
#include "site_simulator/site_template.h"

namespace quenbo::simulator {
namespace {

constexpr std::string_view kSobtPage = R"(<div class="top"><a href="/">搜BT</a> <span>关键词：{kw}</span></div>
<div class="search-list">
{items}</div>
<div class="bottom-pager"><a href="/q/{kwurl}.html?sort=rel&amp;page={next}">下一页</a></div>)";
constexpr std::string_view kSobtItem = R"(<div class="search-item"><div class="item-title"><h3><a href="/torrent/{hash}.html" target="_blank"> {title} </a></h3></div><div class="item-list"><p>视频文件 {n}</p></div><div class="item-bar"><span>创建时间： <b>{date}</b></span><span>文件大小：<b class="cpill yellow-pill">{size}</b></span><span>下载热度：<b>{heat}</b></span><span>最近下载：<b>{date}</b></span></div></div>
)";

std::string renderSobt(const PageView& view) {
  return htmlDocument(
      R"(<meta http-equiv="Content-Type" content="text/html; charset=gb2312" />)", "搜BT",
      renderItems(kSobtPage, kSobtItem, view));
}

constexpr std::string_view kWikiPage = R"(<div class="header"><a href="/">磁力百科</a></div>
<div class="search-list">
{items}<div class="search-item-tips">没有更多了</div>
</div>
<div class="pager"><a href="/search/{kwurl}-{next}.html">下一页</a></div>)";
constexpr std::string_view kWikiItem = R"(<div class="search-item"><div class="item-title"><h3><a href="/magnet/{hash}.html" target="_blank">{title}</a></h3></div><div class="item-bar"><span>文件大小：<b class="cpill blue-pill">{size}</b></span><span>下载热度：<b>{heat}</b></span><span>创建时间：<b>{date}</b></span></div></div>
)";

std::string renderWiki(const PageView& view) {
  return htmlDocument(R"(<meta charset="utf-8" />)", "磁力百科",
                      renderItems(kWikiPage, kWikiItem, view));
}

constexpr std::string_view kChazhongziPage = R"(<div class="header"><a href="/">查种子</a></div>
<div class="search-list">
{items}</div>
<div class="pager"><a href="/go/{kwurl}/default/{next}">下一页</a></div>)";
constexpr std::string_view kChazhongziItem = R"(<div class="search-item"><div class="item-title"><h3><a title="在当前页面打开" href="/bt/{hash}?keyword={kwurl}">{title}</a></h3></div><div class="item-bar"><span>创建时间：<b>{date}</b></span><span>文件大小：<b>{size}</b></span><span>下载热度：<b>{heat}</b></span><span>最近下载：<b>{date}</b></span></div></div>
)";

std::string renderChazhongzi(const PageView& view) {
  return htmlDocument(R"(<meta charset="utf-8">)", "查种子",
                      renderItems(kChazhongziPage, kChazhongziItem, view));
}

// BT樱桃 cuts from one "/magnet/" to the next: the icon path before each title link starts a
// stretch without a link, and the "hot" link after the list closes the last result.
constexpr std::string_view kBtYingtaoPage = R"(<div class="header"><a href="/">BT樱桃</a></div>
<div class="search-list">
{items}</div>
<div class="hot">大家都在搜：<a href="/magnet/hot">热门资源</a></div>
<div class="pager"><a href="/search/{kwurl}-{next}.html">下一页</a></div>)";
constexpr std::string_view kBtYingtaoItem = R"(<div class="search-item"><span class="ico"><img src="/magnet/ico/video.png" alt=""></span><h3><a href="/magnet/{hash}.html" target="_blank">{title}</a></h3><div class="item-bar"><span>文件大小：<b>{size}</b></span><span>下载热度：<b>{heat}</b></span><span>创建时间：<b>{date} </b></span></div></div>
)";

std::string renderBtYingtao(const PageView& view) {
  return htmlDocument(R"(<meta charset="utf-8">)", "BT樱桃",
                      renderItems(kBtYingtaoPage, kBtYingtaoItem, view));
}

constexpr std::string_view kSxbtzzPage = R"(<div class="header"><a href="/">SXBTZZ</a></div>
<div class="search-list">
{items}</div>
<div class="pager"><a href="/search/{kwurl}/default-{next}.html">下一页</a></div>)";
constexpr std::string_view kSxbtzzItem = R"(<div class="search-item"><div class="item-title"><h3><a href="/hash/{hash}.html" title="{title}" target="_blank">{title}</a></h3></div><div class="item-bar"><span>文件大小：<b class="cpill">{size}</b></span><span>下载热度：<b>{heat}</b></span><span>创建时间：<b> {date}</b></span><a class="down" href="magnet:?xt=urn:btih:{hash}&amp;dn={n}">磁力链接</a></div></div>
)";

std::string renderSxbtzz(const PageView& view) {
  return htmlDocument(R"(<meta charset="utf-8">)", "SXBTZZ",
                      renderItems(kSxbtzzPage, kSxbtzzItem, view));
}

}  // namespace

std::vector<SiteTemplate> searchItemSiteTemplates() {
  SiteTemplate sobt = htmlSite(5, "Sobt", false, "/q/{KW}.html?sort=rel&page={P}", "gb2312", renderSobt);
  sobt.style.highlightOpen = "<em>";
  sobt.style.highlightClose = "</em>";

  SiteTemplate wiki = htmlSite(6, "Wiki", true, "/search/{KW}-{P}.html", "utf-8", renderWiki);
  wiki.style.highlightOpen = "<b>";
  wiki.style.highlightClose = "</b>";

  SiteTemplate chazhongzi =
      htmlSite(8, "Chazhongzi", true, "/go/{KW}/default/{P}", "utf-8", renderChazhongzi);

  SiteTemplate yingtao = htmlSite(9, "BT樱桃", true, "/search/{KW}-{P}.html", "utf-8", renderBtYingtao);
  yingtao.style.highlightOpen = "<b>";
  yingtao.style.highlightClose = "</b>";

  // Its sizes carry a no-break space, which arrives in GBK as "?".
  SiteTemplate sxbtzz =
      htmlSite(17, "SXBTZZ", true, "/search/{KW}/default-{P}.html", "utf-8", renderSxbtzz);
  sxbtzz.style.sizeForm = SizeForm::noBreakSpace;
  return {sobt, wiki, chazhongzi, yingtao, sxbtzz};
}

}  // namespace quenbo::simulator
