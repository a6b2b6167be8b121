#include "sites/site_adapter.h"

#include <chrono>
#include <thread>

#include "net/http_engine.h"
#include "sites/page_reader.h"
#include "sites/request_texts.h"
#include "sites/site_log.h"

namespace quenbo {

namespace {

// The millisecond time stamp of a request: the clock's, but never the one the request
// before had, so that every request of a run carries a value of its own.
Text freshTimeStamp(const Text& previous) {
  Text stamp = unixTimeText(false);
  while (stamp == previous) {
    std::this_thread::sleep_for(std::chrono::microseconds(100));
    stamp = unixTimeText(false);
  }
  return stamp;
}

}  // namespace

Text fetchPage(const Text& url, int timeoutSeconds) {
  if (url.empty()) return {};
  HttpRequest request;
  request.url = url;
  request.timeoutSeconds = timeoutSeconds;
  HttpResponse response;
  return HttpEngine::execute(request, response);
}

void runSiteAdapter(const SitePlan& plan, SiteChannel& channel) {
  const Text& label = plan.row.logLabel;
  auto say = [&](const Text& message) { writeSiteLog(channel, label, message); };
  PageReader reader(plan);
  const bool stamped = takesTimeStamp(plan.row);
  Text stamp;

  const int pageLimit = channel.pageLimit();
  for (int page = 1; page <= pageLimit; ++page) {
    if (channel.stopRequested()) {
      say(SiteLogMessages::manualStop());
      channel.clearRunning();
      break;
    }
    if (!channel.running()) break;
    say(SiteLogMessages::page(page));

    if (stamped) stamp = freshTimeStamp(stamp);
    Text url = pageUrl(plan, channel.keyword(), page, stamp);
    PageVerdict verdict = reader.read(fetchPage(url, channel.timeoutSeconds()));
    if (verdict != PageVerdict::items) {
      say(verdict == PageVerdict::jsonFailed ? SiteLogMessages::jsonFailed()
                                             : SiteLogMessages::noData());
      channel.clearRunning();
      break;
    }
    for (int item = 0; item < reader.itemCount(); ++item) {
      // A stop here leaves the rest of the page; the next page's check notices it again
      // and writes the stop line a second time, unless this was the last page.
      if (channel.stopRequested()) {
        say(SiteLogMessages::manualStop());
        channel.clearRunning();
        break;
      }
      if (auto hit = reader.hit(item)) channel.handOver(*hit);
    }
  }
  channel.clearRunning();
  say(SiteLogMessages::finished());
}

}  // namespace quenbo
