// The page request of the film board: returns the raw body bytes, reports nothing.
#pragma once

#include <functional>
#include <optional>

#include "base/stop_bell.h"
#include "base/text.h"
#include "net/fetch.h"
#include "net/http_request.h"

namespace quenbo::net {

struct InetRequest {
  // Longest header block kept, terminating zero included; a longer one is not delivered.
  static constexpr std::size_t kHeaderBlockLimit = 5000;

  Text url;
  int method = HttpMethod::get;
  Text bodyText;  // body of every method but GET, when bodyBytes is empty
  // Present (even empty): sent, automatic cookie handling off, merged with the answer's
  // cookies. Absent: automatic cookie handling on, no merge.
  std::optional<Text> cookies;
  Text responseCookies;  // out: the cookies of the answer
  Text extraHeaders;     // in/out: the completed and normalised header text is written back
  Text responseHeaders;  // out: the answer's header block, empty when over the limit
  bool noRedirect = false;
  Bytes bodyBytes;  // in/out: filled from bodyText for a method other than GET
  Text proxy;       // host:port
  bool mergeCookies = true;
  bool completeHeaders = true;
  bool normalizeHeaderNames = true;
  FetchFailure failure = FetchFailure::none;  // out: why the answer is not whole
  // Asked on the calling thread while the request runs; true abandons it (the window
  // closing), and then nothing of the answer is handed back.
  std::function<bool()> abandon;
  // Rung whenever `abandon` may have turned true, so that the call ends at once rather than
  // at its next look at it, 50 ms later.
  StopBell* stopBell = nullptr;

  // The body bytes; empty when the connection could not be set up. A transfer that breaks
  // off gives the bytes read so far. Waits at most 60 s to connect and 30 s for each read.
  Bytes execute();
};

}  // namespace quenbo::net
