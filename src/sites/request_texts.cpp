#include "sites/request_texts.h"

#include <string>

#include "base/encoding.h"
#include "sites/text_cleaning.h"

namespace quenbo::sites {
namespace {

bool isUnreserved(unsigned char c) {
  return c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
         (c >= 'a' && c <= 'z');
}

}  // namespace

Text urlEncode(std::string_view text, bool keepUnreserved, bool utf8) {
  const std::string bytes = utf8 ? gbkToUtf8(text) : std::string(text);
  static constexpr char kHex[] = "0123456789ABCDEF";
  Text out;
  out.reserve(bytes.size() * 3);
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    if (keepUnreserved && isUnreserved(byte)) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    }
  }
  return out;
}

Text unixTimeText(bool seconds) {
  return unixTimeText(seconds, std::chrono::system_clock::now());
}

Text unixTimeText(bool seconds, std::chrono::system_clock::time_point now) {
  auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  Text text = std::to_string(milliseconds / 1000);
  Text fraction = std::to_string(milliseconds % 1000);
  text += Text(3 - fraction.size(), '0') + fraction;
  const std::size_t width = seconds ? 10 : 13;
  if (text.size() > width) text.resize(width);
  if (text.size() < width) text.append(width - text.size(), '0');
  return text;
}

Text logTimeText() {
  return logTimeText(localNow());
}

Text logTimeText(const LocalTime& time) {
  Text text = std::to_string(time.year) + "/" + std::to_string(time.month) + "/" +
              std::to_string(time.day) + "  " + std::to_string(time.hour) + ":" +
              std::to_string(time.minute) + ":" + std::to_string(time.second);
  // Fourteen digits make the field 20 characters wide; fewer are made up with blanks.
  std::size_t digits = digitsOnly(text).size();
  if (digits < 14) text.append(14 - digits, ' ');
  return text;
}

}  // namespace quenbo::sites
