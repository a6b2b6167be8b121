#include "sites/site_catalogue.h"

#include "base/encoding.h"

namespace quenbo::sites {

namespace {

constexpr std::string_view kHttp = "http://";
constexpr std::string_view kHttps = "https://";
constexpr std::string_view kInfoHashLink = "magnet:?xt=urn:btih:";

// One site's adapter data as written below, all texts in UTF-8; `label` names its row of the
// site table.
struct RowSource {
  std::string_view label{};
  SiteKind kind = SiteKind::html;
  HostSource host = HostSource::own;
  std::string_view scheme{};
  std::string_view path{};
  std::string_view cutLeft{}, cutRight{}, cutPrefix{}, cutSuffix{};
  std::string_view linkPrefix{};
  FieldRule title{}, link{}, size{}, heat{}, date{};
  std::string_view hitLabel{};  // empty: the label
};

SiteRow makeRow(int index, RowSource source) {
  const core::SiteEntry& site = core::kSites[static_cast<std::size_t>(index)];
  SiteRow row;
  row.index = index;
  row.label = site.label;
  row.logLabel = utf8ToGbk(site.label);
  row.hitLabel = utf8ToGbk(source.hitLabel.empty() ? site.label : source.hitLabel);
  row.shown = site.shown;
  row.kind = source.kind;
  row.host = source.host;
  row.scheme = source.scheme;
  row.path = source.path;
  row.cut = {utf8ToGbk(source.cutLeft), utf8ToGbk(source.cutRight), utf8ToGbk(source.cutPrefix),
             utf8ToGbk(source.cutSuffix)};
  row.linkPrefix = utf8ToGbk(source.linkPrefix);
  if (source.kind == SiteKind::resultListJson) row.itemList = "data.results";
  if (source.kind == SiteKind::dataListJson) row.itemList = "data.data";
  row.title = std::move(source.title);
  row.link = std::move(source.link);
  row.size = std::move(source.size);
  row.heat = std::move(source.heat);
  row.date = std::move(source.date);
  return row;
}

// The sites of the two shared JSON search APIs differ only in their source name, their sort
// order and a few field rules.
RowSource apiSite(std::string_view label, HostSource host, std::string_view path) {
  return {.label = label,
          .kind = SiteKind::resultListJson,
          .host = host,
          .scheme = host == HostSource::apiA ? kHttps : kHttp,
          .path = path,
          .title = member(".name"),
          .link = member(".magnet"),
          .size = member(".formatSize"),
          .heat = member(".hot"),
          .date = member(".date")};
}

std::vector<SiteRow> buildRows();

}  // namespace

const std::vector<SiteRow>& SiteCatalogue::rows() {
  static const std::vector<SiteRow> rows = buildRows();
  return rows;
}

namespace {

// Sizes written as 1.5GB get a space before the unit.
FieldStep spaceBeforeGb() {
  return replace("GB", " GB");
}
FieldStep spaceBeforeMb() {
  return replace("MB", " MB");
}
FieldStep spaceBeforeKb() {
  return replace("KB", " KB");
}

std::vector<SiteRow> buildRows() {
  std::vector<RowSource> sources;
  sources.push_back({.label = "Btdad",
                   .scheme = kHttp,
                   .path = "/search-{KW}-0-0-{P}.html",
                   .cutLeft = "/span><a href=",
                   .cutRight = "<div class=\"ssbox\">",
                   .linkPrefix = "magnet:",
                   .title = between("target=\"_blank\">", "</a></h3>",
                                    {remove("<span class=\"red\">"), remove("</span>"), trim()}),
                   .link = between("magnet:", "\""),
                   .size = between("<span>大小:", "</b></span>", {afterLast("\">")}),
                   .heat = between("热度:<b>", "</b><"),
                   .date = between("添加时间:<b>", "</b><")});
  sources.push_back({.label = "Ttcili",
                   .scheme = kHttp,
                   .path = "/s/{KW}/{P}-0-0.html",
                   .cutLeft = "<h3><a target=",
                   .cutRight = "详细信息</a>",
                   .linkPrefix = "magnet:",
                   .title = between("title=\"", "\" class="),
                   .link = between("magnet:", "\""),
                   .size = between("hashlength\">", "</span>"),
                   .heat = between("icon-redu\">", "</i>"),
                   .date = between("收录时间:", "</span>", {trim()})});
  sources.push_back({.label = "Iheian",
                   .scheme = kHttps,
                   .path = "/search/{KW}/page-{P}.html",
                   .cutLeft = "/hash/",
                   .cutRight = "<br />",
                   .cutPrefix = "/hash/",
                   .cutSuffix = "<br />",
                   .linkPrefix = kInfoHashLink,
                   .title = between("&nbsp;", "</h4></a><p>"),
                   .link = between("/hash/", ".html"),
                   .size = between("文件大小：", "&nbsp"),
                   .heat = between("热度：", "&nbsp"),
                   .date = between("创建时间：", "&nbsp", {trim()})});
  sources.push_back({.label = "Ciliwang",
                   .kind = SiteKind::jsonCutAsText,
                   .scheme = kHttps,
                   .path = "/search?keyword={KW}&sort=hot&page={P}&mode=1&_={T}",
                   .cutLeft = "name\":\"",
                   .cutRight = "highlight",
                   .cutPrefix = "name",
                   .linkPrefix = kInfoHashLink,
                   .title = betweenIgnoringCase("name", "\","),
                   .link = between("magnet:?xt=urn:btih:", "\","),
                   .size = between("file_size\":\"", "\",",
                                   {replace("未知", "1.00MB"), spaceBeforeKb(), spaceBeforeMb(),
                                    replace("G", " GB")}),
                   .heat = between("hot\":", ",\""),
                   .date = between("time\":\"", "\",")});
  sources.push_back({.label = "Ciliguo",
                   .scheme = kHttps,
                   .path = "/search?q={KW}&p={P}",
                   .cutLeft = "href=\"/h/",
                   .cutRight = "</small></div></div></div></div></div></div>",
                   .cutPrefix = "/h/",
                   .cutSuffix = "/mw/",
                   .linkPrefix = kInfoHashLink,
                   .title = betweenIgnoringCase(
                       "><span", "</span></a>",
                       {remove("data-v-3317d8cf>"), remove("</span>"), remove("<span style='"),
                        remove("color:#dc3545'>"), trimFullWidth()}),
                   .link = between("magnet:?xt=urn:btih:", "\""),
                   .size = between("文件大小：", "</span>", {afterLast(">")}),
                   .heat = between("人气：", "</span>", {afterLast(">")}),
                   .date = between("更新时间：", "</span>", {afterLast(">")})});
  sources.push_back({.label = "Sobt",
                   .scheme = kHttp,
                   .path = "/q/{KW}.html?sort=rel&page={P}",
                   .cutLeft = "/torrent",
                   .cutRight = "b></span></div></div",
                   .linkPrefix = kInfoHashLink,
                   .title = between("_blank\">", "</a></h3></div><div",
                                    {remove("</em>"), remove("<em>"), trim()}),
                   .link = between("/", ".html\" target="),
                   .size = between("文件大小：<b", "/b>", {within(">", "<")}),
                   .heat = between("下载热度：<b>", "</"),
                   .date = between("创建时间： <b>", "</b></", {trim()})});
  sources.push_back({.label = "Wiki",
                   .scheme = kHttps,
                   .path = "/search/{KW}-{P}.html",
                   .cutLeft = "/magnet/",
                   .cutRight = "search-item",
                   .cutPrefix = "/magnet/",
                   .linkPrefix = kInfoHashLink,
                   .title = between("_blank\">", "</a></h3>", {remove("<b>"), remove("</b>")}),
                   .link = between("/magnet/", ".html"),
                   .size = between("blue-pill\">", "</b>"),
                   .heat = between("下载热度：<b>", "</b>"),
                   .date = between("创建时间：<b>", "</b></span>")});
  sources.push_back(
      {.label = "磁小鸭",
       .kind = SiteKind::dataListJson,
       .scheme = kHttps,
       .path = "/search?keyword={KW}&sort=hot&page={P}&mode=1&_={T}",
       .title = member(".name"),
       .link = member(".uri"),
       .size = member("['file_size']", {replaceIfEqual("未知", "1.00MB"), spaceBeforeKb(),
                                        spaceBeforeMb(), replace("G", " GB")}),
       .heat = memberAsJson(".hot"),
       .date = member(".time"),
       .hitLabel = "磁力鸭"});
  sources.push_back({.label = "Chazhongzi",
                   .scheme = kHttps,
                   .path = "/go/{KW}/default/{P}",
                   .cutLeft = "在当前页面打开\"",
                   .cutRight = "最近下载：<b>",
                   .linkPrefix = kInfoHashLink,
                   .title = between(">", "</a>"),
                   .link = between("href=\"/bt/", "?keyword"),
                   .size = between("文件大小：<b>", "</b>"),
                   .heat = between("下载热度：<b>", "</b>"),
                   .date = between("创建时间：<b>", "</b>")});
  // Its left and right markers are the same: every stretch between two of them is a block.
  sources.push_back({.label = "BT樱桃",
                   .scheme = kHttps,
                   .path = "/search/{KW}-{P}.html",
                   .cutLeft = "/magnet/",
                   .cutRight = "/magnet/",
                   .cutPrefix = "magnet/",
                   .linkPrefix = kInfoHashLink,
                   .title = between("_blank\">", "</a></h3>", {remove("<b>"), remove("</b>")}),
                   .link = between("magnet/", ".html"),
                   .size = between("文件大小：", "</b></span>", {afterLast(">")}),
                   .heat = between("下载热度：", "</b></span>", {afterLast(">")}),
                   .date = between("创建时间：", "</b></span>", {trim(), afterLast(">")})});
  sources.push_back(apiSite("种子搜", HostSource::apiA,
                          "/api/search?source=%E7%A7%8D%E5%AD%90%E6%90%9C&keyword={KW}"
                          "&page={P}&sort=time"));
  sources.push_back(
      apiSite("BT蚂蚁", HostSource::apiA,
              "/api/search?source=BT%E8%9A%82%E8%9A%81&keyword={KW}&page={P}&sort=time"));
  sources.push_back(apiSite("Torrentz", HostSource::apiA,
                          "/api/search?source=Torrentz2&keyword={KW}&page={P}&sort=time"));
  sources.push_back(apiSite("磁力果", HostSource::apiB,
                          "/api/search?source=%E7%A3%81%E5%8A%9B%E6%9E%9C&keyword={KW}"
                          "&page={P}&sort=default"));
  sources.push_back(apiSite("Kickass", HostSource::apiB,
                          "/api/search?source=KickassTorrents&keyword={KW}&page={P}&sort=default"));
  sources.back().heat = fixed("-1");
  sources.back().date = fixed("无");
  // Its scheme comes with its host.
  sources.push_back({.label = "Skrbt",
                   .path = "/search?keyword={KW}&s=relevance&p={P}",
                   .cutLeft = "list-unstyled",
                   .cutRight = "result-resource-file",
                   .linkPrefix = kInfoHashLink,
                   .title = between("title=\"", "\" target"),
                   .link = between("/detail/", "\"", {afterLast("/")}),
                   .size = between("文件大小:", "</span>", {afterLast("\">")}),
                   .heat = between("热度:", "</span>", {afterLast("\">")}),
                   .date = between("收录时间:", "</span>", {afterLast("\">")})});
  sources.push_back({.label = "Monova",
                   .scheme = kHttps,
                   .path = "/search?term={KW}&cat=&sort=1&verified=0&page={P}",
                   .cutLeft = "torrent_name\">",
                   .cutRight = "desktop",
                   .linkPrefix = kInfoHashLink,
                   .title = between("\">", "</a>", {afterLastIfFound("</span>")}),
                   .link = between("//{host}/", "\""),
                   .size = between("center-align\">", "</td>"),
                   .heat = fixed("-1"),
                   .date = fixed("无")});
  // Its pages are UTF-8 with a no-break space in the size, which arrives in GBK as "?".
  sources.push_back(
      {.label = "SXBTZZ",
       .scheme = kHttps,
       .path = "/search/{KW}/default-{P}.html",
       .cutLeft = "item-title",
       .cutRight = ">磁力链接<",
       .linkPrefix = kInfoHashLink,
       .title = between("title=\"", "\""),
       .link = between("magnet:?xt=urn:btih:", "&"),
       .size = between("文件大小：<b", "</b></span>", {afterLast(">"), replace("?", " ")}),
       .heat = between("下载热度：<b>", "</b></span>"),
       .date = between("创建时间：<b>", "</b></span>", {trim()})});
  sources.push_back({.label = "A8bt",
                   .scheme = kHttps,
                   .path = "/a8/{KW}/{P}-0-0.html",
                   .cutLeft = "<dl class='item'>",
                   .cutRight = "下载BT种子",
                   .linkPrefix = kInfoHashLink,
                   .title = between("target='_blank'>", "</a></dt>",
                                    {remove("<b>"), remove("</b><b>"), remove("</b>"), trim()}),
                   .link = between("href='/bt/", ".html"),
                   .size = between("文件大小:<b>", "</b>"),
                   .heat = between("人气:<b>", "</b>"),
                   .date = between("收录时间:<b>", "</b>")});
  sources.push_back({.label = "BTKU",
                   .scheme = kHttps,
                   .path = "/search-{KW}-0-0-{P}.html",
                   .cutLeft = "<dt><span class=",
                   .cutRight = "磁力链接",
                   .linkPrefix = kInfoHashLink,
                   .title = between("><span>", "</span>", {trim()}),
                   .link = between("magnet:?xt=urn:btih:", "\""),
                   .size = between("文档大小:", "</span>"),
                   .heat = between("人气:<b>", "</b>"),
                   .date = between("收录时间:<b>", "</b>")});
  sources.push_back(
      {.label = "Btsow",
       .scheme = kHttps,
       .path = "/search/{KW}/page/{P}",
       .cutLeft = "https://{host}/magnet/detail/hash/",
       .cutRight = "hidden-xs",
       .cutPrefix = "hash/",
       .linkPrefix = kInfoHashLink,
       .title = between("title=\"", "\""),
       .link = between("hash/", "\""),
       .size = between("Size:", " /", {spaceBeforeGb(), spaceBeforeMb(), spaceBeforeKb()}),
       .heat = fixed("-1"),
       .date = between("Date:", "</div>")});
  sources.push_back({.label = "Renz",
                   .scheme = kHttps,
                   .path = "/search/{KW}/page-{P}.html",
                   .cutLeft = "/hash/",
                   .cutRight = "</p></div></article>",
                   .cutPrefix = "hash/",
                   .linkPrefix = kInfoHashLink,
                   .title = between("</span>&nbsp;", "</h4></a><p>", {trim()}),
                   .link = betweenIgnoringCase("hash/", ".html"),
                   .size = between("文件大小：", "&"),
                   .heat = between("热度：", "&"),
                   .date = between("创建时间：", "&")});
  // The page number comes before the keyword; the "*****" put after every block ends its size.
  sources.push_back(
      {.label = "FeiBt",
       .scheme = kHttp,
       .path = "/zh-cn/s/{P}/{KW}",
       .cutLeft = "/zh-cn/i/",
       .cutRight = "</span></p>",
       .cutPrefix = "/zh-cn/i/",
       .cutSuffix = "*****",
       .linkPrefix = kInfoHashLink,
       .title = between(">", "</a></p><p>"),
       .link = between("/zh-cn/i/", "\""),
       .size = between("资源大小：", "*****", {spaceBeforeGb(), spaceBeforeMb(), spaceBeforeKb()}),
       .heat = fixed("-1"),
       .date = between("创建时间：", "</span>")});
  sources.push_back({.label = "章鱼搜索",
                   .scheme = kHttps,
                   .path = "/s/{KW}/p/{P}.html",
                   .cutLeft = "/show/",
                   .cutRight = "res-",
                   .cutPrefix = "/show/",
                   .cutSuffix = "*****",
                   .linkPrefix = kInfoHashLink,
                   .title = between("title=\"", "\">"),
                   .link = between("hash:", "</div>", {trim()}),
                   .size = between("大小:", "</em>"),
                   .heat = fixed("-1"),
                   .date = between("<em>", "</em> <em>")});
  sources.push_back(apiSite("Sunyaa", HostSource::apiA,
                          "/api/search?source=Sukebei+Nyaa&keyword={KW}&page={P}&sort=time"));
  // Trackers and display name are cut off; a link without them is not taken.
  sources.back().link = member(".magnet", {before("&")});
  sources.push_back(apiSite("idopea", HostSource::apiA,
                          "/api/search?source=idope&keyword={KW}&page={P}&sort=time"));
  sources.back().title = member(".name", {remove(" ")});
  sources.back().size = member(".formatSize", {remove(" "), replace("?", " ")});
  sources.back().heat = fixed("-1");
  sources.back().date = member(".date", {remove("          "), remove("         ")});

  // Each row goes to its site's place; a site without adapter data keeps an empty row,
  // which the catalogue's tests reject.
  std::vector<SiteRow> rows(core::kSites.size());
  for (RowSource& source : sources) {
    auto index = core::siteIndex(source.label);
    if (index) rows[static_cast<std::size_t>(*index)] = makeRow(*index, std::move(source));
  }
  return rows;
}

}  // namespace

}  // namespace quenbo::sites
