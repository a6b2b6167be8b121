#include "base/text.h"

namespace quenbo {

Text lowerAscii(std::string_view text) {
  Text out(text);
  for (char& c : out) c = foldAscii(c);
  return out;
}

}  // namespace quenbo
