#include "base/text.h"

namespace quenbo {

Text lowerAscii(std::string_view text) {
  Text out(text);
  std::size_t i = 0;
  // Up to the first lead byte every byte is a character of its own.
  for (; i < out.size() && !isLeadByte(static_cast<unsigned char>(out[i])); ++i) {
    out[i] = foldAscii(out[i]);
  }
  for (; i < out.size(); i += charLength(out, i)) out[i] = foldAscii(out[i]);
  return out;
}

}  // namespace quenbo
