#include "net/transfer_client.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "base/files.h"
#include "base/text_search.h"
#include "net/curl_transfer.h"
#include "net/request_url.h"
#include "net/url_parts.h"

namespace quenbo {
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
  if (!transfer_) transfer_ = std::make_unique<CurlTransfer>();
  if (!available_ || !transfer_->valid()) {
    transfer_.reset();
    return false;
  }
  if (timeoutMs) timeoutMs_ = timeoutMs;
  requestOpen_ = sent_ = false;
  headers_.clear();
  responseHeaders_.clear();
  // Ends an earlier request, keeping the connections.
  if (!transfer_->prepare()) {
    transfer_.reset();
    return false;
  }

  bool secure = lowerAscii(url.substr(0, 5)) == "https";
  RequestUrl target{secure, urlHost(url, false, UrlVariant::transfer),
                    urlPort(url, UrlVariant::transfer), urlPath(url, UrlVariant::transfer)};
  CURLU* parsed = curl_url();
  curlUrl_ = target.curlUrl();
  bool usable =
      !target.host.empty() && parsed != nullptr &&
      curl_url_set(parsed, CURLUPART_URL, curlUrl_.c_str(), CURLU_PATH_AS_IS) == CURLUE_OK;
  curl_url_cleanup(parsed);
  if (!usable) {
    transfer_.reset();
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
  CurlTransfer& transfer = *transfer_;
  sentHeaders_ = std::make_unique<CurlHeaderList>();
  Text lines;
  for (const auto& [name, value] : headers_) lines += name + ":" + value + "\r\n";
  // setHeader refused the lines libcurl could not send.
  (void)sentHeaders_->appendHeaderText(lines);
  if (!sentHeaders_->suppressUnlessGiven("Accept") ||
      !sentHeaders_->suppressUnlessGiven("Expect") ||
      ((!body.empty() || method_ == "POST") &&
       !sentHeaders_->suppressUnlessGiven("Content-Type"))) {
    return false;
  }

  // No overall deadline: a large download may rightly take long while bytes keep coming.
  bool timed = timeoutMs_ ? transfer.setIdleTimeout(std::chrono::milliseconds(*timeoutMs_))
                          : transfer.setIdleTimeout(std::chrono::seconds(30)) &&
                                transfer.set(CURLOPT_CONNECTTIMEOUT_MS, 60000L);
  if (!timed) return false;
  // Certificates are verified (libcurl's default): an update must come from its real host.
  bool configured =
      transfer.set(CURLOPT_URL, curlUrl_.c_str()) && transfer.set(CURLOPT_PATH_AS_IS, 1L) &&
      transfer.set(CURLOPT_SSL_VERIFYPEER, 1L) && transfer.set(CURLOPT_SSL_VERIFYHOST, 2L) &&
      transfer.set(CURLOPT_BUFFERSIZE, static_cast<long>(kReadSize)) &&
      transfer.set(CURLOPT_HTTPHEADER, sentHeaders_->get()) && transfer.setFollowRedirects(true) &&
      transfer.setRequest(method_, body);
  if (configured && !trustedCertificates_.empty()) {
    configured = transfer.set(CURLOPT_CAINFO, trustedCertificates_.c_str());
  }
  if (configured && abandon_) configured = transfer.setAbandon(abandon_, stopBell_);
  if (!configured) return false;
  if (transfer.runUntilHeaders() == TransferOutcome::sendFailed || transfer.abandoned()) {
    return false;
  }
  responseHeaders_ = transfer.headerBlock();
  return true;
}

Text TransferClient::responseHeader(std::string_view name) const {
  if (name.empty()) return Text();
  int at = findText(responseHeaders_, Text(name) + ":");
  if (at == -1) return Text();
  std::size_t start = at - 1 + name.size() + 2;
  if (start > responseHeaders_.size()) return Text();
  std::size_t end = responseHeaders_.find("\r\n", start);
  return responseHeaders_.substr(start, end == std::string::npos ? Text::npos : end - start);
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
  transfer_->setBodySink([&](std::string_view bytes) {
    if (!writeAll(fd, bytes)) return written = false;
    auto now = std::chrono::steady_clock::now();
    elapsed += std::chrono::duration_cast<std::chrono::milliseconds>(now - previousRead).count();
    previousRead = now;
    transferred += static_cast<std::int64_t>(bytes.size());
    progress.elapsed = elapsed;
    progress.transferred = transferred;
    return true;
  });
  bool complete = transfer_->resume() == TransferOutcome::complete;
  transfer_->setBodySink(nullptr);
  if (reporter.joinable()) {
    progress.transferred = TransferProgress::kEndMarker;
    reporter.join();
  }
  bool closed = ::close(fd) == 0;
  return complete && written && closed;
}

bool TransferClient::close() {
  transfer_.reset();
  sentHeaders_.reset();
  requestOpen_ = sent_ = false;
  timeoutMs_.reset();
  headers_.clear();
  responseHeaders_.clear();
  return available_;
}

}  // namespace quenbo
