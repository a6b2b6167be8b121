#include "net/curl_transfer.h"

#include <algorithm>
#include <mutex>
#include <optional>

#include "base/text.h"

namespace quenbo {
namespace {

constexpr long kMaxRedirects = 10;
// Without a stop bell, the longest a poll sleeps before the abandon question is asked again.
constexpr std::chrono::milliseconds kLongestPoll{50};

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

}  // namespace

bool curlAvailable() {
  static std::once_flag once;
  static bool available = false;
  std::call_once(once, [] { available = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return available;
}

CurlHeaderList::~CurlHeaderList() {
  curl_slist_free_all(list_);
}

bool CurlHeaderList::append(std::string_view line) {
  if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return false;
  curl_slist* grown = curl_slist_append(list_, std::string(line).c_str());
  if (grown == nullptr) return false;
  list_ = grown;
  return true;
}

bool CurlHeaderList::appendHeaderText(std::string_view text) {
  bool all = true;
  while (!text.empty()) {
    std::size_t end = text.find("\r\n");
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
    if (line.empty()) continue;
    std::size_t colon = line.find(':');
    std::string_view name = line.substr(0, colon);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    std::string_view value = line.substr(colon == std::string_view::npos ? line.size() : colon + 1);
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

bool CurlHeaderList::given(std::string_view name) const {
  return std::find(names_.begin(), names_.end(), lowerAscii(name)) != names_.end();
}

bool CurlHeaderList::suppressUnlessGiven(std::string_view name) {
  return given(name) || append(std::string(name) + ":");
}

CurlTransfer::CurlTransfer(CURLM* multi) {
  if (!curlAvailable()) return;
  easy_ = curl_easy_init();
  ownsMulti_ = multi == nullptr;
  multi_ = ownsMulti_ ? curl_multi_init() : multi;
}

CurlTransfer::~CurlTransfer() {
  if (attached_) curl_multi_remove_handle(multi_, easy_);
  if (easy_ != nullptr) curl_easy_cleanup(easy_);
  if (ownsMulti_ && multi_ != nullptr) curl_multi_cleanup(multi_);
}

bool CurlTransfer::prepare() {
  if (!valid()) return false;
  if (attached_) curl_multi_remove_handle(multi_, easy_);
  attached_ = finished_ = false;
  outcome_ = TransferOutcome::complete;
  code_ = CURLE_OK;
  lastUploaded_ = 0;
  uploadSize_ = 0;
  followRedirects_ = false;
  block_.clear();
  blockStatus_ = 0;
  blockHasLocation_ = blockEnded_ = headersComplete_ = anyResponse_ = false;
  holdBody_ = bodyWaiting_ = bodyStarted_ = false;
  bodyLimit_ = static_cast<std::size_t>(-1);
  body_.clear();
  sink_ = nullptr;
  abandon_ = nullptr;
  bell_ = nullptr;
  abandoned_ = false;
  curl_easy_reset(easy_);
  return set(CURLOPT_NOSIGNAL, 1L) && set(CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_1}) &&
         set(CURLOPT_PROTOCOLS_STR, "http,https") && set(CURLOPT_PROXY, "") &&
         set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) &&
         set(CURLOPT_HEADERFUNCTION, &CurlTransfer::onHeader) && set(CURLOPT_HEADERDATA, this) &&
         set(CURLOPT_WRITEFUNCTION, &CurlTransfer::onBody) && set(CURLOPT_WRITEDATA, this) &&
         setIdleTimeout(std::chrono::milliseconds(30000)) && setFollowRedirects(false);
}

bool CurlTransfer::setIdleTimeout(std::chrono::milliseconds timeout) {
  idleTimeout_ = std::max(timeout, std::chrono::milliseconds(1));
  return set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(idleTimeout_.count()));
}

bool CurlTransfer::setDeadline(std::chrono::milliseconds deadline) {
  return set(CURLOPT_TIMEOUT_MS, static_cast<long>(std::max<long long>(deadline.count(), 1)));
}

bool CurlTransfer::setAbandon(std::function<bool()> abandon, StopBell* bell) {
  abandon_ = std::move(abandon);
  bell_ = abandon_ ? bell : nullptr;
  if (!abandon_) return set(CURLOPT_NOPROGRESS, 1L);
  return set(CURLOPT_XFERINFOFUNCTION, &CurlTransfer::onProgress) &&
         set(CURLOPT_XFERINFODATA, this) && set(CURLOPT_NOPROGRESS, 0L);
}

bool CurlTransfer::abandonWanted() {
  if (!abandoned_ && abandon_ && abandon_()) abandoned_ = true;
  return abandoned_;
}

int CurlTransfer::onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<CurlTransfer*>(self)->abandonWanted() ? 1 : 0;
}

bool CurlTransfer::setFollowRedirects(bool follow) {
  followRedirects_ = follow;
  return set(CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L) && set(CURLOPT_MAXREDIRS, kMaxRedirects) &&
         set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
}

bool CurlTransfer::setRequest(std::string_view verb, std::string_view body) {
  uploadSize_ = 0;
  if (verb == "HEAD") return set(CURLOPT_NOBODY, 1L);
  if (verb == "GET" && body.empty()) return set(CURLOPT_HTTPGET, 1L);
  if (verb != "POST" && !set(CURLOPT_CUSTOMREQUEST, std::string(verb).c_str())) return false;
  if (verb != "POST" && body.empty()) return true;
  uploadSize_ = static_cast<long long>(body.size());
  return set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size())) &&
         set(CURLOPT_COPYPOSTFIELDS, body.data());
}

size_t CurlTransfer::onHeader(char* data, size_t size, size_t count, void* self) {
  auto* transfer = static_cast<CurlTransfer*>(self);
  transfer->noteActivity();
  std::string_view line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  transfer->headerLine(line);
  return size * count;
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

size_t CurlTransfer::onBody(char* data, size_t size, size_t count, void* self) {
  auto* transfer = static_cast<CurlTransfer*>(self);
  std::size_t length = size * count;
  transfer->noteActivity();
  if (transfer->holdBody_) {
    transfer->bodyWaiting_ = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  transfer->bodyStarted_ = true;
  std::string_view bytes(data, length);
  if (transfer->sink_) return transfer->sink_(bytes) ? length : 0;
  std::string& body = transfer->body_;
  if (body.size() + length > transfer->bodyLimit_) {
    body.append(bytes.substr(0, transfer->bodyLimit_ - body.size()));
    return 0;
  }
  body.append(bytes);
  return length;
}

TransferOutcome CurlTransfer::run() {
  holdBody_ = false;
  return drive(false);
}

TransferOutcome CurlTransfer::runUntilHeaders() {
  holdBody_ = true;
  return drive(true);
}

TransferOutcome CurlTransfer::resume() {
  if (finished_) return outcome_;
  holdBody_ = false;
  noteActivity();
  if (bodyWaiting_) {
    bodyWaiting_ = false;
    // Hands the held bytes to the body callback before it returns.
    curl_easy_pause(easy_, CURLPAUSE_CONT);
  }
  return drive(false);
}

TransferOutcome CurlTransfer::drive(bool stopAtHeaders) {
  if (finished_) return outcome_;
  if (!attached_) {
    if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) {
      code_ = CURLE_FAILED_INIT;
      finished_ = true;
      return outcome_ = TransferOutcome::sendFailed;
    }
    attached_ = true;
    noteActivity();
  }
  // A ring wakes the poll below; one rung before the poll starts still wakes it.
  CURLM* multi = multi_;
  std::optional<StopBell::Listener> listener;
  if (bell_) listener.emplace(*bell_, [multi] { curl_multi_wakeup(multi); });
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi_, &running) != CURLM_OK) {
      code_ = CURLE_OUT_OF_MEMORY;
      break;
    }
    int left = 0;
    bool done = false;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
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
    if (stopAtHeaders && (bodyWaiting_ || headersComplete_)) return TransferOutcome::complete;
    curl_off_t uploaded = 0;
    curl_easy_getinfo(easy_, CURLINFO_SIZE_UPLOAD_T, &uploaded);
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
    auto wait = bell_ ? idleTimeout_ - idle : std::min(idleTimeout_ - idle, kLongestPoll);
    curl_multi_poll(multi_, nullptr, 0, static_cast<int>(wait.count()) + 1, nullptr);
  }
  curl_multi_remove_handle(multi_, easy_);
  attached_ = false;
  finished_ = true;
  return outcome_ = classify();
}

long CurlTransfer::responseCode() const {
  long status = 0;
  curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
  return status;
}

TransferOutcome CurlTransfer::classify() const {
  if (code_ == CURLE_OK) return TransferOutcome::complete;
  if (headersComplete_ || bodyStarted_) return TransferOutcome::readFailed;
  curl_off_t beforeTransfer = 0;
  curl_easy_getinfo(easy_, CURLINFO_PRETRANSFER_TIME_T, &beforeTransfer);
  curl_off_t uploaded = 0;
  curl_easy_getinfo(easy_, CURLINFO_SIZE_UPLOAD_T, &uploaded);
  bool uploadCut = !anyResponse_ && uploaded < uploadSize_;
  if (failedBeforeSending(code_) || beforeTransfer == 0 || uploadCut) {
    return TransferOutcome::sendFailed;
  }
  return TransferOutcome::noResponse;
}

}  // namespace quenbo
