// Cookie texts: name=value items joined by "; ".
#pragma once

#include <string_view>

#include "base/text.h"

namespace quenbo::net {

// Appends the cookie of every "Set-Cookie" line of a raw response header block to
// `cookies` (the part before the first ";", trimmed), joined by "; ". Only lines whose name is
// exactly "Set-Cookie" count.
Text collectSetCookies(std::string_view headerBlock, std::string_view cookies);

// Merges new cookies into an old jar: blanks removed, new items replace old items of the same
// name, items ending in "=deleted" dropped, repeated items removed. `oldCookies` is replaced
// by the result, which is also returned.
Text mergeCookieText(Text& oldCookies, std::string_view newCookies);

// The list without items that occurred before, in order.
Text removeDuplicates(std::string_view list, std::string_view separator);

// The text before the first "=", trimmed; an item without "=" is its own name.
Text cookieName(std::string_view cookie);

}  // namespace quenbo::net
