// Matching a request target against a site's URL pattern. A pattern is the path and query
// with three placeholders: {KW} the percent-encoded keyword, {P} the page number, {T} the
// millisecond time stamp. Everything else must match byte for byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quenbo::simulator {

struct PatternMatch {
  std::string encodedKeyword;  // as it arrived
  std::string keyword;         // percent-decoded (UTF-8 when the client encoded UTF-8)
  int page = 0;
  std::string timestamp;  // the {T} digits; empty when the pattern has none
};

// Null when the target does not have the pattern's form. {P} and {T} take one or more
// digits; {KW} takes any text without "/", "?", "&" or "#".
std::optional<PatternMatch> matchUrlPattern(std::string_view pattern, std::string_view target);

}  // namespace quenbo::simulator
