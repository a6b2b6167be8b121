// Request and response header texts: lines separated by "\r\n".
#pragma once

#include <optional>
#include <string_view>

#include "base/text.h"

namespace quenbo::net {

// The same lines with each header name capitalised word by word at the hyphens
// ("content-type: x" becomes "Content-Type: x"). Lines without ":" are dropped; the result has
// no "\r\n" at its end.
Text normalizeHeaderText(std::string_view headers);

// The value of the first line that starts with `name` (case-sensitive): the text after the
// last "name: " in that line, or empty.
Text headerValue(std::string_view headers, std::string_view name);

// In an answer's header block: the value of the last line whose whole name, before its ":",
// is `name` in any case, with the blanks after the colon left out; none when no line has
// that name. "X-Original-Content-Length" is never "Content-Length".
std::optional<Text> answerHeader(std::string_view block, std::string_view name);

}  // namespace quenbo::net
