// TextCodec::unescapeText. The text is read the way a single-quoted script string literal
// holding it would be read and then percent-unescaped, but entirely in C++: the text comes
// from sites and is never run as code. Unlike a script literal, a bare line break stays a line
// break and a trailing backslash stays a backslash, so no text makes the decoding fail.
#include <string>

#include "base/encoding.h"
#include "script/text_codec.h"

namespace quenbo::script {
namespace {

using Units = std::u16string;  // UTF-16 code units

constexpr char16_t kRightQuote = 0x2019;  // "’", which stands in for the apostrophe

Units toUnits(std::string_view gbk) {
  std::string bytes;
  convertWithIconv(gbk, "GBK", "UTF-16LE", bytes, std::string_view("?\0", 2));
  Units units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return units;
}

// Code units to GBK: surrogate pairs are joined, a lone surrogate becomes "?", and zero
// units are dropped.
Text toGbk(const Units& units) {
  std::string utf8;
  utf8.reserve(units.size() * 3);
  auto put = [&utf8](char32_t c) {
    if (c < 0x80) {
      utf8.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      utf8.push_back(static_cast<char>(0xC0 | c >> 6));
      utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      utf8.push_back(static_cast<char>(0xE0 | c >> 12));
      utf8.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      utf8.push_back(static_cast<char>(0xF0 | c >> 18));
      utf8.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  };
  for (std::size_t i = 0; i < units.size(); ++i) {
    char16_t u = units[i];
    if (u == 0) continue;  // texts hold no zero bytes
    bool high = u >= 0xD800 && u <= 0xDBFF;
    bool low = u >= 0xDC00 && u <= 0xDFFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      put(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else if (high || low) {
      utf8.push_back('?');
    } else {
      put(u);
    }
  }
  return utf8ToGbk(utf8);
}

int hexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The value of `count` hexadecimal digits at `at`, or -1.
int hexAt(const Units& s, std::size_t at, int count) {
  if (at + static_cast<std::size_t>(count) > s.size()) return -1;
  int value = 0;
  for (int k = 0; k < count; ++k) {
    int digit = hexValue(s[at + static_cast<std::size_t>(k)]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

bool isOctal(char16_t c) {
  return c >= u'0' && c <= u'7';
}

bool isLineBreak(char16_t c) {
  return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029;
}

// The string-literal escapes.
Units readLiteral(const Units& s) {
  Units out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != u'\\' || i + 1 == s.size()) {
      out.push_back(s[i]);
      continue;
    }
    char16_t c = s[++i];
    switch (c) {
      case u'n':
        out.push_back(u'\n');
        break;
      case u't':
        out.push_back(u'\t');
        break;
      case u'r':
        out.push_back(u'\r');
        break;
      case u'b':
        out.push_back(u'\b');
        break;
      case u'f':
        out.push_back(u'\f');
        break;
      case u'v':
        out.push_back(u'\v');
        break;
      case u'x': {
        int value = hexAt(s, i + 1, 2);
        if (value < 0) {
          out.push_back(u'x');
        } else {
          out.push_back(static_cast<char16_t>(value));
          i += 2;
        }
        break;
      }
      default:
        if (isOctal(c)) {
          // Up to three digits from 0-3, up to two from 4-7: at most \377.
          int value = c - u'0';
          std::size_t most = c <= u'3' ? 2 : 1;
          for (std::size_t k = 0; k < most && i + 1 < s.size() && isOctal(s[i + 1]); ++k) {
            value = value * 8 + (s[++i] - u'0');
          }
          out.push_back(static_cast<char16_t>(value));
        } else if (!isLineBreak(c)) {  // a backslash before a line break joins the lines
          out.push_back(c);
        }
    }
  }
  return out;
}

Units percentUnescape(const Units& s) {
  Units out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'%') {
      int value = i + 1 < s.size() && s[i + 1] == u'u' ? hexAt(s, i + 2, 4) : -1;
      if (value >= 0) {
        out.push_back(static_cast<char16_t>(value));
        i += 5;
        continue;
      }
      value = hexAt(s, i + 1, 2);
      if (value >= 0) {
        out.push_back(static_cast<char16_t>(value));
        i += 2;
        continue;
      }
    }
    out.push_back(s[i]);
  }
  return out;
}

void replaceAll(Units& s, std::u16string_view from, std::u16string_view to) {
  Units out;
  out.reserve(s.size());
  std::size_t at = 0;
  for (std::size_t found = s.find(from); found != Units::npos; found = s.find(from, at)) {
    out.append(s, at, found - at);
    out.append(to);
    at = found + from.size();
  }
  out.append(s, at);
  s.swap(out);
}

}  // namespace

Text TextCodec::unescapeText(std::string_view text) {
  Units s = toUnits(text);
  // CR LF pairs are set aside as "{$}", so a literal "{$}" also comes back as CR LF.
  replaceAll(s, u"\r\n", u"{$}");
  if (!s.empty() && s.front() == u'\r') s.erase(0, 1);
  replaceAll(s, u"\\u", u"%u");
  for (char16_t& c : s) {
    if (c == u'\'') c = kRightQuote;
  }
  s = percentUnescape(readLiteral(s));
  for (char16_t& c : s) {
    if (c == kRightQuote) c = u'\'';
  }
  replaceAll(s, u"{$}", u"\r\n");
  return toGbk(s);
}

}  // namespace quenbo::script
