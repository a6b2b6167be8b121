#include "net/com_http_request.h"

#include <chrono>
#include <utility>
#include <vector>

#include "base/text_search.h"
#include "net/cookie_text.h"
#include "net/curl_transfer.h"
#include "net/header_text.h"
#include "net/request_headers.h"
#include "net/request_url.h"
#include "net/text_pieces.h"

namespace quenbo {
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

RequestObject::RequestObject() : transfer_(std::make_unique<CurlTransfer>()) {}
RequestObject::~RequestObject() = default;
bool RequestObject::valid() const {
  return transfer_->valid();
}

// Everything set before the transfer; false as soon as libcurl refuses a step, and then the
// request is not made.
bool ComHttpRequest::configure(CurlTransfer& transfer, const std::optional<RequestUrl>& target,
                               const Bytes& body, CurlHeaderList& headers) {
  std::string_view verb = HttpMethod::verb(method);
  std::chrono::milliseconds idle = timeoutOf(timeoutSeconds);
  if (!transfer.setIdleTimeout(idle)) return false;
  if (timeoutSeconds == -1 && !transfer.set(CURLOPT_CONNECTTIMEOUT_MS, 60000L)) return false;
  // With its own connect time-out the first step may take a minute: the deadline allows it.
  if (!transfer.setDeadline(
          requestDeadline(timeoutSeconds == -1 ? std::chrono::milliseconds(60000) : idle))) {
    return false;
  }
  if (!proxy.empty() && !transfer.set(CURLOPT_PROXY, ("http://" + proxy).c_str())) return false;
  if (target && (!transfer.set(CURLOPT_URL, target->curlUrl().c_str()) ||
                 !transfer.set(CURLOPT_PATH_AS_IS, 1L))) {
    return false;
  }
  if (!transfer.setFollowRedirects(!noRedirect) ||
      !transfer.set(CURLOPT_SSL_VERIFYPEER, verifyCertificates ? 1L : 0L) ||
      !transfer.set(CURLOPT_SSL_VERIFYHOST, verifyCertificates ? 2L : 0L)) {
    return false;
  }
  if (verifyCertificates && !trustedCertificates.empty() &&
      !transfer.set(CURLOPT_CAINFO, trustedCertificates.c_str())) {
    return false;
  }
  if (totalTimeoutMs > 0 &&
      !transfer.set(CURLOPT_TIMEOUT_MS, static_cast<long>(totalTimeoutMs))) {
    return false;
  }
  // Basic proxy credentials: libcurl sends them as "Proxy-Authorization: Basic " and the
  // Base64 form of user, colon and password, to the proxy only (also through a tunnel).
  if (!proxy.empty() && !proxyUserName.empty() && proxyAuthMode == 1 &&
      (!transfer.set(CURLOPT_PROXYAUTH, long{CURLAUTH_BASIC}) ||
       !transfer.set(CURLOPT_PROXYUSERNAME, proxyUserName.c_str()) ||
       !transfer.set(CURLOPT_PROXYPASSWORD, proxyPassword.c_str()))) {
    return false;
  }
  HeaderSet headerSet;
  if (cookies) {
    if (!cookies->empty() && containsText(*cookies, "Cookie:")) {
      *cookies = replaceText(*cookies, "Cookie:", "", true);
    }
    headerSet.set("Cookie", *cookies);
  }
  setCallerHeaders(headerSet, extraHeaders);
  // A caller's line libcurl cannot send (a stray CR) is left out, as the request object does.
  (void)headers.appendHeaderText(headerSet.text());
  if (!headers.suppressUnlessGiven("Accept") || !headers.suppressUnlessGiven("Expect")) {
    return false;
  }
  if ((verb == "POST" || !body.empty()) && !headers.suppressUnlessGiven("Content-Type")) {
    return false;
  }
  if (!transfer.set(CURLOPT_HTTPHEADER, headers.get())) return false;
  if (!transfer.setRequest(verb, body)) return false;
  transfer.setBodyLimit(kBodyLimit);
  return true;
}

Bytes ComHttpRequest::execute() {
  std::unique_ptr<CurlTransfer> own;
  CurlTransfer* transfer = requestObject != nullptr ? requestObject->transfer_.get() : nullptr;
  if (transfer == nullptr) {
    own = std::make_unique<CurlTransfer>();
    transfer = own.get();
  }
  responseHeaders.clear();
  statusCode = 0;
  if (!transfer->valid() || !transfer->prepare()) return Bytes();

  if (completeHeaders) extraHeaders = completeServiceHeaders(extraHeaders, url, method);
  if (normalizeHeaderNames) extraHeaders = normalizeHeaderText(extraHeaders);
  std::optional<RequestUrl> target = crackUrl(url);
  const Bytes& body = !bodyBytes.empty() ? bodyBytes : bodyText;
  CurlHeaderList headers;
  bool configured = configure(*transfer, target, body, headers) &&
                    (!abandon || transfer->setAbandon(abandon, stopBell));

  Bytes received;
  if (configured && target && transfer->run() == TransferOutcome::complete) {
    const std::string& block = transfer->headerBlock();
    std::size_t statusEnd = block.find("\r\n");
    responseHeaders = statusEnd == std::string::npos ? Text() : block.substr(statusEnd + 2);
    statusCode = static_cast<int>(transfer->responseCode());
    received = std::move(transfer->body());
  }
  // The list must not outlive its use by a kept request object; a refusal here would leave
  // the handle pointing at freed memory, so the kept object is given up instead.
  if (!transfer->set(CURLOPT_HTTPHEADER, static_cast<curl_slist*>(nullptr)) &&
      requestObject != nullptr) {
    requestObject->transfer_ = std::make_unique<CurlTransfer>();
  }
  responseCookies = collectSetCookies(responseHeaders, "");
  if (mergeCookies && cookies) responseCookies = mergeCookieText(*cookies, responseCookies);
  return received;
}

}  // namespace quenbo
