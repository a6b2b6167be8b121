// One libcurl transfer, driven on the calling thread: the part of the fetch core that runs a
// request once it is set up. Used by net/fetch.cpp only. libcurl's handles are passed as
// void* (a CURL, a CURLM) so that no header includes libcurl's.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "base/stop_bell.h"
#include "net/fetch.h"

namespace quenbo::net {

struct TransferCallbacks;

class CurlTransfer final {
 public:
  // With `multi`, the transfer runs in that multi handle (and leaves its connection in its
  // cache for the next transfer there); the caller keeps it alive longer than the transfer.
  // Without, the transfer has a multi handle, and so a connection, of its own.
  explicit CurlTransfer(void* multi = nullptr);
  ~CurlTransfer();
  CurlTransfer(const CurlTransfer&) = delete;
  CurlTransfer& operator=(const CurlTransfer&) = delete;

  bool valid() const { return easy_ != nullptr && multi_ != nullptr; }
  // The easy handle, for the options the transfer does not look after itself.
  void* easy() const { return easy_; }

  // Forgets the options and state of an earlier transfer (keeping live connections) and sets
  // what every transfer of the system uses: HTTP/1.1, http and https only, no proxy taken
  // from the environment, the header and body callbacks. False when libcurl refuses.
  [[nodiscard]] bool prepare();

  // A transfer that moves no byte for this long is abandoned. The same time bounds
  // connecting (libcurl's connect time-out is set to it too).
  [[nodiscard]] bool setIdleTimeout(std::chrono::milliseconds timeout);
  // Following redirects, to http and https URLs only (https only with `httpsOnly`, and then
  // one to http fails as redirectRefused), at most 10 in a row.
  [[nodiscard]] bool setFollowRedirects(bool follow, bool httpsOnly = false);
  // Fewer than `bytesPerSecond` (0: no minimum) in any `window` fail the transfer (tooSlow).
  void setMinimumRate(std::size_t bytesPerSecond, std::chrono::milliseconds window);
  // The verb and body: HEAD asks for no body, GET without a body is a plain GET, every other
  // request sends the body (POST always, even an empty one). The body is copied.
  [[nodiscard]] bool setRequest(std::string_view verb, std::string_view body);
  // Asked while the transfer runs (by libcurl's progress callback and between polls, so at
  // least every 50 ms); once it says true the transfer is abandoned and fails. With a
  // `bell` that is rung whenever the answer may have turned true, the transfer is woken by
  // it and sleeps between events for as long as nothing is due.
  [[nodiscard]] bool setAbandon(std::function<bool()> abandon, StopBell* bell = nullptr);
  // Body bytes past this many fail the read; the bytes up to the limit are kept.
  void setBodyLimit(std::size_t bytes) { bodyLimit_ = bytes; }
  // Sends body bytes somewhere else than the response; a false return fails the read.
  void setBodySink(std::function<bool(std::string_view)> sink) { sink_ = std::move(sink); }

  // Runs the whole transfer.
  FetchStep run();
  // Runs until the final response's header block is in; its body waits in libcurl until
  // resume(). When the transfer ends before that, the step it ended in is returned.
  FetchStep runUntilHeaders();
  FetchStep resume();

  // What the transfer gave so far; the body moves into the response.
  FetchResponse takeResponse();

 private:
  friend struct TransferCallbacks;

  bool abandonWanted();
  void headerLine(std::string_view line);
  FetchStep drive(bool stopAtHeaders);
  FetchStep finish();  // takes the easy handle out of the multi handle
  FetchStep stepReached() const;
  FetchFailure failure() const;
  void noteActivity() { lastActivity_ = std::chrono::steady_clock::now(); }
  void noteBytes(std::size_t count) { received_ += count; }
  void restartRateWindow();
  // Whether the window that just ended fell short of the minimum rate; starts the next one.
  bool belowMinimumRate();
  // How long until the current rate window ends; idle time when there is no minimum.
  std::chrono::milliseconds untilRateCheck(std::chrono::milliseconds idle) const;

  void* easy_ = nullptr;   // a CURL
  void* multi_ = nullptr;  // a CURLM
  bool ownsMulti_ = false;
  bool attached_ = false;
  bool finished_ = false;
  FetchStep step_ = FetchStep::sending;
  int code_ = 0;                   // libcurl's result (a CURLcode)
  std::array<char, 256> error_{};  // libcurl's words for the failure

  std::chrono::milliseconds idleTimeout_{30000};
  std::chrono::steady_clock::time_point lastActivity_;
  long long lastUploaded_ = 0;
  long long uploadSize_ = 0;
  bool followRedirects_ = false;
  bool httpsOnly_ = false;
  std::size_t minimumRate_ = 0;
  std::chrono::milliseconds rateWindow_{30000};
  std::chrono::steady_clock::time_point rateStart_;
  unsigned long long received_ = 0;      // header and body bytes so far
  unsigned long long rateReceived_ = 0;  // received_ when the rate window started
  bool tooSlow_ = false;

  std::string block_;
  int blockStatus_ = 0;
  bool blockHasLocation_ = false;
  bool blockEnded_ = false;
  bool headersComplete_ = false;  // the final response's block has ended
  bool anyResponse_ = false;

  bool holdBody_ = false;     // pause at the first body byte
  bool bodyWaiting_ = false;  // paused with body bytes pending
  bool bodyStarted_ = false;
  std::size_t bodyLimit_ = static_cast<std::size_t>(-1);
  bool bodyLimitPassed_ = false;
  std::string body_;
  std::function<bool(std::string_view)> sink_;
  std::function<bool()> abandon_;
  StopBell* bell_ = nullptr;
  bool abandoned_ = false;
};

}  // namespace quenbo::net
