// The search routine of one site: its result pages from page 1 up to the page limit, each
// fetched, cut into hits and handed over, with a log line for every page and every way out.
#pragma once

#include <functional>
#include <span>

#include "net/http_request.h"
#include "net/page_connection.h"
#include "sites/site_channel.h"
#include "sites/site_plan.h"

namespace quenbo::sites {

// What one page request gave: the page text and the request engine's status.
struct PageAnswer {
  Text body;        // empty on every failure
  int status = 0;   // the HTTP status, the engine's failure number (7xx), or 0 for neither
  Text statusText;  // "200 OK" or the engine's failure message (GBK); empty for no request
  int httpStatus = 0;  // the server's status code; 0 when no answer arrived
  Text contentType;    // the answer's Content-Type value; empty when it gave none
  net::EngineFailure failure = net::EngineFailure::none;  // why no whole answer came
};

// Why a site's run ended.
enum class SiteEnd {
  allPages,     // every page up to the limit was read
  stopped,      // stop, a closing window or a newer search
  released,     // its running flag was taken away
  noData,       // a page gave no item (a failed request among them)
  jsonFailed,   // an answer was not JSON
  pageTooLong,  // a page held more blocks than one page may give
  storeFull,    // the search holds as many hits as it may
};

// How a site's run ended, with the status of its last request.
struct SiteOutcome {
  SiteEnd end = SiteEnd::allPages;
  int pagesRequested = 0;
  PageAnswer lastPage;  // the body is not kept
  int hits = 0;         // hits cut from the pages
  // What kept the run from giving hits: noHost, noResults or a failure; done for nothing
  // (hits came, or the run was stopped).
  core::SiteState fault = core::SiteState::done;
  Text reason;  // the fault in words (GBK), as the report's reason; empty for none
  Text host;    // the host the pages came from (the mirror kept); empty without a host
};

// Runs on the site's worker thread, over one kept-alive connection unless the plan says
// otherwise. It ends early when stop is requested (before a page, a
// hit, or while a request runs: the request is abandoned and hands nothing on), when its
// running flag is gone, when a page gives nothing, when a JSON answer does not parse, or at
// a limit of memory; on every way out it clears the running flag, after the last
// hand-over, and writes its closing line.
// It reports through the channel as it goes: the page it is on, pages and hits, the mirror
// and, at its end, its final state and the reason. `mirrors` holds one plan per host of the
// site (at least one; a plan without base URL for a site without host). Page 1 is asked of
// them in turn, the one remembered for the site first, until one answers without a
// connection failure or a 5xx status; that one serves the later pages and is remembered for
// the process. Each switch writes one log line. The walk over several mirrors has twice the
// time-out in all: each mirror's request gets what is left, and the mirrors it leaves untried
// are named in one log line and in the site's reason.
SiteOutcome runSiteAdapter(std::span<const SitePlan> mirrors, SiteChannel& channel);
SiteOutcome runSiteAdapter(const SitePlan& plan, SiteChannel& channel);

// One page request as every adapter makes it: GET, the search's time-out, nothing else; the
// request is abandoned as soon as `abandon` says so (woken by `stopBell` when there is
// one). A run passes the connection it keeps from page to page; without one the request
// has a connection of its own. An empty URL (a site without a host) makes no request.
// `limitMs` above 0 ends the whole request after that long, whatever its time-out.
[[nodiscard]] PageAnswer fetchPage(const Text& url, int timeoutSeconds,
                                   std::function<bool()> abandon = {},
                                   net::PageConnection* connection = nullptr,
                                   StopBell* stopBell = nullptr, int limitMs = 0);

}  // namespace quenbo::sites
