#include "sites/site_adapter.h"

#include <chrono>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "base/encoding.h"
#include "net/http_engine.h"
#include "sites/page_reader.h"
#include "sites/request_texts.h"
#include "sites/result_traces.h"
#include "sites/site_log.h"
#include "sites/site_mirrors.h"

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

// The number a status line starts with: "404" of "404 Not Found".
int statusNumber(const Text& statusText) {
  int number = 0;
  for (std::size_t i = 0; i < statusText.size() && i < 4; ++i) {
    char c = statusText[i];
    if (c < '0' || c > '9') break;
    number = number * 10 + (c - '0');
  }
  return number;
}

// The status line of a header block without its protocol version: "200 OK".
Text statusLineOf(const Text& headers) {
  std::size_t lineEnd = headers.find("\r\n");
  std::string_view line(headers.data(), lineEnd == Text::npos ? headers.size() : lineEnd);
  std::size_t blank = line.find(' ');
  return blank == std::string_view::npos ? Text() : Text(line.substr(blank + 1));
}

// The value of the last header line of that name (given in lower case) in the block.
Text lastHeaderValue(const Text& headers, std::string_view name) {
  Text value;
  std::size_t start = 0;
  while (start < headers.size()) {
    std::size_t end = headers.find("\r\n", start);
    if (end == Text::npos) end = headers.size();
    std::string_view line(headers.data() + start, end - start);
    std::size_t colon = line.find(':');
    if (colon != std::string_view::npos && lowerAscii(line.substr(0, colon)) == name) {
      std::string_view rest = line.substr(colon + 1);
      while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
      value = Text(rest);
    }
    start = end + 2;
  }
  return value;
}

}  // namespace

PageAnswer fetchPage(const Text& url, int timeoutSeconds, std::function<bool()> abandon,
                     PageConnection* connection, StopBell* stopBell) {
  if (url.empty()) return {};
  HttpRequest request;
  request.url = url;
  request.timeoutSeconds = timeoutSeconds;
  request.abandon = std::move(abandon);
  request.connection = connection;
  request.stopBell = stopBell;
  HttpResponse response;
  PageAnswer answer;
  answer.body = HttpEngine::execute(request, response);
  answer.statusText = std::move(response.statusText);
  answer.failure = response.failure;
  if (!response.headers.empty()) {
    answer.httpStatus = statusNumber(statusLineOf(response.headers));
    answer.contentType = lastHeaderValue(response.headers, "content-type");
  }
  answer.status = answer.failure != EngineFailure::none ? HttpEngine::failureNumber(answer.failure)
                                                        : answer.httpStatus;
  return answer;
}

namespace {

// The request failed or was cut off: no whole answer came from the server.
bool unanswered(const PageAnswer& answer) {
  return answer.httpStatus == 0 || answer.failure != EngineFailure::none;
}

bool successful(int httpStatus) { return httpStatus >= 200 && httpStatus <= 299; }

// A mirror that fails page 1 so is passed over for the next.
bool hostFailed(const PageAnswer& answer) {
  return unanswered(answer) || (answer.httpStatus >= 500 && answer.httpStatus <= 599);
}

// Why a page gave nothing, when the request is to blame; nothing when the answer was whole
// and successful.
std::optional<std::pair<SiteFault, Text>> requestFault(const PageAnswer& answer) {
  static const Text kNoAnswer = "无应答"_gbk;
  if (unanswered(answer)) {
    return std::pair{SiteFault::unreachable, answer.statusText.empty() ? kNoAnswer
                                                                        : answer.statusText};
  }
  if (!successful(answer.httpStatus)) return std::pair{SiteFault::httpError, answer.statusText};
  return std::nullopt;
}

Text jsonFailedReason(const PageAnswer& answer) {
  static const Text kJsonFailed = "JSON解析失败"_gbk;
  return answer.contentType.empty() ? kJsonFailed : kJsonFailed + "（"_gbk + answer.contentType +
                                                        "）"_gbk;
}

core::SiteState finalState(const SiteOutcome& outcome) {
  switch (outcome.end) {
    case SiteEnd::stopped:
    case SiteEnd::released:
      return core::SiteState::stopped;
    default:
      break;
  }
  switch (outcome.fault) {
    case SiteFault::none:
      return core::SiteState::done;
    case SiteFault::noHost:
      return core::SiteState::noHost;
    case SiteFault::noResults:
      return core::SiteState::noResults;
    default:
      return core::SiteState::failed;
  }
}

}  // namespace

SiteOutcome runSiteAdapter(const SitePlan& plan, SiteChannel& channel) {
  return runSiteAdapter(std::span<const SitePlan>(&plan, 1), channel);
}

SiteOutcome runSiteAdapter(std::span<const SitePlan> mirrors, SiteChannel& channel) {
  SiteOutcome outcome;
  if (mirrors.empty()) return outcome;
  const SiteRow& row = mirrors.front().row;
  const Text& label = row.logLabel;
  auto say = [&](const Text& message) { writeSiteLog(channel, label, message); };
  const bool stamped = takesTimeStamp(row);
  Text stamp;
  auto end = [&](SiteEnd why, const Text& message) {
    outcome.end = why;
    say(message);
    channel.clearRunning();
  };
  auto stopWanted = [&channel] { return channel.stopRequested(); };
  PageConnection connection(mirrors.front().reuseConnection);  // closed when the run ends

  std::vector<Text> hosts;
  for (const SitePlan& plan : mirrors) hosts.push_back(plan.host);
  const std::vector<std::size_t> order = mirrorOrder(row.index, hosts);
  std::size_t tried = 0;  // position in `order` of the mirror in use
  auto current = [&]() -> const SitePlan& { return mirrors[order[tried]]; };
  outcome.host = current().host;
  channel.report([&](core::SiteReport& r) {
    r.hitLabel = row.hitLabel;
    r.mirror = outcome.host;
  });

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
    channel.report([page](core::SiteReport& r) {
      r.state = core::SiteState::onPage;
      r.page = page;
    });

    PageAnswer answer;
    for (;;) {
      if (stamped) stamp = freshTimeStamp(stamp);
      answer = fetchPage(pageUrl(current(), channel.keyword(), page, stamp),
                         channel.timeoutSeconds(), stopWanted, &connection,
                         channel.stopBell());
      if (page != 1 || channel.stopRequested() || current().baseUrl.empty()) break;
      if (!hostFailed(answer)) {
        rememberMirror(row.index, current().host);
        break;
      }
      if (tried + 1 >= order.size()) break;
      const Text failed = current().host;
      ++tried;
      outcome.host = current().host;
      say(SiteLogMessages::mirrorSwitch(failed, requestFault(answer)->second, outcome.host));
      channel.report([&](core::SiteReport& r) { r.mirror = outcome.host; });
    }
    ++outcome.pagesRequested;
    outcome.lastPage = {Text(), answer.status, answer.statusText, answer.httpStatus,
                        answer.contentType, answer.failure};
    // A stop while the request ran: whatever it got is not handed on. The lines are those
    // of a stop noticed before the page's first hit.
    if (channel.stopRequested()) {
      end(SiteEnd::stopped, SiteLogMessages::manualStop());
      continue;
    }
    auto fault = current().baseUrl.empty()
                     ? std::optional(std::pair{SiteFault::noHost, "未配置主机"_gbk})
                     : requestFault(answer);
    // Past page 1 a site may answer "404 Not Found" where it has no more pages: that is the
    // end of its results, as an empty page is. A 5xx or no answer stays a failure.
    if (fault && page > 1 && fault->first == SiteFault::httpError && answer.httpStatus < 500) {
      fault.reset();
    }
    PageReader reader(current());
    PageVerdict verdict = reader.read(answer.body);
    int hitsOnPage = 0;
    bool storeFull = false;
    if (verdict == PageVerdict::items) {
      for (int item = 0; item < reader.itemCount() && !storeFull; ++item) {
        // A stop here leaves the rest of the page; the next page's check notices it again
        // and writes the stop line a second time, unless this was the last page.
        if (channel.stopRequested()) {
          say(SiteLogMessages::manualStop());
          channel.clearRunning();
          outcome.end = SiteEnd::stopped;
          break;
        }
        if (auto hit = reader.hit(item)) {
          ++hitsOnPage;
          storeFull = !channel.handOver(*hit);
        }
      }
    }
    outcome.hits += hitsOnPage;
    // Whether this page decides the site's fault: a failed request on any page, a page 1
    // that gave no hit. A later page that gives nothing is the end of the results.
    if (!fault && verdict == PageVerdict::jsonFailed) {
      fault = std::pair{SiteFault::jsonFailed, jsonFailedReason(answer)};
    }
    if (!fault && page == 1 && outcome.hits == 0) {
      bool changed = reader.listMissing() || holdsResultTraces(answer.body);
      fault = changed ? std::pair{SiteFault::layoutChanged, "页面结构可能已改变"_gbk}
                      : std::pair{SiteFault::noResults, Text()};
    }
    if (fault && (page == 1 || fault->first != SiteFault::noResults)) {
      outcome.fault = fault->first;
      outcome.reason = fault->second;
    }
    const bool answered = !unanswered(answer);
    channel.report([&](core::SiteReport& r) {
      if (answered) ++r.pagesFetched;
      r.hitsFound = outcome.hits;
      if (fault && fault->first != SiteFault::noResults) r.reason = fault->second;
    });
    if (verdict != PageVerdict::items) {
      end(verdict == PageVerdict::jsonFailed ? SiteEnd::jsonFailed : SiteEnd::noData,
          verdict == PageVerdict::jsonFailed ? SiteLogMessages::jsonFailed()
                                             : SiteLogMessages::noData());
      break;
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
  if (outcome.pagesRequested == 0 && mirrors.front().baseUrl.empty()) {
    outcome.fault = SiteFault::noHost;
    outcome.reason = "未配置主机"_gbk;
  }
  channel.report([&](core::SiteReport& r) {
    r.state = finalState(outcome);
    if (!outcome.reason.empty()) r.reason = outcome.reason;
  });
  channel.clearRunning();
  say(SiteLogMessages::finished());
  return outcome;
}

}  // namespace quenbo
