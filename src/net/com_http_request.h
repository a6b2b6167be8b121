// The request of the update service client: returns the raw body bytes and the status code,
// reports nothing else.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/stop_bell.h"
#include "base/text.h"
#include "net/fetch.h"
#include "net/http_request.h"

namespace quenbo::net {

struct RequestUrl;

// A request object a caller may keep for several calls; its connections stay open between
// them. Use it from one thread at a time.
class RequestObject final {
 public:
  RequestObject();
  ~RequestObject();
  RequestObject(const RequestObject&) = delete;
  RequestObject& operator=(const RequestObject&) = delete;

  bool valid() const;

 private:
  friend struct ComHttpRequest;
  std::unique_ptr<FetchSession> session_;
};

struct ComHttpRequest {
  Text url;
  int method = HttpMethod::get;
  Text bodyText;  // sent when bodyBytes is empty
  // Present (even empty): sent as the Cookie header and merged with the answer's cookies.
  std::optional<Text> cookies;
  Text responseCookies;  // out
  Text extraHeaders;     // in/out: the completed and normalised header text is written back
  Text responseHeaders;  // out: "Name: value" lines of the answer, without the status line
  int statusCode = 0;    // out: 0 when no answer came
  bool noRedirect = false;
  Bytes bodyBytes;
  Text proxy;  // host:port
  // -1: no time-outs of the call's own (60 s to connect, 30 s for each read); above 0:
  // seconds per phase; anything else: 15 seconds.
  int timeoutSeconds = 0;
  Text proxyUserName, proxyPassword;
  int proxyAuthMode = 1;  // 1 sends the proxy credentials, other values nothing
  RequestObject* requestObject = nullptr;
  bool mergeCookies = true;
  bool completeHeaders = true;
  bool normalizeHeaderNames = true;
  // Off for pages (any certificate is taken); the update service turns it on. A PEM file in
  // trustedCertificates is trusted instead of the system's store (tests only).
  bool verifyCertificates = false;
  std::string trustedCertificates;  // native path; empty: the system's store
  int totalTimeoutMs = 0;           // above 0: the whole call, connecting included
  FetchFailure failure = FetchFailure::none;  // out: why no whole answer came
  FetchFault fault;                           // out: the same, with the certificate and host
  // Asked on the calling thread while the request runs; true abandons it (the program
  // closing), and then nothing of the answer is handed back.
  std::function<bool()> abandon;
  // Rung whenever `abandon` may have turned true, so that the call ends at once rather than
  // at its next look at it, 50 ms later.
  StopBell* stopBell = nullptr;

  // A request to https follows no redirect to plain http: the service's answers and what
  // they point at come from an authenticated host or not at all.
  //
  // The body bytes; empty when the request could not be made (libcurl refused a setting)
  // or the transfer failed. The whole call ends after four times its time-out, at most a
  // minute.
  Bytes execute();

 private:
  // Takes a "Cookie:" name out of `cookies`.
  FetchRequest fetchRequest(const std::optional<RequestUrl>& target);
};

}  // namespace quenbo::net
