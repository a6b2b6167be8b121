// Percent-encoded characters in the values of a JSON answer that is already parsed.
#pragma once

#include <string_view>

#include "base/text.h"

namespace quenbo::sites {

// Each percent-encoded UTF-8 character beyond ASCII ("%E7%94%B5") becomes that character in
// GBK (电); everything else stays as written ("100%25", "a%20b", a sequence that is no
// character or one GBK cannot hold), so a text the parser has decoded is never decoded a
// second time and never turns into "?".
Text decodePercentCharacters(std::string_view text);

}  // namespace quenbo::sites
