#include "net/inet_request.h"

#include <chrono>

#include "base/text_search.h"
#include "net/cookie_text.h"
#include "net/header_text.h"
#include "net/request_headers.h"
#include "net/request_url.h"
#include "net/text_pieces.h"
#include "net/url_parts.h"

namespace quenbo::net {
namespace {

constexpr std::string_view kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr std::size_t kBodyLimit = std::size_t{32} << 20;

// The agent named by the caller's "User-Agent:" line, cut at the end of that line.
Text agentOf(const Text& headers) {
  if (!containsText(headers, "User-Agent:")) return Text(kDefaultAgent);
  Text lines = headers + "\r\n";
  int key = findText(lines, "User-Agent:");
  if (key != -1) {
    int start = key + 11;
    Text agent = trimBlanks(
        std::string_view(lines).substr(start - 1, findText(lines, "\r\n", start) - start));
    if (!agent.empty()) return agent;
  }
  // The name in another case: the text after the first colon, up to the end of its line.
  int colon = findText(lines, ":");
  return trimBlanks(
      std::string_view(lines).substr(colon, findText(lines, "\r\n", colon) - colon - 1));
}

}  // namespace

Bytes InetRequest::execute() {
  if (normalizeHeaderNames) extraHeaders = normalizeHeaderText(extraHeaders);
  std::string_view verb = HttpMethod::verb(method);
  bool secure = lowerAscii(std::string_view(url).substr(0, 8)) == "https://";

  FetchRequest request;
  request.proxy = proxy;
  RequestUrl target{secure, urlHost(url, false, UrlVariant::request),
                    urlPort(url, UrlVariant::request), urlPath(url, UrlVariant::request)};
  request.url = target.curlUrl();
  request.userAgent = agentOf(extraHeaders);
  // Connecting and each read wait as long as the page client of the platform does.
  // The whole request ends after a minute, however steadily a server drips bytes.
  request.idleTimeout = std::chrono::seconds(30);
  request.connectTimeout = std::chrono::seconds(60);
  request.deadline = requestDeadline(std::chrono::seconds(60));
  request.followRedirects = !noRedirect;
  // Without a cookie argument the cookies a redirect sets travel with the next hop.
  request.cookieStore = !cookies;

  if (extraHeaders.empty()) extraHeaders = "Accept: */*";
  if (completeHeaders) extraHeaders = completePageHeaders(extraHeaders, url, method);
  if (cookies && !cookies->empty()) {
    extraHeaders += findText(*cookies, "Cookie:") != -1 ? "\r\n" : "\r\nCookie: ";
    extraHeaders += *cookies;
  }
  // A line libcurl cannot send is left out; the request still goes.
  request.headers = extraHeaders;

  // A GET sends no body; every other method sends the body bytes, made from the text when
  // the caller gave none.
  if (verb != "GET" && bodyBytes.empty()) bodyBytes = bodyText;
  request.verb = verb;
  if (verb != "GET") request.body = bodyBytes;
  request.bodyLimit = kBodyLimit;
  request.abandon = abandon;
  request.stopBell = stopBell;

  FetchResponse fetched = fetch(request);
  failure = fetched.failure;
  // Nothing went out: nothing of an answer to report.
  if (failure == FetchFailure::unavailable || failure == FetchFailure::setup) return Bytes();
  // An abandoned request hands nothing back.
  if (failure == FetchFailure::stopped) return Bytes();
  // A transfer that breaks off still gives what it read.
  responseHeaders = fetched.headers.size() + 1 <= kHeaderBlockLimit ? fetched.headers : Text();
  responseCookies = collectSetCookies(responseHeaders, "");
  if (mergeCookies && cookies) responseCookies = mergeCookieText(*cookies, responseCookies);
  return std::move(fetched.body);
}

}  // namespace quenbo::net
