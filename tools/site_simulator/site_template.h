// One simulated site: its label, how it is reached, the form of its URLs and how it writes a
// result page. Each template is written by hand from the site's markup, apart from any table
// the search adapters use, so that a marker typed wrong on either side makes a test fail.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "site_simulator/page_text.h"
#include "site_simulator/site_content.h"

namespace quenbo::simulator {

enum class SiteKind { html, resultListJson, dataListJson, jsonCutAsText };

// Which server a site lives on: its own, or one of the two shared JSON search APIs.
enum class SiteHost { own, apiA, apiB };

// What a template needs to write one answer.
struct PageView {
  std::string keyword;         // decoded, UTF-8 when the client encoded UTF-8
  std::string encodedKeyword;  // as it came in the URL
  int page = 1;
  const std::vector<SimulatedItem>* items = nullptr;  // empty past the last page
  std::string markerHost;   // the host the site writes into its own links
  bool withoutList = false;  // JSON sites: leave the item list out of the answer
};

using PageRenderer = std::string (*)(const PageView&);

struct SiteTemplate {
  int index = 0;          // the site's place in the catalogue, 0 to 25
  std::string_view label;  // UTF-8, as the hosts file spells it
  SiteKind kind = SiteKind::html;
  SiteHost host = SiteHost::own;
  bool tls = false;
  std::string_view urlPattern;  // path and query, see url_pattern.h
  std::string_view charset;     // the page's declared character set; "gbk"/"gb2312" pages are sent in GBK
  ContentStyle style;
  PageRenderer render = nullptr;  // the whole answer body in UTF-8
};

// A template with the default content style, for the group files to adjust.
SiteTemplate htmlSite(int index, std::string_view label, bool tls, std::string_view urlPattern,
                      std::string_view charset, PageRenderer render);
SiteTemplate jsonSite(int index, std::string_view label, SiteKind kind, SiteHost host, bool tls,
                      std::string_view urlPattern, PageRenderer render);

// The 26 sites in catalogue order.
const std::vector<SiteTemplate>& siteTemplates();

// The groups the list is made of, one per file of similar sites.
std::vector<SiteTemplate> boxSiteTemplates();         // Btdad, Ttcili, A8bt, BTKU
std::vector<SiteTemplate> searchItemSiteTemplates();  // Sobt, Wiki, Chazhongzi, BT樱桃, SXBTZZ
std::vector<SiteTemplate> hashLinkSiteTemplates();    // Iheian, Renz, Btsow, FeiBt, 章鱼搜索
std::vector<SiteTemplate> listSiteTemplates();        // Ciliguo, Skrbt, Monova
std::vector<SiteTemplate> jsonSiteTemplates();        // Ciliwang, 磁小鸭 and the API sites

// An HTML document whose head starts with `metaTag`, so the character set is declared within
// the first bytes of the page.
std::string htmlDocument(std::string_view metaTag, std::string_view title, std::string_view body);

// The fields of one item for fillTemplate: {title} {hash} {size} {heat} {date} {link}, plus
// {n} (1-based place on the page), {id} (a number unique to the item), {kw}, {kwurl}, {host}.
FillValues itemFields(const SimulatedItem& item, const PageView& view, int n);

// {kw} (HTML-escaped keyword), {kwurl} (as encoded in the URL), {page}, {host}.
FillValues pageFields(const PageView& view);

// Fills `itemPattern` once per item and puts the joined result into `pagePattern` as {items}.
std::string renderItems(std::string_view pagePattern, std::string_view itemPattern,
                        const PageView& view);

}  // namespace quenbo::simulator
