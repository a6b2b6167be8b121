// Sites whose result link carries the info hash in its path: Iheian, Renz, Btsow, FeiBt and
// 章鱼搜索.
#include "site_simulator/site_template.h"

namespace quenbo::simulator {
namespace {

constexpr std::string_view kIheianPage = R"(<div class="navbar"><a href="/">黑暗磁力</a></div>
<div class="container">
{items}</div>
<ul class="pagination"><li><a href="/search/{kwurl}/page-{next}.html">下一页</a></li></ul>)";
constexpr std::string_view kIheianItem = R"(<div class="search-item"><a href="/hash/{hash}.html" target="_blank"><h4><i class="icon-file"></i>&nbsp;{title}</h4></a><p>文件大小：{size}&nbsp;&nbsp;热度：{heat}&nbsp;&nbsp;创建时间： {date}&nbsp;</p><br />
</div>
)";

std::string renderIheian(const PageView& view) {
  return htmlDocument(R"(<meta charset="utf-8">)", "黑暗磁力",
                      renderItems(kIheianPage, kIheianItem, view));
}

// Renz writes its detail links with an upper-case ".HTML".
constexpr std::string_view kRenzPage = R"(<header><a href="/">人人磁力</a></header>
<main>
{items}</main>
<nav class="pages"><a href="/search/{kwurl}/page-{next}.html">下一页</a></nav>)";
constexpr std::string_view kRenzItem = R"(<article class="item"><div class="item-body"><a href="/hash/{hash}.HTML" target="_blank"><h4><span class="icon"></span>&nbsp; {title} </h4></a><p>文件大小：{size}&nbsp;热度：{heat}&nbsp;创建时间：{date}&nbsp;</p></div></article>
)";

std::string renderRenz(const PageView& view) {
  return htmlDocument(R"(<meta charset="utf-8">)", "人人磁力",
                      renderItems(kRenzPage, kRenzItem, view));
}

// Btsow writes absolute links with its own host, which its block marker contains.
constexpr std::string_view kBtsowPage = R"(<div class="search-header"><a href="https://{host}/">BTSOW</a></div>
<div class="data-list">
<div class="row hidden-xs"><div class="col-sm-8 col-lg-9 field">Name</div><div class="col-sm-2 col-lg-1 field text-right">Size</div><div class="col-sm-2 col-lg-2 field text-right">Convert Date</div></div>
{items}</div>
<ul class="pagination"><li><a href="https://{host}/search/{kwurl}/page/{next}">Next</a></li></ul>)";
constexpr std::string_view kBtsowItem = R"(<div class="row"><a href="https://{host}/magnet/detail/hash/{hash}" title="{title}"><div class="file">{title}</div></a><div class="size-date visible-xs-block">Size:{size} / Convert Date:{date}</div><div class="col-sm-2 col-lg-1 hidden-xs text-right size">{size}</div><div class="col-sm-2 col-lg-2 hidden-xs text-right date">{date}</div></div>
)";

std::string renderBtsow(const PageView& view) {
  return htmlDocument(R"(<meta charset="utf-8">)", "BTSOW",
                      renderItems(kBtsowPage, kBtsowItem, view));
}

constexpr std::string_view kFeiBtPage = R"(<div class="head"><a href="/zh-cn/">飞BT</a></div>
<div class="list">
{items}</div>
<div class="pager"><a href="/zh-cn/s/{next}/{kwurl}">下一页</a></div>)";
constexpr std::string_view kFeiBtItem = R"(<div class="item"><p><a href="/zh-cn/i/{hash}" target="_blank">{title}</a></p><p><span>创建时间：{date}</span> <span>资源大小：{size}</span></p></div>
)";

std::string renderFeiBt(const PageView& view) {
  return htmlDocument(R"(<meta charset="utf-8">)", "飞BT",
                      renderItems(kFeiBtPage, kFeiBtItem, view));
}

// 章鱼搜索 cuts each result up to the next "res-" class, so a "res-pager" follows the list.
constexpr std::string_view kZhangyuPage = R"(<div class="top"><a href="/">章鱼搜索</a></div>
<div class="list">
{items}</div>
<div class="res-pager"><a href="/s/{kwurl}/p/{next}.html">下一页</a></div>)";
constexpr std::string_view kZhangyuItem = R"(<div class="res-item"><h3><a href="/show/{id}.html" title="{title}">{title}</a></h3><div class="hashline">hash: {hash} </div><div class="meta"><em>{date}</em> <em>大小:{size}</em> <em>文件数:3</em></div></div>
)";

std::string renderZhangyu(const PageView& view) {
  return htmlDocument(R"(<meta charset="gbk" />)", "章鱼搜索",
                      renderItems(kZhangyuPage, kZhangyuItem, view));
}

}  // namespace

std::vector<SiteTemplate> hashLinkSiteTemplates() {
  SiteTemplate iheian = htmlSite(2, "Iheian", true, "/search/{KW}/page-{P}.html", "utf-8", renderIheian);

  SiteTemplate btsow = htmlSite(20, "Btsow", true, "/search/{KW}/page/{P}", "utf-8", renderBtsow);
  btsow.style.sizeForm = SizeForm::compact;
  btsow.style.lowerCaseUnits = true;
  btsow.style.upperCaseHash = true;
  btsow.style.heat = false;

  SiteTemplate renz = htmlSite(21, "Renz", true, "/search/{KW}/page-{P}.html", "utf-8", renderRenz);

  SiteTemplate feibt = htmlSite(22, "FeiBt", false, "/zh-cn/s/{P}/{KW}", "utf-8", renderFeiBt);
  feibt.style.sizeForm = SizeForm::compact;
  feibt.style.lowerCaseUnits = true;
  feibt.style.heat = false;

  SiteTemplate zhangyu = htmlSite(23, "章鱼搜索", true, "/s/{KW}/p/{P}.html", "gbk", renderZhangyu);
  zhangyu.style.heat = false;
  return {iheian, btsow, renz, feibt, zhangyu};
}

}  // namespace quenbo::simulator
