// The placeholder that lets callers write a double quote inside a pattern or marker literal.
#pragma once

#include <string_view>

#include "base/text.h"

namespace quenbo::script {

// Replaces every "#引号" (GBK) in `text` by one double-quote character: an exact,
// case-sensitive replacement that only matches on character boundaries.
Text expandQuotePlaceholder(std::string_view text);

}  // namespace quenbo::script
