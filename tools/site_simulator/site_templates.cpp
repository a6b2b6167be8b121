#include <algorithm>

#include "site_simulator/site_template.h"

namespace quenbo::simulator {

const std::vector<SiteTemplate>& siteTemplates() {
  static const std::vector<SiteTemplate> all = [] {
    std::vector<SiteTemplate> sites;
    for (auto group : {boxSiteTemplates, searchItemSiteTemplates, hashLinkSiteTemplates,
                       listSiteTemplates, jsonSiteTemplates}) {
      for (SiteTemplate& site : group()) sites.push_back(std::move(site));
    }
    std::sort(sites.begin(), sites.end(),
              [](const SiteTemplate& a, const SiteTemplate& b) { return a.index < b.index; });
    return sites;
  }();
  return all;
}

SiteTemplate htmlSite(int index, std::string_view label, bool tls, std::string_view urlPattern,
                      std::string_view charset, PageRenderer render) {
  SiteTemplate site;
  site.index = index;
  site.label = label;
  site.tls = tls;
  site.urlPattern = urlPattern;
  site.charset = charset;
  site.render = render;
  return site;
}

SiteTemplate jsonSite(int index, std::string_view label, SiteKind kind, SiteHost host, bool tls,
                      std::string_view urlPattern, PageRenderer render) {
  SiteTemplate site;
  site.index = index;
  site.label = label;
  site.kind = kind;
  site.host = host;
  site.tls = tls;
  site.urlPattern = urlPattern;
  site.render = render;
  site.style.htmlPage = false;
  return site;
}

std::string htmlDocument(std::string_view metaTag, std::string_view title, std::string_view body) {
  std::string out = "<!DOCTYPE html>\n<html>\n<head>\n";
  out.append(metaTag);
  out += "\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
  out.append(title);
  out += "</title>\n</head>\n<body>\n";
  out.append(body);
  out += "\n</body>\n</html>\n";
  return out;
}

FillValues itemFields(const SimulatedItem& item, const PageView& view, int n) {
  return {{"title", item.title},
          {"hash", item.infoHash},
          {"size", item.size},
          {"heat", item.heat},
          {"date", item.date},
          {"link", item.link},
          {"n", std::to_string(n)},
          {"id", std::to_string(view.page * 1000 + n)},
          {"kw", htmlEscape(view.keyword)},
          {"kwurl", view.encodedKeyword},
          {"host", view.markerHost}};
}

FillValues pageFields(const PageView& view) {
  return {{"kw", htmlEscape(view.keyword)},
          {"kwurl", view.encodedKeyword},
          {"page", std::to_string(view.page)},
          {"next", std::to_string(view.page + 1)},
          {"host", view.markerHost}};
}

std::string renderItems(std::string_view pagePattern, std::string_view itemPattern,
                        const PageView& view) {
  std::string items;
  int n = 0;
  for (const SimulatedItem& item : *view.items) {
    items += fillTemplate(itemPattern, itemFields(item, view, ++n));
  }
  FillValues fields = pageFields(view);
  fields.emplace_back("items", std::move(items));
  return fillTemplate(pagePattern, fields);
}

}  // namespace quenbo::simulator
