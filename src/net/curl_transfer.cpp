#include "net/curl_transfer.h"

#include <curl/curl.h>
#include <openssl/x509_vfy.h>

#include <algorithm>
#include <optional>

namespace quenbo::net {
namespace {

static_assert(CURL_ERROR_SIZE <= 256, "the error buffer holds libcurl's longest message");

constexpr long kMaxRedirects = 10;
// Without a stop bell, the longest a poll sleeps before the abandon question is asked again.
constexpr std::chrono::milliseconds kLongestPoll{50};

CURL* easyOf(void* easy) {
  return static_cast<CURL*>(easy);
}
CURLM* multiOf(void* multi) {
  return static_cast<CURLM*>(multi);
}

template <typename T>
bool set(void* easy, CURLoption option, T value) {
  return curl_easy_setopt(easyOf(easy), option, value) == CURLE_OK;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i], b = prefix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 32);
    if (a != b) return false;
  }
  return true;
}

int statusOf(std::string_view statusLine) {
  std::size_t blank = statusLine.find(' ');
  int status = 0;
  for (std::size_t i = blank + 1; blank != std::string_view::npos && i < statusLine.size(); ++i) {
    if (statusLine[i] < '0' || statusLine[i] > '9') break;
    status = status * 10 + (statusLine[i] - '0');
  }
  return status;
}

bool failedBeforeSending(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SEND_ERROR:
    case CURLE_PROXY:
    case CURLE_URL_MALFORMAT:
      return true;
    default:
      return false;
  }
}

FetchFailure failureOf(CURLcode code) {
  switch (code) {
    case CURLE_OK:
      return FetchFailure::none;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return FetchFailure::badUrl;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
      return FetchFailure::resolve;
    case CURLE_COULDNT_CONNECT:
      return FetchFailure::connect;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
      return FetchFailure::tls;
    case CURLE_OPERATION_TIMEDOUT:
      return FetchFailure::timeout;
    case CURLE_FILESIZE_EXCEEDED:
      return FetchFailure::tooLarge;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_WEIRD_SERVER_REPLY:
      return FetchFailure::dropped;
    default:
      return FetchFailure::other;
  }
}

// libcurl (OpenSSL flavour) reports the verification's result, and checks the host name itself
// after it: a refused certificate whose verification passed (or left no particular error)
// names another host.
CertificateProblem certificateProblem(CURLcode code, long verifyResult) {
  switch (verifyResult) {
    case X509_V_OK:
    case X509_V_ERR_UNSPECIFIED:
      return code == CURLE_PEER_FAILED_VERIFICATION ? CertificateProblem::hostName
                                                    : CertificateProblem::other;
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return CertificateProblem::hostName;
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return CertificateProblem::expired;
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_CERT_UNTRUSTED:
      return CertificateProblem::untrusted;
    default:
      return CertificateProblem::other;
  }
}

}  // namespace

// libcurl's callbacks, with the signatures it calls them by.
struct TransferCallbacks {
  static size_t onHeader(char* data, size_t size, size_t count, void* self) {
    auto* transfer = static_cast<CurlTransfer*>(self);
    transfer->noteActivity();
    std::string_view line(data, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    transfer->noteBytes(size * count);
    transfer->headerLine(line);
    return size * count;
  }

  static size_t onBody(char* data, size_t size, size_t count, void* self) {
    auto* transfer = static_cast<CurlTransfer*>(self);
    std::size_t length = size * count;
    transfer->noteActivity();
    if (transfer->holdBody_) {
      transfer->bodyWaiting_ = true;
      return CURL_WRITEFUNC_PAUSE;
    }
    transfer->bodyStarted_ = true;
    transfer->noteBytes(length);
    std::string_view bytes(data, length);
    if (transfer->sink_) return transfer->sink_(bytes) ? length : 0;
    std::string& body = transfer->body_;
    if (body.size() + length > transfer->bodyLimit_) {
      body.append(bytes.substr(0, transfer->bodyLimit_ - body.size()));
      transfer->bodyLimitPassed_ = true;
      return 0;
    }
    body.append(bytes);
    return length;
  }

  static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<CurlTransfer*>(self)->abandonWanted() ? 1 : 0;
  }
};

CurlTransfer::CurlTransfer(void* multi) {
  if (!curlAvailable()) return;
  easy_ = curl_easy_init();
  ownsMulti_ = multi == nullptr;
  multi_ = ownsMulti_ ? curl_multi_init() : multi;
}

CurlTransfer::~CurlTransfer() {
  if (attached_) curl_multi_remove_handle(multiOf(multi_), easyOf(easy_));
  if (easy_ != nullptr) curl_easy_cleanup(easyOf(easy_));
  if (ownsMulti_ && multi_ != nullptr) curl_multi_cleanup(multiOf(multi_));
}

bool CurlTransfer::prepare() {
  if (!valid()) return false;
  if (attached_) curl_multi_remove_handle(multiOf(multi_), easyOf(easy_));
  attached_ = finished_ = false;
  step_ = FetchStep::sending;
  code_ = CURLE_OK;
  error_[0] = '\0';
  lastUploaded_ = 0;
  uploadSize_ = 0;
  followRedirects_ = httpsOnly_ = false;
  minimumRate_ = 0;
  received_ = rateReceived_ = 0;
  tooSlow_ = false;
  block_.clear();
  blockStatus_ = 0;
  blockHasLocation_ = blockEnded_ = headersComplete_ = anyResponse_ = false;
  holdBody_ = bodyWaiting_ = bodyStarted_ = false;
  bodyLimit_ = static_cast<std::size_t>(-1);
  bodyLimitPassed_ = false;
  body_.clear();
  sink_ = nullptr;
  abandon_ = nullptr;
  bell_ = nullptr;
  abandoned_ = false;
  curl_easy_reset(easyOf(easy_));
  return set(easy_, CURLOPT_NOSIGNAL, 1L) &&
         set(easy_, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_1}) &&
         set(easy_, CURLOPT_PROTOCOLS_STR, "http,https") && set(easy_, CURLOPT_PROXY, "") &&
         set(easy_, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) &&
         set(easy_, CURLOPT_ERRORBUFFER, error_.data()) &&
         set(easy_, CURLOPT_HEADERFUNCTION, &TransferCallbacks::onHeader) &&
         set(easy_, CURLOPT_HEADERDATA, this) &&
         set(easy_, CURLOPT_WRITEFUNCTION, &TransferCallbacks::onBody) &&
         set(easy_, CURLOPT_WRITEDATA, this) && setIdleTimeout(std::chrono::milliseconds(30000)) &&
         setFollowRedirects(false);
}

bool CurlTransfer::setIdleTimeout(std::chrono::milliseconds timeout) {
  idleTimeout_ = std::max(timeout, std::chrono::milliseconds(1));
  return set(easy_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(idleTimeout_.count()));
}

bool CurlTransfer::setAbandon(std::function<bool()> abandon, StopBell* bell) {
  abandon_ = std::move(abandon);
  bell_ = abandon_ ? bell : nullptr;
  if (!abandon_) return set(easy_, CURLOPT_NOPROGRESS, 1L);
  return set(easy_, CURLOPT_XFERINFOFUNCTION, &TransferCallbacks::onProgress) &&
         set(easy_, CURLOPT_XFERINFODATA, this) && set(easy_, CURLOPT_NOPROGRESS, 0L);
}

bool CurlTransfer::abandonWanted() {
  if (!abandoned_ && abandon_ && abandon_()) abandoned_ = true;
  return abandoned_;
}

bool CurlTransfer::setFollowRedirects(bool follow, bool httpsOnly) {
  followRedirects_ = follow;
  httpsOnly_ = httpsOnly;
  return set(easy_, CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L) &&
         set(easy_, CURLOPT_MAXREDIRS, kMaxRedirects) &&
         set(easy_, CURLOPT_REDIR_PROTOCOLS_STR, httpsOnly ? "https" : "http,https");
}

void CurlTransfer::setMinimumRate(std::size_t bytesPerSecond, std::chrono::milliseconds window) {
  minimumRate_ = bytesPerSecond;
  rateWindow_ = std::max(window, std::chrono::milliseconds(1));
}

void CurlTransfer::restartRateWindow() {
  rateStart_ = std::chrono::steady_clock::now();
  rateReceived_ = received_;
}

bool CurlTransfer::belowMinimumRate() {
  if (minimumRate_ == 0) return false;
  if (std::chrono::steady_clock::now() - rateStart_ < rateWindow_) return false;
  unsigned long long wanted =
      static_cast<unsigned long long>(minimumRate_) * rateWindow_.count() / 1000;
  if (received_ - rateReceived_ < wanted) return true;
  restartRateWindow();
  return false;
}

std::chrono::milliseconds CurlTransfer::untilRateCheck(std::chrono::milliseconds idle) const {
  if (minimumRate_ == 0) return idle;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      rateStart_ + rateWindow_ - std::chrono::steady_clock::now());
  return std::clamp(left, std::chrono::milliseconds(0), idle);
}

bool CurlTransfer::setRequest(std::string_view verb, std::string_view body) {
  uploadSize_ = 0;
  if (verb == "HEAD") return set(easy_, CURLOPT_NOBODY, 1L);
  if (verb == "GET" && body.empty()) return set(easy_, CURLOPT_HTTPGET, 1L);
  if (verb != "POST" && !set(easy_, CURLOPT_CUSTOMREQUEST, std::string(verb).c_str())) {
    return false;
  }
  if (verb != "POST" && body.empty()) return true;
  uploadSize_ = static_cast<long long>(body.size());
  return set(easy_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size())) &&
         set(easy_, CURLOPT_COPYPOSTFIELDS, body.data());
}

void CurlTransfer::headerLine(std::string_view line) {
  if (line.substr(0, 5) == "HTTP/") {
    // A new response: an interim one (100 Continue), the next hop of a redirect or the final
    // one. Only the last block is kept.
    block_.assign(line).append("\r\n");
    blockStatus_ = statusOf(line);
    blockHasLocation_ = blockEnded_ = headersComplete_ = false;
    anyResponse_ = true;
    return;
  }
  if (blockEnded_ || block_.empty()) return;  // trailers after a chunked body
  block_.append(line).append("\r\n");
  if (startsWithNoCase(line, "location:")) blockHasLocation_ = true;
  if (!line.empty()) return;
  blockEnded_ = true;
  bool interim = blockStatus_ >= 100 && blockStatus_ < 200;
  bool followed =
      followRedirects_ && blockStatus_ >= 300 && blockStatus_ < 400 && blockHasLocation_;
  headersComplete_ = !interim && !followed;
}

FetchStep CurlTransfer::run() {
  holdBody_ = false;
  return drive(false);
}

FetchStep CurlTransfer::runUntilHeaders() {
  holdBody_ = true;
  return drive(true);
}

FetchStep CurlTransfer::resume() {
  if (finished_) return step_;
  holdBody_ = false;
  noteActivity();
  restartRateWindow();  // the time the body waited for the reader is not the server's
  if (bodyWaiting_) {
    bodyWaiting_ = false;
    // Hands the held bytes to the body callback before it returns; a refusal there ends
    // the transfer.
    CURLcode code = curl_easy_pause(easyOf(easy_), CURLPAUSE_CONT);
    if (code != CURLE_OK) {
      code_ = code;
      return finish();
    }
  }
  return drive(false);
}

FetchStep CurlTransfer::drive(bool stopAtHeaders) {
  if (finished_) return step_;
  CURLM* multi = multiOf(multi_);
  if (!attached_) {
    if (curl_multi_add_handle(multi, easyOf(easy_)) != CURLM_OK) {
      code_ = CURLE_FAILED_INIT;
      finished_ = true;
      return step_ = FetchStep::sending;
    }
    attached_ = true;
    noteActivity();
    restartRateWindow();
  }
  // A ring wakes the poll below; one rung before the poll starts still wakes it.
  std::optional<StopBell::Listener> listener;
  if (bell_) listener.emplace(*bell_, [multi] { curl_multi_wakeup(multi); });
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      code_ = CURLE_OUT_OF_MEMORY;
      break;
    }
    int left = 0;
    bool done = false;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
      if (message->msg == CURLMSG_DONE) {
        code_ = message->data.result;
        done = true;
      }
    }
    if (done) break;
    if (abandonWanted()) {
      code_ = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    if (stopAtHeaders && (bodyWaiting_ || headersComplete_)) {
      return step_ = FetchStep::readingBody;
    }
    curl_off_t uploaded = 0;
    curl_easy_getinfo(easyOf(easy_), CURLINFO_SIZE_UPLOAD_T, &uploaded);
    if (uploaded != lastUploaded_) {
      lastUploaded_ = uploaded;
      noteActivity();
    }
    auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - lastActivity_);
    if (idle >= idleTimeout_) {
      code_ = CURLE_OPERATION_TIMEDOUT;
      break;
    }
    if (belowMinimumRate()) {
      tooSlow_ = true;
      code_ = CURLE_OPERATION_TIMEDOUT;
      break;
    }
    auto wait = untilRateCheck(idleTimeout_ - idle);
    if (!bell_) wait = std::min(wait, kLongestPoll);
    curl_multi_poll(multi, nullptr, 0, static_cast<int>(wait.count()) + 1, nullptr);
  }
  return finish();
}

FetchStep CurlTransfer::finish() {
  curl_multi_remove_handle(multiOf(multi_), easyOf(easy_));
  attached_ = false;
  finished_ = true;
  return step_ = stepReached();
}

FetchStep CurlTransfer::stepReached() const {
  if (code_ == CURLE_OK) return FetchStep::done;
  if (headersComplete_ || bodyStarted_) return FetchStep::readingBody;
  curl_off_t beforeTransfer = 0;
  curl_easy_getinfo(easyOf(easy_), CURLINFO_PRETRANSFER_TIME_T, &beforeTransfer);
  curl_off_t uploaded = 0;
  curl_easy_getinfo(easyOf(easy_), CURLINFO_SIZE_UPLOAD_T, &uploaded);
  bool uploadCut = !anyResponse_ && uploaded < uploadSize_;
  CURLcode code = static_cast<CURLcode>(code_);
  if (failedBeforeSending(code) || beforeTransfer == 0 || uploadCut) return FetchStep::sending;
  return FetchStep::awaitingAnswer;
}

FetchFailure CurlTransfer::failure() const {
  if (!finished_ || code_ == CURLE_OK) return FetchFailure::none;
  if (abandoned_) return FetchFailure::stopped;
  if (tooSlow_) return FetchFailure::tooSlow;
  if (bodyLimitPassed_) return FetchFailure::tooLarge;
  // The one protocol left out of an https-only redirect is http.
  if (httpsOnly_ && code_ == CURLE_UNSUPPORTED_PROTOCOL && blockStatus_ >= 300 &&
      blockStatus_ < 400 && blockHasLocation_) {
    return FetchFailure::redirectRefused;
  }
  return failureOf(static_cast<CURLcode>(code_));
}

FetchResponse CurlTransfer::takeResponse() {
  FetchResponse response;
  response.failure = failure();
  response.step = step_;
  if (response.failure != FetchFailure::none) {
    response.reason = error_[0] != '\0' ? std::string(error_.data())
                                        : curl_easy_strerror(static_cast<CURLcode>(code_));
  }
  if (response.failure == FetchFailure::tls) {
    long verifyResult = X509_V_OK;
    curl_easy_getinfo(easyOf(easy_), CURLINFO_SSL_VERIFYRESULT, &verifyResult);
    response.certificate = certificateProblem(static_cast<CURLcode>(code_), verifyResult);
  }
  char* url = nullptr;
  if (curl_easy_getinfo(easyOf(easy_), CURLINFO_EFFECTIVE_URL, &url) == CURLE_OK && url) {
    response.host = fetchUrlHost(url);
  }
  response.status = blockStatus_;
  response.headers = block_;
  response.body = std::move(body_);
  body_.clear();
  curl_off_t connectTime = 0;
  curl_easy_getinfo(easyOf(easy_), CURLINFO_CONNECT_TIME_T, &connectTime);
  response.connected = connectTime > 0 || step_ != FetchStep::sending;
  return response;
}

}  // namespace quenbo::net
