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

// The number a status text starts with: "404 Not Found" and "712 服务器未响应!" alike.
int statusNumber(const Text& statusText) {
  int number = 0;
  for (std::size_t i = 0; i < statusText.size() && i < 4; ++i) {
    char c = statusText[i];
    if (c < '0' || c > '9') break;
    number = number * 10 + (c - '0');
  }
  return number;
}

}  // namespace

PageAnswer fetchPage(const Text& url, int timeoutSeconds, std::function<bool()> abandon,
                     PageConnection* connection) {
  if (url.empty()) return {};
  HttpRequest request;
  request.url = url;
  request.timeoutSeconds = timeoutSeconds;
  request.abandon = std::move(abandon);
  request.connection = connection;
  HttpResponse response;
  PageAnswer answer;
  answer.body = HttpEngine::execute(request, response);
  answer.statusText = std::move(response.statusText);
  answer.status = statusNumber(answer.statusText);
  return answer;
}

SiteOutcome runSiteAdapter(const SitePlan& plan, SiteChannel& channel) {
  const Text& label = plan.row.logLabel;
  auto say = [&](const Text& message) { writeSiteLog(channel, label, message); };
  PageReader reader(plan);
  const bool stamped = takesTimeStamp(plan.row);
  Text stamp;
  SiteOutcome outcome;
  auto end = [&](SiteEnd why, const Text& message) {
    outcome.end = why;
    say(message);
    channel.clearRunning();
  };
  auto stopWanted = [&channel] { return channel.stopRequested(); };
  PageConnection connection(plan.reuseConnection);  // closed when the run ends

  const int pageLimit = channel.pageLimit();
  for (int page = 1; page <= pageLimit; ++page) {
    if (channel.stopRequested()) {
      end(SiteEnd::stopped, SiteLogMessages::manualStop());
      break;
    }
    if (!channel.running()) {
      outcome.end = SiteEnd::released;
      break;
    }
    say(SiteLogMessages::page(page));

    if (stamped) stamp = freshTimeStamp(stamp);
    Text url = pageUrl(plan, channel.keyword(), page, stamp);
    PageAnswer answer = fetchPage(url, channel.timeoutSeconds(), stopWanted, &connection);
    ++outcome.pagesRequested;
    outcome.lastPage = {Text(), answer.status, answer.statusText};
    // A stop while the request ran: whatever it got is not handed on. The lines are those
    // of a stop noticed before the page's first hit.
    if (channel.stopRequested()) {
      end(SiteEnd::stopped, SiteLogMessages::manualStop());
      continue;
    }
    PageVerdict verdict = reader.read(answer.body);
    if (verdict != PageVerdict::items) {
      end(verdict == PageVerdict::jsonFailed ? SiteEnd::jsonFailed : SiteEnd::noData,
          verdict == PageVerdict::jsonFailed ? SiteLogMessages::jsonFailed()
                                             : SiteLogMessages::noData());
      break;
    }
    bool storeFull = false;
    for (int item = 0; item < reader.itemCount() && !storeFull; ++item) {
      // A stop here leaves the rest of the page; the next page's check notices it again
      // and writes the stop line a second time, unless this was the last page.
      if (channel.stopRequested()) {
        say(SiteLogMessages::manualStop());
        channel.clearRunning();
        outcome.end = SiteEnd::stopped;
        break;
      }
      if (auto hit = reader.hit(item)) storeFull = !channel.handOver(*hit);
    }
    if (channel.stopRequested()) continue;
    if (storeFull) {
      end(SiteEnd::storeFull, SiteLogMessages::storeFull());
      break;
    }
    if (reader.cutShort()) {
      end(SiteEnd::pageTooLong, SiteLogMessages::pageTooLong());
      break;
    }
  }
  channel.clearRunning();
  say(SiteLogMessages::finished());
  return outcome;
}

}  // namespace quenbo
