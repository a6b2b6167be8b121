#include "site_simulator/page_text.h"

#include <cstdint>

namespace quenbo::simulator {
namespace {

// The code point of the UTF-8 sequence at `text[i]`, advancing `i`; U+FFFD for a malformed one.
std::uint32_t nextCodePoint(std::string_view text, std::size_t& i) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                     : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || i + length > text.size()) {
    ++i;
    return 0xFFFD;
  }
  std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  i += length;
  return code;
}

void appendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void appendUnit(std::string& out, std::uint32_t unit) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string htmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string jsonQuoted(std::string_view utf8, bool asciiOnly) {
  std::string out = "\"";
  for (std::size_t i = 0; i < utf8.size();) {
    std::uint32_t code = nextCodePoint(utf8, i);
    if (code == '"' || code == '\\') {
      out += '\\';
      out += static_cast<char>(code);
    } else if (code < 0x20) {
      appendUnit(out, code);
    } else if (code < 0x80 || !asciiOnly) {
      appendUtf8(out, code);
    } else if (code < 0x10000) {
      appendUnit(out, code);
    } else {
      code -= 0x10000;
      appendUnit(out, 0xD800 + (code >> 10));
      appendUnit(out, 0xDC00 + (code & 0x3FF));
    }
  }
  return out + "\"";
}

std::string percentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    int high = i + 2 < text.size() && text[i] == '%' ? hexValue(text[i + 1]) : -1;
    int low = high >= 0 ? hexValue(text[i + 2]) : -1;
    if (low >= 0) {
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string percentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                c == '-' || c == '.';
    if (keep) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

std::string fillTemplate(std::string_view pattern, const FillValues& values) {
  std::string out;
  out.reserve(pattern.size() * 2);
  std::size_t i = 0;
  while (i < pattern.size()) {
    std::size_t open = pattern.find('{', i);
    if (open == std::string_view::npos) break;
    std::size_t close = pattern.find('}', open);
    if (close == std::string_view::npos) break;
    std::string_view name = pattern.substr(open + 1, close - open - 1);
    const std::string* value = nullptr;
    for (const auto& [key, text] : values) {
      if (key == name) value = &text;
    }
    out.append(pattern.substr(i, open - i));
    if (value != nullptr) {
      out += *value;
      i = close + 1;
    } else {
      out += '{';
      i = open + 1;
    }
  }
  out.append(pattern.substr(i));
  return out;
}

}  // namespace quenbo::simulator
