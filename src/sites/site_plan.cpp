#include "sites/site_plan.h"

#include <string>

#include "sites/request_texts.h"
#include "sites/site_hosts.h"

namespace quenbo::sites {

namespace {

// Every `token` of `text` becomes `value`.
void putIn(Text& text, std::string_view token, std::string_view value) {
  for (std::size_t at = text.find(token); at != Text::npos;
       at = text.find(token, at + value.size())) {
    text.replace(at, token.size(), value);
  }
}

}  // namespace

namespace {

SitePlan planForHost(int index, const SiteHosts& hosts, const Text& host) {
  SitePlan plan{SiteCatalogue::row(index), hosts.baseUrl(index, host), host,
                hosts.reuseConnections()};
  Text markerHost = hosts.markerHost(index, host);
  putIn(plan.row.cut.left, kMarkerHostToken, markerHost);
  putIn(plan.row.link.left, kMarkerHostToken, markerHost);
  return plan;
}

}  // namespace

SitePlan planSite(int index, const SiteHosts& hosts) {
  std::vector<Text> all = hosts.hosts(index);
  return planForHost(index, hosts, all.empty() ? Text() : all.front());
}

std::vector<SitePlan> planMirrors(int index, const SiteHosts& hosts) {
  std::vector<SitePlan> plans;
  for (const Text& host : hosts.hosts(index)) plans.push_back(planForHost(index, hosts, host));
  return plans;
}

bool takesTimeStamp(const SiteRow& row) {
  return row.path.find(kTimeToken) != std::string_view::npos;
}

Text pageUrl(const SitePlan& plan, const Text& keyword, int page, const Text& timeStamp) {
  if (plan.baseUrl.empty()) return {};
  Text url = plan.baseUrl + Text(plan.row.path);
  putIn(url, kKeywordToken, urlEncode(keyword, true, true));
  putIn(url, kPageToken, std::to_string(page));
  putIn(url, kTimeToken, timeStamp);
  return url;
}

}  // namespace quenbo::sites
