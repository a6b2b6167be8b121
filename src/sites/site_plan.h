// A catalogue row made ready for one set of hosts: the scheme and host its URLs start with,
// and its markers with the host the site writes into its own links put in.
#pragma once

#include <vector>

#include "base/text.h"
#include "sites/site_catalogue.h"

namespace quenbo::sites {

class SiteHosts;

struct SitePlan {
  SiteRow row;   // a copy, its markers completed
  Text baseUrl;  // scheme and host; empty when the site has no host and is not requested
  Text host;     // the host as the hosts file names it (Skrbt's with its scheme)
  bool reuseConnection = true;  // a run keeps one connection from page to page
};

// The plan for the site's first host.
SitePlan planSite(int index, const SiteHosts& hosts);
// One plan per host of the site, in the order a run tries them; empty without a host.
std::vector<SitePlan> planMirrors(int index, const SiteHosts& hosts);

// The URL of page `page` for a GBK keyword: the base URL, then the row's path with the
// keyword percent-encoded in UTF-8, the page in decimal and `timeStamp` put in. Empty when
// the plan has no base URL.
Text pageUrl(const SitePlan& plan, const Text& keyword, int page, const Text& timeStamp = {});

// Whether the row's URLs carry a time stamp.
bool takesTimeStamp(const SiteRow& row);

}  // namespace quenbo::sites
