// The search routine of one site: its result pages from page 1 up to the page limit, each
// fetched, cut into hits and handed over, with a log line for every page and every way out.
#pragma once

#include "sites/site_channel.h"
#include "sites/site_plan.h"

namespace quenbo {

// Runs on the site's worker thread. It ends early when stop is requested (before a page or
// a hit), when its running flag is gone, when a page gives nothing, or when a JSON answer
// does not parse; on every way out it clears the running flag, after the last hand-over,
// and writes its closing line.
void runSiteAdapter(const SitePlan& plan, SiteChannel& channel);

// One page request as every adapter makes it: GET, the search's time-out, nothing else.
// Empty for an empty URL (a site without a host) and for every failure.
Text fetchPage(const Text& url, int timeoutSeconds);

}  // namespace quenbo
