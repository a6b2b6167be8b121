// TextCodec::unescapeText and the charset conversion over any text.
#include "base/encoding.h"
#include "fuzz_input.h"
#include "script/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using quenbo::fuzz::check;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const quenbo::Text out = quenbo::script::TextCodec::unescapeText(text);
  check(out.find('\0') == quenbo::Text::npos, "unescaped texts hold no zero bytes");

  // A well-formed GBK text without anything an escape starts with comes back unchanged.
  bool plain = text.find_first_of(std::string_view("\\%'\r{\0", 6)) == std::string_view::npos &&
               text.find("\xA1\xAF") == std::string_view::npos;
  if (plain && quenbo::utf8ToGbk(quenbo::gbkToUtf8(text)) == text) {
    check(out == text, "plain text is left alone");
  }

  static const char* const names[] = {"", "GBK", "gb2312", "UTF-16LE", "unicode", "BIG5", "bogus"};
  const std::size_t n = sizeof names / sizeof names[0];
  const std::size_t pick = size > 0 ? data[0] : 0;
  quenbo::script::TextCodec::convertCharset(text, names[pick % n], names[(pick / n) % n], pick % 5);
  check(quenbo::script::TextCodec::md5Hex(text).size() == 32, "an MD5 is 32 characters");
  return 0;
}
