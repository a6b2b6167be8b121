// Splitting a URL into host, port and request path, for the transports that take the URL
// apart themselves.
#pragma once

#include <string_view>

#include "base/text.h"

namespace quenbo::net {

// The two ways of finding the host. The request variant also takes URLs without a scheme
// ("example.com/a" is read as "http://example.com/a"); the transfer variant reads such a URL
// from its first character.
enum class UrlVariant { request, transfer };

// Host in lower case; with `keepPort`, followed by ":" and the port when the URL names one.
// An IPv6 literal is given without its brackets ("::1"), or with them and the port
// ("[::1]:8080") with `keepPort`.
Text urlHost(std::string_view url, bool keepPort, UrlVariant variant);

// The named port, or 443 for an https URL and 80 otherwise; 0 when the port has no digits
// (or something other than ":" follows an IPv6 literal).
int urlPort(std::string_view url, UrlVariant variant);

// Request path with query and fragment; "/" when the URL has none.
Text urlPath(std::string_view url, UrlVariant variant);

}  // namespace quenbo::net
