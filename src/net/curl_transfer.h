// One libcurl transfer, driven on the calling thread. Shared by the request routines and the
// file-transfer client; nothing here is shared between calls or threads.
#pragma once

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/stop_bell.h"

namespace quenbo {

// Initialises libcurl once per process; false when it cannot be used at all.
bool curlAvailable();

// The overall deadline of a request whose steps may each take `idle`: four steps' worth,
// never more than a minute.
constexpr std::chrono::milliseconds requestDeadline(std::chrono::milliseconds idle) {
  return std::min(idle * 4, std::chrono::milliseconds(60000));
}

// A curl_slist of header lines.
class CurlHeaderList final {
 public:
  CurlHeaderList() = default;
  ~CurlHeaderList();
  CurlHeaderList(const CurlHeaderList&) = delete;
  CurlHeaderList& operator=(const CurlHeaderList&) = delete;

  // False when out of memory or when the line holds a CR, LF or NUL byte, which would let it
  // smuggle further header lines onto the request.
  [[nodiscard]] bool append(std::string_view line);
  // Adds every non-empty line of a "\r\n"-separated header text. A line with an empty value
  // goes out as "Name:" (libcurl would otherwise take it as "leave this header out"). Lines
  // without a name before a ":" are left out, and then the result is false.
  [[nodiscard]] bool appendHeaderText(std::string_view text);
  // Keeps libcurl's own header of each name off the request unless the text gave one.
  [[nodiscard]] bool suppressUnlessGiven(std::string_view name);
  curl_slist* get() const { return list_; }

 private:
  bool given(std::string_view name) const;

  curl_slist* list_ = nullptr;
  std::vector<std::string> names_;  // lower-cased names of the lines added
};

// Where a failed transfer stopped.
enum class TransferOutcome {
  complete,    // the whole response arrived
  sendFailed,  // resolving, connecting, the TLS handshake or sending the request failed
  noResponse,  // the request went out but no complete response header block came back
  readFailed,  // the header block arrived, the body did not (or passed the body limit)
};

class CurlTransfer final {
 public:
  // With `multi`, the transfer runs in that multi handle (and leaves its connection in its
  // cache for the next transfer there); the caller keeps it alive longer than the transfer.
  // Without, the transfer has a multi handle, and so a connection, of its own.
  explicit CurlTransfer(CURLM* multi = nullptr);
  ~CurlTransfer();
  CurlTransfer(const CurlTransfer&) = delete;
  CurlTransfer& operator=(const CurlTransfer&) = delete;

  bool valid() const { return easy_ != nullptr && multi_ != nullptr; }

  // Forgets the options and state of an earlier transfer (keeping live connections) and sets
  // what every transfer of the system uses: HTTP/1.1, http and https only, no proxy taken
  // from the environment, the header and body callbacks. False when libcurl refuses.
  [[nodiscard]] bool prepare();

  template <typename T>
  [[nodiscard]] bool set(CURLoption option, T value) {
    return curl_easy_setopt(easy_, option, value) == CURLE_OK;
  }

  // A transfer that moves no byte for this long is abandoned. The same time bounds
  // connecting (libcurl's connect time-out is set to it too).
  [[nodiscard]] bool setIdleTimeout(std::chrono::milliseconds timeout);
  // Following redirects, to http and https URLs only, at most 10 in a row.
  [[nodiscard]] bool setFollowRedirects(bool follow);
  // The verb and body: HEAD asks for no body, GET without a body is a plain GET, every other
  // request sends the body (POST always, even an empty one). The body is copied.
  [[nodiscard]] bool setRequest(std::string_view verb, std::string_view body);
  // The whole transfer, headers and body, ends after this long however steadily bytes come
  // in: a body dripping one byte a second must not hold a request open for ever.
  [[nodiscard]] bool setDeadline(std::chrono::milliseconds deadline);
  // Asked while the transfer runs (by libcurl's progress callback and between polls, so at
  // least every 50 ms); once it says true the transfer is abandoned and fails. With a
  // `bell` that is rung whenever the answer may have turned true, the transfer is woken by
  // it and sleeps between events for as long as nothing is due.
  [[nodiscard]] bool setAbandon(std::function<bool()> abandon, StopBell* bell = nullptr);
  bool abandoned() const { return abandoned_; }
  // Body bytes past this many fail the read; the bytes up to the limit are kept.
  void setBodyLimit(std::size_t bytes) { bodyLimit_ = bytes; }
  // Sends body bytes somewhere else than body(); a false return fails the read.
  void setBodySink(std::function<bool(std::string_view)> sink) { sink_ = std::move(sink); }

  // Runs the whole transfer.
  TransferOutcome run();
  // Runs until the final response's header block is in; its body waits in libcurl until
  // resume(). When the transfer ends before that, its outcome is returned.
  TransferOutcome runUntilHeaders();
  TransferOutcome resume();
  bool finished() const { return finished_; }

  // The final response's header block: status line first, every line ending in "\r\n",
  // the empty line last. Empty when no response began.
  const std::string& headerBlock() const { return block_; }
  std::string& body() { return body_; }
  CURLcode code() const { return code_; }
  long responseCode() const;

 private:
  static size_t onHeader(char* data, size_t size, size_t count, void* self);
  static size_t onBody(char* data, size_t size, size_t count, void* self);
  static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
  bool abandonWanted();
  void headerLine(std::string_view line);
  TransferOutcome drive(bool stopAtHeaders);
  TransferOutcome classify() const;
  void noteActivity() { lastActivity_ = std::chrono::steady_clock::now(); }

  CURL* easy_ = nullptr;
  CURLM* multi_ = nullptr;
  bool ownsMulti_ = false;
  bool attached_ = false;
  bool finished_ = false;
  TransferOutcome outcome_ = TransferOutcome::complete;
  CURLcode code_ = CURLE_OK;

  std::chrono::milliseconds idleTimeout_{30000};
  std::chrono::steady_clock::time_point lastActivity_;
  curl_off_t lastUploaded_ = 0;
  long long uploadSize_ = 0;
  bool followRedirects_ = false;

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
  std::string body_;
  std::function<bool(std::string_view)> sink_;
  std::function<bool()> abandon_;
  StopBell* bell_ = nullptr;
  bool abandoned_ = false;
};

}  // namespace quenbo
