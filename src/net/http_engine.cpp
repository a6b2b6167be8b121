#include "net/http_engine.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <optional>
#include <string>

#include "base/encoding.h"
#include "base/text_search.h"
#include "net/cookie_text.h"
#include "net/fetch.h"
#include "net/header_text.h"
#include "net/page_charset.h"
#include "net/request_headers.h"
#include "net/request_url.h"
#include "net/text_pieces.h"

namespace quenbo::net {
namespace {

struct FailureWords {
  int number;  // 0: the message has none
  const char* words;
};

// Indexed by EngineFailure.
constexpr FailureWords kFailureWords[] = {
    {0, ""},
    {700, "当前系统不支持WinHttp服务!"},
    {701, "解析URL地址失败!"},
    {702, "创建WinHttp会话失败!"},
    {703, "创建WinHttp连接失败!"},
    {704, "创建WinHttp请求失败!"},
    {705, "设置超时时间失败!"},
    {707, "设置代理凭证失败!"},
    {0, "忽略错误/证书错误  失败！"},
    {708, "禁止自动设置Cookies失败!"},
    {709, "重定向设置失败!"},
    {710, "设置协议头失败!"},
    {711, "发送请求失败!"},
    {712, "服务器未响应!"},
    {713, "读取数据失败!"},
};
static_assert(std::size(kFailureWords) == static_cast<std::size_t>(EngineFailure::read) + 1);

// The engine's step for a setting libcurl refused.
EngineFailure refusedStep(FetchSetting setting) {
  switch (setting) {
    case FetchSetting::url:
      return EngineFailure::connection;
    case FetchSetting::verb:
      return EngineFailure::request;
    case FetchSetting::timeouts:
      return EngineFailure::timeouts;
    case FetchSetting::credentials:
      return EngineFailure::credentials;
    case FetchSetting::certificates:
      return EngineFailure::certificates;
    case FetchSetting::cookies:
      return EngineFailure::cookies;
    case FetchSetting::redirects:
      return EngineFailure::redirects;
    case FetchSetting::headers:
      return EngineFailure::headers;
    default:
      return EngineFailure::session;
  }
}

// Where the transfer stopped picks the step; an abandoned one counts as unanswered until
// its body began.
EngineFailure failedStep(const FetchResponse& fetched) {
  switch (fetched.failure) {
    case FetchFailure::none:
      return EngineFailure::none;
    case FetchFailure::unavailable:
      return EngineFailure::noService;
    case FetchFailure::setup:
      return refusedStep(fetched.refused);
    case FetchFailure::stopped:
      return fetched.step == FetchStep::readingBody ? EngineFailure::read
                                                    : EngineFailure::noResponse;
    default:
      break;
  }
  switch (fetched.step) {
    case FetchStep::sending:
      return EngineFailure::send;
    case FetchStep::awaitingAnswer:
      return EngineFailure::noResponse;
    default:
      return EngineFailure::read;
  }
}

// With cookies to send, libcurl's cookie store is on for the call and the one cookie line
// goes to it as its cookie text, so a redirect hop gets a single Cookie line holding both it
// and the cookies set on the way. The line leaves `text`.
Text takeCookieLine(Text& text) {
  std::vector<Text> lines = splitText(text, "\r\n");
  auto isCookie = [](const Text& line) { return lowerAscii(line.substr(0, 7)) == "cookie:"; };
  if (std::count_if(lines.begin(), lines.end(), isCookie) != 1) return Text();
  Text rest, cookieLine;
  for (const Text& line : lines) {
    if (isCookie(line)) {
      cookieLine = trimBlanks(std::string_view(line).substr(7));
    } else if (!line.empty()) {
      rest += line + "\r\n";
    }
  }
  text = rest;
  return cookieLine;
}

// The fetch core's request for an engine call: any certificate, names and TLS sessions
// shared with every page request, only the header lines the engine builds.
FetchRequest fetchRequestOf(const HttpRequest& request, const RequestUrl& url) {
  FetchRequest out;
  out.url = url.curlUrl();
  out.proxy = request.proxy;
  long long seconds = request.timeoutSeconds > 0 ? request.timeoutSeconds : 30;
  out.idleTimeout = std::chrono::seconds(seconds);
  out.deadline = requestDeadline(out.idleTimeout);
  if (request.limitMs > 0) {
    const std::chrono::milliseconds limit(request.limitMs);
    out.idleTimeout = std::min<std::chrono::milliseconds>(out.idleTimeout, limit);
    out.deadline = std::min(*out.deadline, limit);
  }
  out.abandon = request.abandon;
  out.stopBell = request.stopBell;
  out.verb = HttpMethod::verb(request.method);
  out.body = !request.bodyBytes.empty() ? request.bodyBytes : request.bodyText;
  if (!request.userName.empty() && !request.password.empty()) {
    out.userName = request.userName;
    out.password = request.password;
  }
  if (!request.proxyUserName.empty() && !request.proxyPassword.empty()) {
    out.proxyUserName = request.proxyUserName;
    out.proxyPassword = request.proxyPassword;
  }
  out.sharePageSessions = true;
  out.headers = engineHeaderText(request);
  if (!request.cookies.empty()) {
    out.cookieStore = true;
    out.cookieLine = takeCookieLine(out.headers);
  }
  out.strictHeaders = true;
  out.followRedirects = !request.noRedirect;
  out.bodyLimit = HttpEngine::kBodyLimit;
  return out;
}

// The status line after the protocol version: "200 OK" for "HTTP/1.1 200 OK".
Text statusTextOf(const Text& block) {
  if (block.size() < 10) return Text();
  int end = findText(block, "\r\n", 10);
  return end == -1 ? block.substr(9) : block.substr(9, end - 10);
}

}  // namespace

Text HttpEngine::failureText(EngineFailure failure) {
  const FailureWords& entry = kFailureWords[static_cast<std::size_t>(failure)];
  Text words = utf8ToGbk(entry.words);
  return entry.number == 0 ? words : std::to_string(entry.number) + " " + words;
}

int HttpEngine::failureNumber(EngineFailure failure) {
  return kFailureWords[static_cast<std::size_t>(failure)].number;
}

Text HttpEngine::execute(HttpRequest& request, HttpResponse& response) {
  response.cause = FetchFailure::none;
  auto fail = [&](EngineFailure failure) {
    response.failure = failure;
    response.statusText = failureText(failure);
    return Text();
  };
  if (!curlAvailable()) return fail(EngineFailure::noService);
  std::optional<RequestUrl> url = crackUrl(request.url);
  if (!url) return fail(EngineFailure::badUrl);

  // The handle lives to the end of the call: freeing its buffers before the page text is made
  // lets the allocator give the heap's top back and fault it in again for the text, each page.
  FetchSession session(request.connection);
  FetchResponse fetched = session.fetch(fetchRequestOf(request, *url));
  response.cause = fetched.failure;
  EngineFailure failure = failedStep(fetched);
  // An abandoned request hands nothing on, not even the bytes it got so far.
  if (fetched.failure == FetchFailure::stopped) return fail(failure);
  if (failure != EngineFailure::none && failure != EngineFailure::read) return fail(failure);
  if (fetched.headers.empty()) return fail(EngineFailure::noResponse);

  const Text& block = fetched.headers;
  response.headers = block;
  response.statusText = statusTextOf(block);
  response.cookies = collectSetCookies(block, response.cookies);
  if (auto location = answerHeader(block, "Location")) response.location = *location;
  if (request.mergeCookies && !request.cookies.empty()) {
    response.cookies = mergeCookieText(request.cookies, response.cookies);
  }
  response.body = std::move(fetched.body);
  // A cut-off body is a failure: the bytes so far stay in the record, the page is not
  // handed on as if it were whole.
  if (failure == EngineFailure::read) return fail(failure);
  response.failure = EngineFailure::none;
  return decodeDeclaredCharset(textWithoutZeros(response.body), response.body);
}

}  // namespace quenbo::net
