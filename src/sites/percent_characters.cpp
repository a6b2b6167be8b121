#include "sites/percent_characters.h"

#include "base/encoding.h"

namespace quenbo::sites {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The byte of "%HH" at `at`, or -1.
int percentByte(std::string_view text, std::size_t at) {
  if (at + 3 > text.size() || text[at] != '%') return -1;
  int high = hexDigit(text[at + 1]), low = hexDigit(text[at + 2]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// The UTF-8 bytes of one character beyond ASCII encoded at `at` ("%E7%94%B5"), strict: no
// overlong form, no surrogate, nothing above U+10FFFF. Empty when there is none.
std::string encodedCharacter(std::string_view text, std::size_t at) {
  int lead = percentByte(text, at);
  std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                      : 0;
  if (length == 0) return {};
  std::string bytes(1, static_cast<char>(lead));
  unsigned code = static_cast<unsigned>(lead) & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
  for (std::size_t k = 1; k < length; ++k) {
    int next = percentByte(text, at + 3 * k);
    if (next < 0x80 || next > 0xBF) return {};
    bytes += static_cast<char>(next);
    code = code << 6 | (static_cast<unsigned>(next) & 0x3F);
  }
  unsigned lowest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
  if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
  return bytes;
}

}  // namespace

Text decodePercentCharacters(std::string_view text) {
  Text out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::string utf8 = text[i] == '%' ? encodedCharacter(text, i) : std::string();
    std::string gbk;
    // Converted without a stand-in: a character GBK lacks comes back empty and stays encoded.
    if (!utf8.empty() && convertWithIconv(utf8, "UTF-8", "GBK", gbk, "") && !gbk.empty()) {
      out += gbk;
      i += 3 * utf8.size();
      continue;
    }
    // A GBK character is copied whole, so "%" is looked for only where a character starts.
    std::size_t length = charLength(text, i);
    out.append(text.substr(i, length));
    i += length;
  }
  return out;
}

}  // namespace quenbo::sites
