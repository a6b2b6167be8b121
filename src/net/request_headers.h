// The header texts the three request routines send: the caller's lines completed with each
// routine's default lines, and the cookie line.
#pragma once

#include <string_view>

#include "base/text.h"
#include "net/http_request.h"

namespace quenbo::net {

// The request engine's header text: the caller's lines, the defaults the caller did not give
// (in table order), names capitalised, a "Connection: keep-alive" line taken out when it is
// the first Connection line, and the cookie line.
Text engineHeaderText(const HttpRequest& request);

// The default lines of the page request (film board) and of the service request: each one is
// appended, after "\r\n", when its key occurs nowhere in the text (ASCII case folded). The
// service request also names its user agent; the page request hands its agent to the
// session instead (and replaces an empty text by "Accept: */*" before completing it).
Text completePageHeaders(std::string_view headers, std::string_view url, int method);
Text completeServiceHeaders(std::string_view headers, std::string_view url, int method);

}  // namespace quenbo::net
