// The URL a transport hands to libcurl: scheme, host, port and the request target, taken
// apart by the system's own rules and put together again so that libcurl sends exactly that
// target.
#pragma once

#include <optional>
#include <string_view>

#include "base/text.h"

namespace quenbo::net {

struct RequestUrl {
  bool secure = false;
  Text host;
  int port = 80;
  Text target = "/";  // path, query and fragment as the URL holds them

  // "scheme://host:port/target" with the target's blanks, control bytes and GBK characters
  // percent-encoded (GBK characters as UTF-8). libcurl leaves the fragment out.
  std::string curlUrl() const;
};

// Splits an absolute http:// or https:// URL (any case). The target is the path followed by
// the query and fragment, or "/" alone when the URL has no path (a query right after the host
// is then not sent). User information before "@" is ignored. Empty for any other scheme, an
// empty host or a port that is not a number from 1 to 65535.
std::optional<RequestUrl> crackUrl(std::string_view url);

}  // namespace quenbo::net
