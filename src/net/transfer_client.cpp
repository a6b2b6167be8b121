#include "net/transfer_client.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "base/files.h"
#include "base/text_search.h"
#include "net/header_text.h"
#include "net/request_url.h"
#include "net/url_parts.h"

namespace quenbo::net {
namespace {

std::int64_t contentLength(std::string_view text) {
  std::size_t i = text.find_first_not_of(' ');
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value > (INT64_MAX - 9) / 10) return 0;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

TransferClient::TransferClient() : available_(curlAvailable()) {}

TransferClient::~TransferClient() {
  close();
}

bool TransferClient::open(std::string_view method, std::string_view url,
                          std::optional<int> timeoutMs) {
  if (!session_) session_ = std::make_unique<FetchSession>();
  if (!available_ || !session_->valid()) {
    session_.reset();
    return false;
  }
  if (timeoutMs) timeoutMs_ = timeoutMs;
  requestOpen_ = sent_ = false;
  headers_.clear();
  responseHeaders_.clear();
  fault_ = FetchFault();

  bool secure = lowerAscii(url.substr(0, 5)) == "https";
  RequestUrl target{secure, urlHost(url, false, UrlVariant::transfer),
                    urlPort(url, UrlVariant::transfer), urlPath(url, UrlVariant::transfer)};
  curlUrl_ = target.curlUrl();
  if (target.host.empty() || !fetchableUrl(curlUrl_)) {
    session_.reset();
    return false;
  }
  method_ = lowerAscii(method);
  for (char& c : method_) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
  requestOpen_ = true;
  return true;
}

bool TransferClient::setHeader(std::string_view name, std::string_view value) {
  if (!requestOpen_ || name.find_first_of("\r\n") != std::string_view::npos ||
      value.find_first_of("\r\n") != std::string_view::npos) {
    return false;
  }
  for (auto& header : headers_) {
    if (lowerAscii(header.first) == lowerAscii(name)) {
      header.second = Text(value);
      return true;
    }
  }
  headers_.emplace_back(Text(name), Text(value));
  return true;
}

bool TransferClient::send(std::string_view body) {
  responseHeaders_.clear();
  if (!requestOpen_ || sent_) return false;
  sent_ = true;
  FetchRequest request;
  request.url = curlUrl_;
  request.verb = method_;
  request.body = body;
  // setHeader refused the lines libcurl could not send.
  for (const auto& [name, value] : headers_) request.headers += name + ":" + value + "\r\n";
  // No overall deadline unless one is set: a large download may rightly take long while
  // bytes keep coming.
  request.deadline = deadline_;
  request.minimumRate = minimumRate_;
  request.rateWindow = rateWindow_;
  if (timeoutMs_) {
    request.idleTimeout = std::chrono::milliseconds(*timeoutMs_);
  } else {
    request.idleTimeout = std::chrono::seconds(30);
    request.connectTimeout = std::chrono::seconds(60);
  }
  // Certificates are verified: an update must come from its real host.
  request.verifyCertificates = true;
  request.trustedCertificates = trustedCertificates_;
  request.readSize = kReadSize;
  request.followRedirects = true;
  request.keepHttps = true;
  request.abandon = abandon_;
  request.stopBell = stopBell_;
  FetchResponse response = session_->fetchHeaders(request);
  fault_ = faultOf(response);
  if (response.step == FetchStep::sending || response.failure == FetchFailure::stopped) {
    return false;
  }
  responseHeaders_ = response.headers;
  return true;
}

Text TransferClient::responseHeader(std::string_view name) const {
  return answerHeader(responseHeaders_, name).value_or(Text());
}

bool TransferClient::receiveToFile(const std::filesystem::path& directory,
                                   const std::filesystem::path& fileName,
                                   TransferCallback callback, int userValue) {
  if (!directoryExists(directory)) return false;
  std::int64_t total = contentLength(responseHeader("Content-Length"));
  if (total <= 0 || !sent_) return false;
  int fd = ::open((directory / fileName).c_str(),
                  O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;

  TransferProgress progress;
  std::thread reporter;
  if (callback) {
    progress.callback = std::move(callback);
    progress.userValue = userValue;
    progress.total = total;
    reporter = std::thread([&progress] { reportProgress(progress); });
  }
  auto previousRead = std::chrono::steady_clock::now();
  std::int64_t transferred = 0, elapsed = 0;
  bool written = true;
  FetchResponse response = session_->readBody([&](std::string_view bytes) {
    if (!writeAll(fd, bytes)) return written = false;
    auto now = std::chrono::steady_clock::now();
    elapsed += std::chrono::duration_cast<std::chrono::milliseconds>(now - previousRead).count();
    previousRead = now;
    transferred += static_cast<std::int64_t>(bytes.size());
    progress.elapsed = elapsed;
    progress.transferred = transferred;
    return true;
  });
  fault_ = faultOf(response);
  if (reporter.joinable()) {
    progress.transferred = TransferProgress::kEndMarker;
    reporter.join();
  }
  bool closed = ::close(fd) == 0;
  return response.ok() && written && closed;
}

bool TransferClient::close() {
  session_.reset();
  requestOpen_ = sent_ = false;
  fault_ = FetchFault();
  timeoutMs_.reset();
  headers_.clear();
  responseHeaders_.clear();
  return available_;
}

}  // namespace quenbo::net
