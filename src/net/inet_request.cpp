#include "net/inet_request.h"

#include <chrono>

#include "base/text_search.h"
#include "net/cookie_text.h"
#include "net/curl_transfer.h"
#include "net/header_text.h"
#include "net/request_headers.h"
#include "net/request_url.h"
#include "net/text_pieces.h"
#include "net/url_parts.h"

namespace quenbo {
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
  Text agent = agentOf(extraHeaders);

  CurlTransfer transfer;
  if (!transfer.valid() || !transfer.prepare()) return Bytes();
  if (!proxy.empty() && !transfer.set(CURLOPT_PROXY, ("http://" + proxy).c_str())) return Bytes();
  RequestUrl target{secure, urlHost(url, false, UrlVariant::request),
                    urlPort(url, UrlVariant::request), urlPath(url, UrlVariant::request)};
  if (!transfer.set(CURLOPT_URL, target.curlUrl().c_str()) ||
      !transfer.set(CURLOPT_PATH_AS_IS, 1L) || !transfer.set(CURLOPT_USERAGENT, agent.c_str())) {
    return Bytes();
  }
  // Connecting and each read wait as long as the page client of the platform does.
  // The whole request ends after a minute, however steadily a server drips bytes.
  if (!transfer.setIdleTimeout(std::chrono::seconds(30)) ||
      !transfer.set(CURLOPT_CONNECTTIMEOUT_MS, 60000L) ||
      !transfer.setDeadline(requestDeadline(std::chrono::seconds(60))) ||
      !transfer.set(CURLOPT_SSL_VERIFYPEER, 0L) || !transfer.set(CURLOPT_SSL_VERIFYHOST, 0L) ||
      !transfer.setFollowRedirects(!noRedirect) ||
      (abandon && !transfer.setAbandon(abandon, stopBell))) {
    return Bytes();
  }
  // Without a cookie argument the cookies a redirect sets travel with the next hop.
  if (!cookies && !transfer.set(CURLOPT_COOKIEFILE, "")) return Bytes();

  if (extraHeaders.empty()) extraHeaders = "Accept: */*";
  if (completeHeaders) extraHeaders = completePageHeaders(extraHeaders, url, method);
  if (cookies && !cookies->empty()) {
    extraHeaders += findText(*cookies, "Cookie:") != -1 ? "\r\n" : "\r\nCookie: ";
    extraHeaders += *cookies;
  }
  CurlHeaderList headers;
  // A line libcurl cannot send is left out; the request still goes.
  (void)headers.appendHeaderText(extraHeaders);
  if (!headers.suppressUnlessGiven("Accept") || !headers.suppressUnlessGiven("Expect")) {
    return Bytes();
  }

  // A GET sends no body; every other method sends the body bytes, made from the text when
  // the caller gave none.
  if (verb != "GET" && bodyBytes.empty()) bodyBytes = bodyText;
  Bytes body = verb == "GET" ? Bytes() : bodyBytes;
  if (!transfer.setRequest(verb, body)) return Bytes();
  if ((verb == "POST" || !body.empty()) && !headers.suppressUnlessGiven("Content-Type")) {
    return Bytes();
  }
  if (!transfer.set(CURLOPT_HTTPHEADER, headers.get())) return Bytes();
  transfer.setBodyLimit(kBodyLimit);
  // A transfer that breaks off still gives what it read: its outcome is not needed.
  (void)transfer.run();
  if (transfer.abandoned()) return Bytes();

  const std::string& block = transfer.headerBlock();
  responseHeaders = block.size() + 1 <= kHeaderBlockLimit ? block : Text();
  responseCookies = collectSetCookies(responseHeaders, "");
  if (mergeCookies && cookies) responseCookies = mergeCookieText(*cookies, responseCookies);
  return std::move(transfer.body());
}

}  // namespace quenbo
