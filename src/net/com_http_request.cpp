#include "net/com_http_request.h"

#include <chrono>
#include <utility>
#include <vector>

#include "base/text_search.h"
#include "net/cookie_text.h"
#include "net/header_text.h"
#include "net/request_headers.h"
#include "net/request_url.h"
#include "net/text_pieces.h"

namespace quenbo::net {
namespace {

constexpr std::size_t kBodyLimit = std::size_t{32} << 20;

// Request headers by name: setting a name again replaces its value, as the request object
// does.
class HeaderSet final {
 public:
  void set(const Text& name, const Text& value) {
    for (auto& entry : entries_) {
      if (lowerAscii(entry.first) == lowerAscii(name)) {
        entry.second = value;
        return;
      }
    }
    entries_.emplace_back(name, value);
  }

  Text text() const {
    Text out;
    for (const auto& [name, value] : entries_) out += name + ": " + value + "\r\n";
    return out;
  }

 private:
  std::vector<std::pair<Text, Text>> entries_;
};

void setCallerHeaders(HeaderSet& set, const Text& headers) {
  std::vector<Text> lines;
  if (findText(headers, "\r\n") == -1) {
    lines.push_back(headers);
  } else {
    for (Text& line : splitText(headers, "\r\n")) {
      if (!line.empty()) lines.push_back(std::move(line));
    }
  }
  for (const Text& line : lines) {
    int colon = findText(line, ":");
    if (colon == -1) continue;
    Text name = trimBlanks(std::string_view(line).substr(0, colon - 1));
    Text value = trimBlanks(std::string_view(line).substr(colon));
    if (name == "Connection" && value == "keep-alive") continue;
    set.set(name, value);
  }
}

std::chrono::milliseconds timeoutOf(int seconds) {
  if (seconds == -1) return std::chrono::milliseconds(30000);
  return std::chrono::milliseconds(seconds > 0 ? seconds * 1000LL : 15000);
}

}  // namespace

RequestObject::RequestObject() : session_(std::make_unique<FetchSession>()) {}
RequestObject::~RequestObject() = default;
bool RequestObject::valid() const {
  return session_->valid();
}

FetchRequest ComHttpRequest::fetchRequest(const std::optional<RequestUrl>& target) {
  FetchRequest out;
  if (target) out.url = target->curlUrl();
  out.verb = HttpMethod::verb(method);
  out.body = !bodyBytes.empty() ? bodyBytes : bodyText;
  out.idleTimeout = timeoutOf(timeoutSeconds);
  if (timeoutSeconds == -1) out.connectTimeout = std::chrono::milliseconds(60000);
  // With its own connect time-out the first step may take a minute: the deadline allows it.
  out.deadline = totalTimeoutMs > 0 ? std::chrono::milliseconds(totalTimeoutMs)
                                    : requestDeadline(out.connectTimeout.value_or(out.idleTimeout));
  out.proxy = proxy;
  if (proxyAuthMode == 1) {
    out.proxyUserName = proxyUserName;
    out.proxyPassword = proxyPassword;
  }
  out.followRedirects = !noRedirect;
  out.keepHttps = true;
  out.verifyCertificates = verifyCertificates;
  out.trustedCertificates = trustedCertificates;
  HeaderSet headerSet;
  if (cookies) {
    if (!cookies->empty() && containsText(*cookies, "Cookie:")) {
      *cookies = replaceText(*cookies, "Cookie:", "", true);
    }
    headerSet.set("Cookie", *cookies);
  }
  setCallerHeaders(headerSet, extraHeaders);
  // A caller's line libcurl cannot send (a stray CR) is left out, as the request object does.
  out.headers = headerSet.text();
  out.bodyLimit = kBodyLimit;
  return out;
}

Bytes ComHttpRequest::execute() {
  std::unique_ptr<FetchSession> own;
  FetchSession* session = requestObject != nullptr ? requestObject->session_.get() : nullptr;
  if (session == nullptr) {
    own = std::make_unique<FetchSession>();
    session = own.get();
  }
  responseHeaders.clear();
  statusCode = 0;
  failure = FetchFailure::none;
  fault = FetchFault();
  if (!session->valid()) {
    failure = fault.failure = curlAvailable() ? FetchFailure::setup : FetchFailure::unavailable;
    return Bytes();
  }

  if (completeHeaders) extraHeaders = completeServiceHeaders(extraHeaders, url, method);
  if (normalizeHeaderNames) extraHeaders = normalizeHeaderText(extraHeaders);
  std::optional<RequestUrl> target = crackUrl(url);
  FetchRequest request = fetchRequest(target);
  request.abandon = abandon;
  request.stopBell = stopBell;

  Bytes received;
  if (!target) {
    failure = fault.failure = FetchFailure::badUrl;
  } else if (FetchResponse fetched = session->fetch(request); !fetched.ok()) {
    failure = fetched.failure;
    fault = faultOf(fetched);
  } else {
    std::size_t statusEnd = fetched.headers.find("\r\n");
    responseHeaders =
        statusEnd == std::string::npos ? Text() : fetched.headers.substr(statusEnd + 2);
    statusCode = static_cast<int>(fetched.status);
    received = std::move(fetched.body);
  }
  responseCookies = collectSetCookies(responseHeaders, "");
  if (mergeCookies && cookies) responseCookies = mergeCookieText(*cookies, responseCookies);
  return received;
}

}  // namespace quenbo::net
