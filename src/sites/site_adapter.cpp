#include "sites/site_adapter.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "base/encoding.h"
#include "net/header_text.h"
#include "net/http_engine.h"
#include "sites/page_reader.h"
#include "sites/request_texts.h"
#include "sites/result_traces.h"
#include "sites/site_log.h"
#include "sites/site_mirrors.h"

namespace quenbo::sites {

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

}  // namespace

PageAnswer fetchPage(const Text& url, int timeoutSeconds, std::function<bool()> abandon,
                     net::PageConnection* connection, StopBell* stopBell, int limitMs) {
  if (url.empty()) return {};
  net::HttpRequest request;
  request.url = url;
  request.timeoutSeconds = timeoutSeconds;
  request.limitMs = limitMs;
  request.abandon = std::move(abandon);
  request.connection = connection;
  request.stopBell = stopBell;
  net::HttpResponse response;
  PageAnswer answer;
  answer.body = net::HttpEngine::execute(request, response);
  answer.statusText = std::move(response.statusText);
  answer.failure = response.failure;
  if (!response.headers.empty()) {
    answer.httpStatus = statusNumber(statusLineOf(response.headers));
    answer.contentType = net::answerHeader(response.headers, "Content-Type").value_or(Text());
  }
  answer.status = answer.failure != net::EngineFailure::none ? net::HttpEngine::failureNumber(answer.failure)
                                                        : answer.httpStatus;
  return answer;
}

namespace {

// The request failed or was cut off: no whole answer came from the server.
bool unanswered(const PageAnswer& answer) {
  return answer.httpStatus == 0 || answer.failure != net::EngineFailure::none;
}

bool successful(int httpStatus) { return httpStatus >= 200 && httpStatus <= 299; }

// A mirror that fails page 1 so is passed over for the next.
bool hostFailed(const PageAnswer& answer) {
  return unanswered(answer) || (answer.httpStatus >= 500 && answer.httpStatus <= 599);
}

// Why a page gave nothing, when the request is to blame; nothing when the answer was whole
// and successful.
std::optional<std::pair<core::SiteState, Text>> requestFault(const PageAnswer& answer) {
  static const Text kNoAnswer = "无应答"_gbk;
  if (unanswered(answer)) {
    return std::pair{core::SiteState::unreachable, answer.statusText.empty() ? kNoAnswer
                                                                        : answer.statusText};
  }
  if (!successful(answer.httpStatus)) return std::pair{core::SiteState::httpError, answer.statusText};
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
  return outcome.fault;
}

}  // namespace

SiteOutcome runSiteAdapter(const SitePlan& plan, SiteChannel& channel) {
  return runSiteAdapter(std::span<const SitePlan>(&plan, 1), channel);
}

namespace {

using Fault = std::pair<core::SiteState, Text>;

// Milliseconds a mirror needs at least to be worth asking in what is left of a walk.
constexpr long long kShortestTry = 100;

// One run of a site's pages: the loop of runSiteAdapter, cut at its steps.
class PageLoop final {
 public:
  PageLoop(std::span<const SitePlan> mirrors, SiteChannel& channel)
      : mirrors_(mirrors),
        channel_(channel),
        row_(mirrors.front().row),
        stamped_(takesTimeStamp(row_)),
        connection_(mirrors.front().reuseConnection) {
    std::vector<Text> hosts;
    for (const SitePlan& plan : mirrors) hosts.push_back(plan.host);
    order_ = mirrorOrder(row_.index, hosts);
  }

  SiteOutcome run() {
    outcome_.host = current().host;
    channel_.report([&](core::SiteReport& r) {
      r.hitLabel = row_.hitLabel;
      r.mirror = outcome_.host;
    });
    const int pageLimit = channel_.pageLimit();
    for (int page = 1; page <= pageLimit; ++page) {
      if (!readPage(page)) break;
    }
    if (outcome_.pagesRequested == 0 && mirrors_.front().baseUrl.empty()) {
      outcome_.fault = core::SiteState::noHost;
      outcome_.reason = core::noHostText();
    }
    channel_.report([&](core::SiteReport& r) {
      r.state = finalState(outcome_);
      if (!outcome_.reason.empty()) r.reason = outcome_.reason;
    });
    channel_.clearRunning();
    say(SiteLogMessages::finished());
    return outcome_;
  }

 private:
  const SitePlan& current() const { return mirrors_[order_[tried_]]; }
  void say(const Text& message) { writeSiteLog(channel_, row_.logLabel, message); }
  void end(SiteEnd why, const Text& message) {
    outcome_.end = why;
    say(message);
    channel_.clearRunning();
  }

  // One page: fetched, cut, handed over and judged. Whether the loop goes on.
  bool readPage(int page) {
    if (channel_.stopRequested()) {
      end(SiteEnd::stopped, SiteLogMessages::manualStop());
      return false;
    }
    if (!channel_.running()) {
      outcome_.end = SiteEnd::released;
      return false;
    }
    say(SiteLogMessages::page(page));
    channel_.report([page](core::SiteReport& r) {
      r.state = core::SiteState::onPage;
      r.page = page;
    });
    PageAnswer answer = fetch(page);
    ++outcome_.pagesRequested;
    outcome_.lastPage = {Text(), answer.status, answer.statusText, answer.httpStatus,
                         answer.contentType, answer.failure};
    // A stop while the request ran: whatever it got is not handed on. The lines are those
    // of a stop noticed before the page's first hit.
    if (channel_.stopRequested()) {
      end(SiteEnd::stopped, SiteLogMessages::manualStop());
      return true;
    }
    std::optional<Fault> fault = current().baseUrl.empty()
                                     ? std::optional(Fault{core::SiteState::noHost, core::noHostText()})
                                     : requestFault(answer);
    // Past page 1 a site may answer "404 Not Found" where it has no more pages: that is the
    // end of its results, as an empty page is. A 5xx or no answer stays a failure.
    if (fault && page > 1 && fault->first == core::SiteState::httpError && answer.httpStatus < 500) {
      fault.reset();
    }
    PageReader reader(current());
    PageVerdict verdict = reader.read(answer.body);
    bool storeFull = false;
    if (verdict == PageVerdict::items) storeFull = handOver(reader);
    judge(page, answer, reader, verdict, fault);
    if (verdict != PageVerdict::items) {
      end(verdict == PageVerdict::jsonFailed ? SiteEnd::jsonFailed : SiteEnd::noData,
          verdict == PageVerdict::jsonFailed ? SiteLogMessages::jsonFailed()
                                             : SiteLogMessages::noData());
      return false;
    }
    if (channel_.stopRequested()) return true;
    if (storeFull) {
      end(SiteEnd::storeFull, SiteLogMessages::storeFull());
      return false;
    }
    if (reader.cutShort()) {
      end(SiteEnd::pageTooLong, SiteLogMessages::pageTooLong());
      return false;
    }
    return true;
  }

  // The page's request. Page 1 is asked of the mirrors in turn, until one answers without a
  // connection failure or a 5xx status; each switch writes a log line. Silent mirrors must not
  // add up: the walk has twice the time-out in all, each request what is left of it.
  PageAnswer fetch(int page) {
    using Clock = std::chrono::steady_clock;
    const bool walk = page == 1 && order_.size() > 1;
    const auto walkEnd = Clock::now() + 2 * requestTimeout();
    for (;;) {
      if (stamped_) stamp_ = freshTimeStamp(stamp_);
      int limitMs = 0;
      if (walk) limitMs = std::max<int>(1, static_cast<int>(millisecondsUntil(walkEnd)));
      PageAnswer answer = fetchPage(pageUrl(current(), channel_.keyword(), page, stamp_),
                                    channel_.timeoutSeconds(),
                                    [this] { return channel_.stopRequested(); }, &connection_,
                                    channel_.stopBell(), limitMs);
      if (page != 1 || channel_.stopRequested() || current().baseUrl.empty()) return answer;
      if (!hostFailed(answer)) {
        rememberMirror(row_.index, current().host);
        return answer;
      }
      if (tried_ + 1 >= order_.size()) return answer;
      const Text failed = current().host;
      if (walk && millisecondsUntil(walkEnd) < kShortestTry) {
        skipRest(failed, requestFault(answer)->second);
        return answer;
      }
      ++tried_;
      outcome_.host = current().host;
      say(SiteLogMessages::mirrorSwitch(failed, requestFault(answer)->second, outcome_.host));
      channel_.report([&](core::SiteReport& r) { r.mirror = outcome_.host; });
    }
  }

  // The engine's time-out for one phase of a request.
  std::chrono::milliseconds requestTimeout() const {
    const int seconds = channel_.timeoutSeconds();
    return std::chrono::seconds(seconds > 0 ? seconds : 30);
  }

  static long long millisecondsUntil(std::chrono::steady_clock::time_point end) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(end -
                                                                 std::chrono::steady_clock::now())
        .count();
  }

  // The walk's time is up after `failed`: the mirrors after it stay untried, named in the
  // log and, after page 1's fault, in the site's reason.
  void skipRest(const Text& failed, const Text& reason) {
    Text skipped;
    for (std::size_t i = tried_ + 1; i < order_.size(); ++i) {
      if (!skipped.empty()) skipped += "、"_gbk;
      skipped += mirrors_[order_[i]].host;
    }
    const int seconds = static_cast<int>(2 * requestTimeout() / std::chrono::seconds(1));
    say(SiteLogMessages::mirrorsSkipped(failed, reason, seconds, skipped));
    skippedNote_ = SiteLogMessages::mirrorsSkippedNote(seconds, skipped);
  }

  // Hands the page's hits over; whether the store is full.
  bool handOver(const PageReader& reader) {
    int hitsOnPage = 0;
    bool storeFull = false;
    for (int item = 0; item < reader.itemCount() && !storeFull; ++item) {
      // A stop here leaves the rest of the page; the next page's check notices it again
      // and writes the stop line a second time, unless this was the last page.
      if (channel_.stopRequested()) {
        say(SiteLogMessages::manualStop());
        channel_.clearRunning();
        outcome_.end = SiteEnd::stopped;
        break;
      }
      if (auto hit = reader.hit(item)) {
        ++hitsOnPage;
        storeFull = !channel_.handOver(*hit);
      }
    }
    outcome_.hits += hitsOnPage;
    return storeFull;
  }

  // Whether this page decides the site's fault: a failed request on any page, a page 1 that
  // gave no hit. A later page that gives nothing is the end of the results.
  void judge(int page, const PageAnswer& answer, const PageReader& reader, PageVerdict verdict,
             std::optional<Fault> fault) {
    if (!fault && verdict == PageVerdict::jsonFailed) {
      fault = Fault{core::SiteState::jsonFailed, jsonFailedReason(answer)};
    }
    if (!fault && page == 1 && outcome_.hits == 0) {
      bool changed = reader.listMissing() || holdsResultTraces(answer.body);
      fault = changed ? Fault{core::SiteState::layoutChanged, "页面结构可能已改变"_gbk}
                      : Fault{core::SiteState::noResults, Text()};
    }
    if (fault && page == 1 && !skippedNote_.empty()) fault->second += skippedNote_;
    if (fault && (page == 1 || fault->first != core::SiteState::noResults)) {
      outcome_.fault = fault->first;
      outcome_.reason = fault->second;
    }
    const bool answered = !unanswered(answer);
    channel_.report([&](core::SiteReport& r) {
      if (answered) ++r.pagesFetched;
      r.hitsFound = outcome_.hits;
      if (fault && fault->first != core::SiteState::noResults) r.reason = fault->second;
    });
  }

  const std::span<const SitePlan> mirrors_;
  SiteChannel& channel_;
  const SiteRow& row_;
  const bool stamped_;
  Text stamp_;
  net::PageConnection connection_;  // closed when the run ends
  std::vector<std::size_t> order_;
  std::size_t tried_ = 0;  // position in order_ of the mirror in use
  Text skippedNote_;        // the mirrors page 1's walk left untried, for the reason
  SiteOutcome outcome_;
};

}  // namespace

SiteOutcome runSiteAdapter(std::span<const SitePlan> mirrors, SiteChannel& channel) {
  if (mirrors.empty()) return {};
  return PageLoop(mirrors, channel).run();
}

}  // namespace quenbo::sites
