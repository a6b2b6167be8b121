// Small text helpers of the site simulator: escaping for HTML and JSON, percent coding, and
// filling the hand-written page templates.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quenbo::simulator {

// &, <, >, " and ' as entities; everything else unchanged.
std::string htmlEscape(std::string_view text);

// A JSON string literal with its quotes. With `asciiOnly`, every character above 0x7F is
// written as \uXXXX (UTF-16 units, lower-case hex); otherwise UTF-8 passes through. Bytes that
// are not UTF-8 become U+FFFD.
std::string jsonQuoted(std::string_view utf8, bool asciiOnly);

// %XX sequences (either case) become their byte; everything else, "+" included, is kept.
std::string percentDecode(std::string_view text);

// Percent-encodes every byte except A-Z, a-z, 0-9, "-" and ".".
std::string percentEncode(std::string_view text);

// Replaces every "{name}" of `pattern` whose name is listed by its value, in one pass: values
// are never searched again, so a keyword holding "{title}" stays as it is.
using FillValues = std::vector<std::pair<std::string_view, std::string>>;
std::string fillTemplate(std::string_view pattern, const FillValues& values);

}  // namespace quenbo::simulator
