// Sizes as sites write them: a number followed by "KB", "MB" or "GB".
#pragma once

#include <string_view>

namespace quenbo::core {

// Bytes of a size text. The unit is looked for case-sensitively, "GB" before "MB" before
// "KB"; a text without one of them (bytes, TB, lower-case units) is 0. The number is the
// decimal prefix of the text, narrowed to single precision before it is scaled; the product
// is rounded to two decimals.
float sizeToBytes(std::string_view size);

}  // namespace quenbo::core
