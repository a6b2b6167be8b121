#include "net/fetch.h"

#include <curl/curl.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "base/text.h"
#include "net/curl_share.h"
#include "net/curl_transfer.h"
#include "net/page_connection.h"

namespace quenbo::net {

// A curl_slist of header lines.
class CurlHeaderList final {
 public:
  CurlHeaderList() = default;
  ~CurlHeaderList() { curl_slist_free_all(list_); }
  CurlHeaderList(const CurlHeaderList&) = delete;
  CurlHeaderList& operator=(const CurlHeaderList&) = delete;

  // False when out of memory or when the line holds a CR, LF or NUL byte, which would let it
  // smuggle further header lines onto the request.
  [[nodiscard]] bool append(std::string_view line) {
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return false;
    curl_slist* grown = curl_slist_append(list_, std::string(line).c_str());
    if (grown == nullptr) return false;
    list_ = grown;
    return true;
  }

  // Adds every non-empty line of a "\r\n"-separated header text. A line with an empty value
  // goes out as "Name:" (libcurl would otherwise take it as "leave this header out"). Lines
  // without a name before a ":" are left out, and then the result is false.
  [[nodiscard]] bool appendHeaderText(std::string_view text) {
    bool all = true;
    while (!text.empty()) {
      std::size_t end = text.find("\r\n");
      std::string_view line = text.substr(0, end);
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
      if (line.empty()) continue;
      std::size_t colon = line.find(':');
      std::string_view name = line.substr(0, colon);
      while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
      std::string_view value =
          line.substr(colon == std::string_view::npos ? line.size() : colon + 1);
      bool emptyValue = value.find_first_not_of(' ') == std::string_view::npos;
      // libcurl sends "Name;" as the line "Name:".
      if (colon == std::string_view::npos || name.empty() ||
          !append(emptyValue ? std::string(name) + ";" : std::string(line))) {
        all = false;
        continue;
      }
      names_.push_back(lowerAscii(name));
    }
    return all;
  }

  // Keeps libcurl's own header of each name off the request unless the text gave one.
  [[nodiscard]] bool suppressUnlessGiven(std::string_view name) {
    return std::find(names_.begin(), names_.end(), lowerAscii(name)) != names_.end() ||
           append(std::string(name) + ":");
  }

  curl_slist* get() const { return list_; }

 private:
  curl_slist* list_ = nullptr;
  std::vector<std::string> names_;  // lower-cased names of the lines added
};

namespace {

template <typename T>
bool set(CurlTransfer& transfer, CURLoption option, T value) {
  return curl_easy_setopt(static_cast<CURL*>(transfer.easy()), option, value) == CURLE_OK;
}

bool setProxy(CurlTransfer& transfer, const FetchRequest& request) {
  return request.proxy.empty() || set(transfer, CURLOPT_PROXY, ("http://" + request.proxy).c_str());
}

bool setTimeouts(CurlTransfer& transfer, const FetchRequest& request) {
  return transfer.setIdleTimeout(request.idleTimeout) &&
         (!request.connectTimeout || set(transfer, CURLOPT_CONNECTTIMEOUT_MS,
                                         static_cast<long>(request.connectTimeout->count()))) &&
         (!request.deadline ||
          set(transfer, CURLOPT_TIMEOUT_MS,
              static_cast<long>(std::max<long long>(request.deadline->count(), 1)))) &&
         transfer.setAbandon(request.abandon, request.stopBell);
}

bool setCredentials(CurlTransfer& transfer, const FetchRequest& request) {
  if (!request.userName.empty() && (!set(transfer, CURLOPT_HTTPAUTH, long{CURLAUTH_BASIC}) ||
                                    !set(transfer, CURLOPT_USERNAME, request.userName.c_str()) ||
                                    !set(transfer, CURLOPT_PASSWORD, request.password.c_str()))) {
    return false;
  }
  // libcurl sends the proxy's as "Proxy-Authorization: Basic " and the Base64 form of user,
  // colon and password, to the proxy only (also through a tunnel).
  return request.proxy.empty() || request.proxyUserName.empty() ||
         (set(transfer, CURLOPT_PROXYAUTH, long{CURLAUTH_BASIC}) &&
          set(transfer, CURLOPT_PROXYUSERNAME, request.proxyUserName.c_str()) &&
          set(transfer, CURLOPT_PROXYPASSWORD, request.proxyPassword.c_str()));
}

bool setCertificates(CurlTransfer& transfer, const FetchRequest& request) {
  bool verify = request.verifyCertificates;
  return set(transfer, CURLOPT_SSL_VERIFYPEER, verify ? 1L : 0L) &&
         set(transfer, CURLOPT_SSL_VERIFYHOST, verify ? 2L : 0L) &&
         (!verify || request.trustedCertificates.empty() ||
          set(transfer, CURLOPT_CAINFO, request.trustedCertificates.c_str()));
}

bool setHeaders(CurlTransfer& transfer, const FetchRequest& request, CurlHeaderList& headers) {
  if (!request.cookieLine.empty() && !set(transfer, CURLOPT_COOKIE, request.cookieLine.c_str())) {
    return false;
  }
  if (!request.userAgent.empty() && !set(transfer, CURLOPT_USERAGENT, request.userAgent.c_str())) {
    return false;
  }
  if (!headers.appendHeaderText(request.headers) && request.strictHeaders) return false;
  // Only the lines given go out: no Accept, Expect or form type of libcurl's own.
  bool sendsBody = request.verb == "POST" || !request.body.empty();
  return headers.suppressUnlessGiven("Accept") && headers.suppressUnlessGiven("Expect") &&
         (!sendsBody || headers.suppressUnlessGiven("Content-Type")) &&
         set(transfer, CURLOPT_HTTPHEADER, headers.get());
}

FetchResponse refusal(FetchSetting setting) {
  FetchResponse response;
  response.failure = FetchFailure::setup;
  response.refused = setting;
  return response;
}

}  // namespace

bool curlAvailable() {
  static std::once_flag once;
  static bool available = false;
  std::call_once(once, [] { available = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return available;
}

bool fetchableUrl(const std::string& url) {
  if (!curlAvailable()) return false;
  CURLU* parsed = curl_url();
  bool usable = parsed != nullptr &&
                curl_url_set(parsed, CURLUPART_URL, url.c_str(), CURLU_PATH_AS_IS) == CURLUE_OK;
  curl_url_cleanup(parsed);
  return usable;
}

std::string fetchUrlHost(const std::string& url) {
  if (!curlAvailable()) return {};
  CURLU* parsed = curl_url();
  std::string host;
  char* part = nullptr;
  if (parsed != nullptr &&
      curl_url_set(parsed, CURLUPART_URL, url.c_str(), CURLU_PATH_AS_IS) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_HOST, &part, 0) == CURLUE_OK) {
    host = lowerAscii(part);
  }
  curl_free(part);
  curl_url_cleanup(parsed);
  return host;
}

FetchSession::FetchSession(PageConnection* connection)
    : transfer_(
          std::make_unique<CurlTransfer>(connection != nullptr ? connection->multi() : nullptr)) {}

FetchSession::~FetchSession() = default;

bool FetchSession::valid() const {
  return transfer_->valid();
}

// Each step names the setting it reports when libcurl refuses it, in the order the request
// engine sets a request up.
std::optional<FetchResponse> FetchSession::setUp(const FetchRequest& request) {
  if (!curlAvailable()) {
    FetchResponse response;
    response.failure = FetchFailure::unavailable;
    return response;
  }
  CurlTransfer& transfer = *transfer_;
  if (!transfer.valid() || !transfer.prepare()) return refusal(FetchSetting::handle);
  // The easy handle forgot the earlier request's lines with prepare(); now they may go.
  headers_ = std::make_unique<CurlHeaderList>();
  if (!setProxy(transfer, request)) return refusal(FetchSetting::proxy);
  if (!setTimeouts(transfer, request)) return refusal(FetchSetting::timeouts);
  if (!set(transfer, CURLOPT_URL, request.url.c_str()) ||
      !set(transfer, CURLOPT_PATH_AS_IS, request.pathAsIs ? 1L : 0L)) {
    return refusal(FetchSetting::url);
  }
  if (!transfer.setRequest(request.verb, request.body)) return refusal(FetchSetting::verb);
  if (!setCredentials(transfer, request)) return refusal(FetchSetting::credentials);
  if (!setCertificates(transfer, request)) return refusal(FetchSetting::certificates);
  // Without the share a request still works, only with a full handshake each time.
  if (request.sharePageSessions) {
    if (void* share = pageShare()) (void)set(transfer, CURLOPT_SHARE, share);
  }
  if (request.cookieStore && !set(transfer, CURLOPT_COOKIEFILE, "")) {
    return refusal(FetchSetting::cookies);
  }
  bool httpsOnly = request.keepHttps && lowerAscii(request.url.substr(0, 8)) == "https://";
  if (!transfer.setFollowRedirects(request.followRedirects, httpsOnly)) {
    return refusal(FetchSetting::redirects);
  }
  transfer.setMinimumRate(request.minimumRate, request.rateWindow);
  if (!setHeaders(transfer, request, *headers_)) return refusal(FetchSetting::headers);
  if (request.readSize > 0 &&
      !set(transfer, CURLOPT_BUFFERSIZE, static_cast<long>(request.readSize))) {
    return refusal(FetchSetting::limits);
  }
  // Refused, the body limit still holds, only later.
  if (request.refuseLongerDeclared && request.bodyLimit != static_cast<std::size_t>(-1)) {
    (void)set(transfer, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.bodyLimit));
  }
  transfer.setBodyLimit(request.bodyLimit);
  return std::nullopt;
}

FetchResponse FetchSession::fetch(const FetchRequest& request) {
  if (auto refused = setUp(request)) return std::move(*refused);
  transfer_->run();
  return transfer_->takeResponse();
}

FetchResponse FetchSession::fetchHeaders(const FetchRequest& request) {
  if (auto refused = setUp(request)) return std::move(*refused);
  transfer_->runUntilHeaders();
  return transfer_->takeResponse();
}

FetchResponse FetchSession::readBody(const std::function<bool(std::string_view)>& sink) {
  if (!transfer_->valid()) return refusal(FetchSetting::handle);
  transfer_->setBodySink(sink);
  transfer_->resume();
  transfer_->setBodySink(nullptr);
  return transfer_->takeResponse();
}

FetchResponse fetch(const FetchRequest& request, PageConnection* connection) {
  FetchSession session(connection);
  return session.fetch(request);
}

}  // namespace quenbo::net
