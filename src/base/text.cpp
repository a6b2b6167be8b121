#include "base/text.h"

namespace quenbo {

Text lowerAscii(std::string_view text) {
  Text out(text);
  for (std::size_t i = 0; i < out.size(); i += charLength(out, i)) out[i] = foldAscii(out[i]);
  return out;
}

}  // namespace quenbo
