// The download client of the updater: opens a request, takes header lines one by one, sends,
// and streams the body straight into a file while a progress thread reports to a callback.
// Unlike the page requests it verifies the server certificate, and it follows no redirect
// from https to plain http: what it fetches is run.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/stop_bell.h"
#include "base/text.h"
#include "net/fetch.h"
#include "net/transfer_progress.h"

namespace quenbo::net {

// Used from one thread; the progress callback runs on a thread of its own.
class TransferClient final {
 public:
  static constexpr std::size_t kReadSize = 5120;

  TransferClient();
  ~TransferClient();  // closes
  TransferClient(const TransferClient&) = delete;
  TransferClient& operator=(const TransferClient&) = delete;

  // Prepares a request (method upper-cased) for the URL, replacing an earlier one; a URL
  // without a scheme is taken as plain http. `timeoutMs` bounds connecting and each read;
  // without it connecting may take 60 s and each read 30 s.
  [[nodiscard]] bool open(std::string_view method, std::string_view url,
            std::optional<int> timeoutMs = std::nullopt);
  // Sets "name:value"; a name set before gets the new value.
  [[nodiscard]] bool setHeader(std::string_view name, std::string_view value);
  // Sends the request and returns once the response headers are in (the body waits). False
  // when the request could not go out (no connection, certificate refused).
  [[nodiscard]] bool send(std::string_view body = {});
  // Writes the body into directory/fileName in reads of kReadSize bytes. Needs an existing
  // directory and a positive Content-Length; false otherwise, and when the file cannot be
  // created or the body arrives short (the part written stays on disk). With a callback, a
  // progress thread reports while the body arrives and once more at the end; it has ended
  // when this returns.
  [[nodiscard]] bool receiveToFile(const std::filesystem::path& directory,
                                   const std::filesystem::path& fileName,
                                   TransferCallback callback = nullptr, int userValue = 0);
  // The value of the answer's header line of that whole name (in any case), up to the end
  // of its line; empty when there is none.
  Text responseHeader(std::string_view name) const;
  // Why the last send or receive failed; none after a success and after open or close.
  FetchFailure failure() const { return fault_.failure; }
  // The same, with the refused certificate's problem and the host.
  const FetchFault& fault() const { return fault_; }
  // Take effect at the next send: fewer than `bytesPerSecond` over any `window` fail the
  // transfer (tooSlow), however steadily they trickle; and the whole transfer, its body
  // included, ends after `deadline` (timeout).
  void setMinimumRate(std::size_t bytesPerSecond, std::chrono::milliseconds window) {
    minimumRate_ = bytesPerSecond;
    rateWindow_ = window;
  }
  void setDeadline(std::chrono::milliseconds deadline) { deadline_ = deadline; }
  // Trusts the certificates of this PEM file instead of the system's store (tests point it
  // at their server's certificate); empty: the system's store. Takes effect at the next send.
  void trustCertificates(std::string pemFile) { trustedCertificates_ = std::move(pemFile); }
  // Asked while a request runs (sending and receiving); true abandons it (the program
  // closing), and the call fails. `stopBell` rings whenever it may have turned true. Takes
  // effect at the next send.
  void setAbandon(std::function<bool()> abandon, StopBell* stopBell) {
    abandon_ = std::move(abandon);
    stopBell_ = stopBell;
  }
  // Ends request and connection and forgets the response; the client can be opened again.
  bool close();

 private:
  bool available_;
  std::unique_ptr<FetchSession> session_;  // kept across requests
  bool requestOpen_ = false;
  bool sent_ = false;
  std::string method_;
  std::string curlUrl_;
  std::optional<int> timeoutMs_;
  std::vector<std::pair<Text, Text>> headers_;
  Text responseHeaders_;
  FetchFault fault_;
  std::size_t minimumRate_ = 0;
  std::chrono::milliseconds rateWindow_{30000};
  std::optional<std::chrono::milliseconds> deadline_;
  std::string trustedCertificates_;
  std::function<bool()> abandon_;
  StopBell* stopBell_ = nullptr;
};

}  // namespace quenbo::net
