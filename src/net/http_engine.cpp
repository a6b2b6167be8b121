#include "net/http_engine.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "base/encoding.h"
#include "base/text_search.h"
#include "net/cookie_text.h"
#include "net/curl_share.h"
#include "net/curl_transfer.h"
#include "net/page_charset.h"
#include "net/page_connection.h"
#include "net/request_headers.h"
#include "net/request_url.h"
#include "net/text_pieces.h"

namespace quenbo {
namespace {

enum class Failure {
  noService,
  badUrl,
  session,
  connection,
  request,
  timeouts,
  credentials,
  certificates,
  cookies,
  redirects,
  headers,
  send,
  noResponse,
  read,
};

Text failureText(Failure failure) {
  switch (failure) {
    case Failure::noService:
      return "700 当前系统不支持WinHttp服务!"_gbk;
    case Failure::badUrl:
      return "701 解析URL地址失败!"_gbk;
    case Failure::session:
      return "702 创建WinHttp会话失败!"_gbk;
    case Failure::connection:
      return "703 创建WinHttp连接失败!"_gbk;
    case Failure::request:
      return "704 创建WinHttp请求失败!"_gbk;
    case Failure::timeouts:
      return "705 设置超时时间失败!"_gbk;
    case Failure::credentials:
      return "707 设置代理凭证失败!"_gbk;
    case Failure::certificates:
      return "忽略错误/证书错误  失败！"_gbk;
    case Failure::cookies:
      return "708 禁止自动设置Cookies失败!"_gbk;
    case Failure::redirects:
      return "709 重定向设置失败!"_gbk;
    case Failure::headers:
      return "710 设置协议头失败!"_gbk;
    case Failure::send:
      return "711 发送请求失败!"_gbk;
    case Failure::noResponse:
      return "712 服务器未响应!"_gbk;
    case Failure::read:
      return "713 读取数据失败!"_gbk;
  }
  return Text();
}

// Everything a call sets up before the transfer; each step names the failure it reports.
class EngineCall final {
 public:
  // A run's kept connection lives in its multi handle; the easy handle is the call's own.
  EngineCall(HttpRequest& request, const RequestUrl& url)
      : request_(request),
        url_(url),
        transfer_(request.connection != nullptr
                      ? static_cast<CURLM*>(request.connection->multi())
                      : nullptr) {}

  std::optional<Failure> setUp() {
    if (!transfer_.valid() || !transfer_.prepare()) return Failure::session;
    if (!request_.proxy.empty() &&
        !transfer_.set(CURLOPT_PROXY, ("http://" + request_.proxy).c_str())) {
      return Failure::session;
    }
    long long seconds = request_.timeoutSeconds > 0 ? request_.timeoutSeconds : 30;
    std::chrono::milliseconds idle = std::chrono::seconds(seconds);
    if (!transfer_.setIdleTimeout(idle) || !transfer_.setDeadline(requestDeadline(idle)) ||
        !transfer_.setAbandon(request_.abandon, request_.stopBell)) {
      return Failure::timeouts;
    }
    if (!transfer_.set(CURLOPT_URL, url_.curlUrl().c_str()) ||
        !transfer_.set(CURLOPT_PATH_AS_IS, 1L)) {
      return Failure::connection;
    }
    if (!setVerb()) return Failure::request;
    if (!setCredentials()) return Failure::credentials;
    if (!transfer_.set(CURLOPT_SSL_VERIFYPEER, 0L) || !transfer_.set(CURLOPT_SSL_VERIFYHOST, 0L)) {
      return Failure::certificates;
    }
    // Without the share a call still works, only with a full handshake each time.
    if (CURLSH* share = pageShare()) (void)transfer_.set(CURLOPT_SHARE, share);
    // With cookies to send, cookies set along a redirect go with the next hop too.
    if (!request_.cookies.empty() && !transfer_.set(CURLOPT_COOKIEFILE, ""))
      return Failure::cookies;
    if (!transfer_.setFollowRedirects(!request_.noRedirect)) return Failure::redirects;
    if (!setHeaders()) return Failure::headers;
    transfer_.setBodyLimit(HttpEngine::kBodyLimit);
    return std::nullopt;
  }

  CurlTransfer& transfer() { return transfer_; }

 private:
  bool setVerb() {
    const Bytes& body = !request_.bodyBytes.empty() ? request_.bodyBytes : request_.bodyText;
    sendsBody_ = request_.method == HttpMethod::post || !body.empty();
    return transfer_.setRequest(HttpMethod::verb(request_.method), body);
  }

  bool setCredentials() {
    if (!request_.userName.empty() && !request_.password.empty()) {
      if (!transfer_.set(CURLOPT_HTTPAUTH, long{CURLAUTH_BASIC}) ||
          !transfer_.set(CURLOPT_USERNAME, request_.userName.c_str()) ||
          !transfer_.set(CURLOPT_PASSWORD, request_.password.c_str())) {
        return false;
      }
    }
    if (!request_.proxyUserName.empty() && !request_.proxyPassword.empty()) {
      return transfer_.set(CURLOPT_PROXYAUTH, long{CURLAUTH_BASIC}) &&
             transfer_.set(CURLOPT_PROXYUSERNAME, request_.proxyUserName.c_str()) &&
             transfer_.set(CURLOPT_PROXYPASSWORD, request_.proxyPassword.c_str());
    }
    return true;
  }

  bool setHeaders() {
    Text text = engineHeaderText(request_);
    if (!request_.cookies.empty() && !moveCookieLine(text)) return false;
    if (!headers_.appendHeaderText(text)) return false;
    // Only the lines built above go out: no Accept, Expect or form type of libcurl's own.
    if (!headers_.suppressUnlessGiven("Accept") || !headers_.suppressUnlessGiven("Expect")) {
      return false;
    }
    if (sendsBody_) {
      if (!headers_.suppressUnlessGiven("Content-Type")) return false;
    }
    return transfer_.set(CURLOPT_HTTPHEADER, headers_.get());
  }

  // With the cookie store on, the one cookie line goes to libcurl as its cookie text, so a
  // redirect hop gets a single Cookie line holding both it and the cookies set on the way.
  bool moveCookieLine(Text& text) {
    std::vector<Text> lines = splitText(text, "\r\n");
    auto isCookie = [](const Text& line) { return lowerAscii(line.substr(0, 7)) == "cookie:"; };
    if (std::count_if(lines.begin(), lines.end(), isCookie) != 1) return true;
    Text rest;
    for (const Text& line : lines) {
      if (isCookie(line)) {
        cookieLine_ = trimBlanks(std::string_view(line).substr(7));
      } else if (!line.empty()) {
        rest += line + "\r\n";
      }
    }
    text = rest;
    return cookieLine_.empty() || transfer_.set(CURLOPT_COOKIE, cookieLine_.c_str());
  }

  HttpRequest& request_;
  const RequestUrl& url_;
  Text cookieLine_;
  CurlTransfer transfer_;
  CurlHeaderList headers_;
  bool sendsBody_ = false;
};

// The status line after the protocol version: "200 OK" for "HTTP/1.1 200 OK".
Text statusTextOf(const Text& block) {
  if (block.size() < 10) return Text();
  int end = findText(block, "\r\n", 10);
  return end == -1 ? block.substr(9) : block.substr(9, end - 10);
}

// The value of the last "Location: " line (name in any case).
std::optional<Text> lastLocation(const Text& block) {
  std::optional<Text> location;
  std::size_t start = 0;
  while (start < block.size()) {
    std::size_t end = block.find("\r\n", start);
    if (end == std::string::npos) end = block.size();
    std::string_view line(block.data() + start, end - start);
    if (line.size() >= 10 && lowerAscii(line.substr(0, 10)) == "location: ") {
      location = Text(line.substr(10));
    }
    start = end + 2;
  }
  return location;
}

}  // namespace

Text HttpEngine::execute(HttpRequest& request, HttpResponse& response) {
  auto fail = [&](Failure failure) {
    response.statusText = failureText(failure);
    return Text();
  };
  if (!curlAvailable()) return fail(Failure::noService);
  std::optional<RequestUrl> url = crackUrl(request.url);
  if (!url) return fail(Failure::badUrl);
  EngineCall call(request, *url);
  if (auto failure = call.setUp()) return fail(*failure);

  CurlTransfer& transfer = call.transfer();
  TransferOutcome outcome = transfer.run();
  // An abandoned request hands nothing on, not even the bytes it got so far.
  if (transfer.abandoned()) {
    return fail(outcome == TransferOutcome::readFailed ? Failure::read : Failure::noResponse);
  }
  if (outcome == TransferOutcome::sendFailed) return fail(Failure::send);
  if (outcome == TransferOutcome::noResponse) return fail(Failure::noResponse);
  const Text& block = transfer.headerBlock();
  if (block.empty()) return fail(Failure::noResponse);

  response.headers = block;
  response.statusText = statusTextOf(block);
  response.cookies = collectSetCookies(block, response.cookies);
  if (auto location = lastLocation(block)) response.location = *location;
  if (request.mergeCookies && !request.cookies.empty()) {
    response.cookies = mergeCookieText(request.cookies, response.cookies);
  }
  response.body = std::move(transfer.body());
  // A cut-off body is a failure: the bytes so far stay in the record, the page is not
  // handed on as if it were whole.
  if (outcome == TransferOutcome::readFailed) return fail(Failure::read);
  return decodeDeclaredCharset(textWithoutZeros(response.body), response.body);
}

}  // namespace quenbo
