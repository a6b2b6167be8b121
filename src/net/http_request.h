// The input and in/out records of the request engine, and the request verbs shared by every
// request routine.
#pragma once

#include <functional>

#include "base/stop_bell.h"
#include "base/text.h"
#include "net/fetch.h"

namespace quenbo::net {

class PageConnection;

// Index of the verb on the request line; any index outside 0..7 means GET.
struct HttpMethod final {
  static constexpr int get = 0;
  static constexpr int post = 1;
  static constexpr int head = 2;
  static constexpr int put = 3;
  static constexpr int options = 4;
  static constexpr int remove = 5;  // DELETE
  static constexpr int trace = 6;
  static constexpr int connect = 7;

  static const char* verb(int index);
};

struct HttpRequest {
  Text url;  // absolute, http:// or https://
  int method = HttpMethod::get;
  Text bodyText;  // sent as its bytes when bodyBytes is empty
  // name=value pairs joined by "; ", or a whole "Cookie: ..." line. Written back when the
  // response cookies are merged into it.
  Text cookies;
  Text extraHeaders;  // the caller's lines, separated by "\r\n"
  bool noRedirect = false;
  Text userName, password;  // basic credentials for the server
  Text proxy;               // host:port; empty for a direct connection
  Text proxyUserName, proxyPassword;
  // Per phase; 0 or less means 30 seconds. The whole request ends after four times this,
  // and never after more than 60 seconds.
  int timeoutSeconds = 0;
  // Above 0: the whole request ends after this many milliseconds, and no phase waits longer
  // (what is left of a site's mirror walk for the next mirror).
  int limitMs = 0;
  bool mergeCookies = true;
  bool completeHeaders = true;  // add the default lines the caller did not give
  Bytes bodyBytes;              // sent instead of bodyText when non-empty
  bool normalizeHeaderNames = true;
  // Asked on the calling thread while the request runs; true abandons it (a stop, a closing
  // window), and then nothing of the answer is handed back.
  std::function<bool()> abandon;
  // Rung whenever `abandon` may have turned true: the call is woken by it rather than asking
  // every 50 ms while it waits. Null: it asks every 50 ms.
  StopBell* stopBell = nullptr;
  // The connection a site's run keeps from page to page (see PageConnection); only the
  // connection carries over. Null: the call opens a connection of its own and closes it.
  PageConnection* connection = nullptr;
};

// The step at which the engine gave up; each has its failure message (HttpEngine makes it).
enum class EngineFailure {
  none,
  noService,     // libcurl cannot be used
  badUrl,        // the URL breaks the system's URL rules
  session,       // no handle, or the proxy refused
  connection,    // the URL refused
  request,       // the verb or body refused
  timeouts,      // a time-out or the abandon check refused
  credentials,   // the server's or the proxy's credentials refused
  certificates,  // the certificate checks could not be switched off
  cookies,       // the cookie store refused
  redirects,     // the redirect rules refused
  headers,       // a header line could not be set
  send,          // resolving, connecting, the TLS handshake or sending failed
  noResponse,    // no complete answer header came (also a request abandoned before the body)
  read,          // the body broke off, passed the limit, or the request was abandoned in it
};

// Filled by the engine; a field the engine does not reach keeps the caller's value.
struct HttpResponse {
  Text cookies;     // the caller's text with the cookie of every Set-Cookie line appended
  Text headers;     // the final response's header block, status line first, "\r\n" lines
  Text location;    // the last Location header of the final response
  Text statusText;  // "200 OK", or the failure message of `failure`
  Bytes body;
  EngineFailure failure = EngineFailure::none;  // none when the whole answer came
  FetchFailure cause = FetchFailure::none;      // what the transfer ran into, when it ran
};

}  // namespace quenbo::net
