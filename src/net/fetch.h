// The one HTTP fetch core: a request given as a value, made with libcurl on the calling thread,
// and the answer handed back as a value that says how far the request got and why it failed.
// Every transport of the system (the request engine, the page and service requests, the
// download client, the poster download) builds on it; none of them drives libcurl itself.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/stop_bell.h"

namespace quenbo::net {

class CurlHeaderList;
class CurlTransfer;
class PageConnection;

// Initialises libcurl once per process; false when it cannot be used at all.
bool curlAvailable();

// Whether libcurl can use this URL as a request's URL (a scheme it knows, a host, a port).
bool fetchableUrl(const std::string& url);

// The host of a URL as libcurl reads it ("[::1]" for an IPv6 address), lower-cased; empty when
// it has none or libcurl cannot read the URL.
std::string fetchUrlHost(const std::string& url);

// The overall deadline of a request whose steps may each take `idle`: four steps' worth,
// never more than a minute.
constexpr std::chrono::milliseconds requestDeadline(std::chrono::milliseconds idle) {
  return std::min(idle * 4, std::chrono::milliseconds(60000));
}

// Why a request failed.
enum class FetchFailure {
  none,
  unavailable,  // libcurl cannot be used in this process
  setup,        // libcurl refused a setting (FetchResponse::refused names it); nothing went out
  badUrl,       // libcurl could not use the URL, or a redirect's target
  resolve,      // the host or proxy name did not resolve
  connect,      // no connection to the host or proxy
  tls,          // the TLS handshake failed or the certificate was refused
  timeout,      // no byte moved for the idle time, or the deadline passed
  tooLarge,     // the body passed the limit
  tooSlow,      // fewer bytes came in a rate window than the minimum rate asks for
  redirectRefused,  // a redirect from https led to plain http (FetchRequest::keepHttps)
  dropped,      // the connection broke off, or what came was no HTTP answer
  stopped,      // the abandon check asked for it
  other,        // anything else libcurl reports (see FetchResponse::reason)
};

// Why a certificate was refused (with FetchFailure::tls).
enum class CertificateProblem {
  none,
  hostName,   // it does not name the host asked for
  expired,    // out of its dates
  untrusted,  // no trusted issuer (self-signed, unknown authority)
  other,
};

// How far a request got; a failed request stopped in this step.
enum class FetchStep {
  sending,         // resolving, connecting, the TLS handshake, sending the request
  awaitingAnswer,  // the request went out; the final answer's header block has not ended
  readingBody,     // the header block is in; the body is not (whole)
  done,            // the whole answer arrived
};

// The part of a request libcurl refused to take, in the order a request is set up.
enum class FetchSetting {
  none,
  handle,  // no handle could be made or reset
  proxy,
  timeouts,
  url,
  verb,  // the verb and body
  credentials,
  certificates,
  cookies,
  redirects,
  headers,  // the header lines, cookie line and user agent; also a line strictHeaders refuses
  limits,   // the read size
};

struct FetchRequest {
  std::string url;       // "scheme://host:port/target", as libcurl takes it
  bool pathAsIs = true;  // the target goes out as given; false lets libcurl fold "/./" and "/../"
  std::string verb = "GET";
  // HEAD sends no body, GET only a non-empty one; every other verb sends it (POST always).
  std::string body;
  // Lines separated by "\r\n". Only these lines go out: libcurl's own Accept and Expect lines,
  // and its form type when a body goes out, stay off unless a line names them. A line with an
  // empty value goes out as "Name:". A line that cannot be sent (a CR, LF or NUL in it, no name
  // before a ":") is left out, or with strictHeaders fails the request.
  std::string headers;
  bool strictHeaders = false;
  std::string userAgent;  // empty: none, unless a header line gives one
  // On: libcurl's in-memory cookie store for this request, so that cookies set along a
  // redirect go with the next hop; cookieLine is then handed to it as the request's cookies.
  bool cookieStore = false;
  std::string cookieLine;
  std::string userName, password;  // basic credentials for the server, when a name is given
  std::string proxy;               // host:port of an HTTP proxy; empty: a direct connection
  std::string proxyUserName, proxyPassword;  // basic credentials for the proxy, likewise

  // A request that moves no byte for this long is abandoned; it bounds connecting too unless
  // connectTimeout is given.
  std::chrono::milliseconds idleTimeout{30000};
  std::optional<std::chrono::milliseconds> connectTimeout;
  // The whole request ends after this long however steadily bytes come in. None: no bound (a
  // large download may rightly take long while bytes keep coming).
  std::optional<std::chrono::milliseconds> deadline;
  bool followRedirects = false;  // to http and https URLs only, at most 10 in a row
  // A request to an https URL follows redirects to https only; one to http fails it
  // (redirectRefused).
  bool keepHttps = false;
  // Above 0: fewer than this many bytes a second over any rate window fail the request
  // (tooSlow), however steadily they trickle; the time an answer's body waits for
  // FetchSession::readBody does not count.
  std::size_t minimumRate = 0;
  std::chrono::milliseconds rateWindow{30000};
  bool verifyCertificates = false;
  std::string trustedCertificates;  // a PEM file trusted instead of the system's store
  // Resolved names and TLS sessions shared with every other page request of the process.
  bool sharePageSessions = false;

  // Body bytes past this many fail the read (tooLarge); the bytes up to the limit are kept.
  std::size_t bodyLimit = static_cast<std::size_t>(-1);
  // A declared length over the limit fails before the body comes.
  bool refuseLongerDeclared = false;
  std::size_t readSize = 0;  // the largest piece read at once; 0: libcurl's own

  // Asked while the request runs (by libcurl's progress callback and between polls, so at
  // least every 50 ms); once it says true the request is abandoned (stopped). With a `stopBell`
  // that is rung whenever the answer may have turned true, the request is woken by it and
  // sleeps between events for as long as nothing is due.
  std::function<bool()> abandon;
  StopBell* stopBell = nullptr;
};

struct FetchResponse {
  FetchFailure failure = FetchFailure::none;
  FetchStep step = FetchStep::sending;
  FetchSetting refused = FetchSetting::none;  // with FetchFailure::setup
  std::string reason;  // libcurl's words for the failure, for logs; empty without a failure
  CertificateProblem certificate = CertificateProblem::none;  // with FetchFailure::tls
  std::string host;  // the host the request ended at (after redirects), as fetchUrlHost gives it
  long status = 0;     // the final answer's status code; 0 when no answer began
  // The final answer's header block as far as it came: status line first, every line ending
  // in "\r\n", the empty line last. Interim answers, redirect hops and proxy tunnel answers
  // are not kept.
  std::string headers;
  std::string body;  // the body bytes read (of a failed read too), up to the limit
  // A connection to the server or proxy, its TLS handshake included, was made or taken.
  bool connected = false;

  bool ok() const { return failure == FetchFailure::none; }
  bool timedOut() const { return failure == FetchFailure::timeout; }
};

// What a failed request ran into, as far as a user is told.
struct FetchFault {
  FetchFailure failure = FetchFailure::none;
  CertificateProblem certificate = CertificateProblem::none;
  std::string host;
};

inline FetchFault faultOf(const FetchResponse& response) {
  return {response.failure, response.certificate, response.host};
}

// A libcurl handle kept for requests made one after another, from one thread at a time: the
// connections it opened and the TLS sessions it made wait for its next request. Nothing else
// of a request (options, headers, cookies, credentials) reaches the next.
class FetchSession final {
 public:
  // With `connection`, requests are made in the run's kept multi handle and leave their
  // connection there for the run's next request; the connection must outlive the session.
  explicit FetchSession(PageConnection* connection = nullptr);
  ~FetchSession();
  FetchSession(const FetchSession&) = delete;
  FetchSession& operator=(const FetchSession&) = delete;

  bool valid() const;

  [[nodiscard]] FetchResponse fetch(const FetchRequest& request);
  // Makes the request until the final answer's header block is in (step readingBody); its
  // body waits in libcurl until readBody. A request that ends before that comes back as fetch
  // would give it.
  [[nodiscard]] FetchResponse fetchHeaders(const FetchRequest& request);
  // The rest of the answer started by fetchHeaders, each piece of body handed to `sink`
  // (false fails the read) instead of kept in the response.
  [[nodiscard]] FetchResponse readBody(const std::function<bool(std::string_view)>& sink);

 private:
  std::optional<FetchResponse> setUp(const FetchRequest& request);

  // The lines of the request in flight; declared first, so the handle goes before them.
  std::unique_ptr<CurlHeaderList> headers_;
  std::unique_ptr<CurlTransfer> transfer_;
};

// One request on a handle of its own; with `connection`, in the run's kept connection.
[[nodiscard]] FetchResponse fetch(const FetchRequest& request,
                                  PageConnection* connection = nullptr);

}  // namespace quenbo::net
