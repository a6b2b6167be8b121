// Texts of the system: GBK (code page 936) byte strings, and raw byte buffers.
#pragma once

#include <string>
#include <string_view>

namespace quenbo {

// A text in GBK without NUL bytes. A character is one byte below 0x80, or a lead byte of
// 0x80 or above followed by one trail byte.
using Text = std::string;
// Raw bytes (page bodies, files, pictures); may hold zero bytes.
using Bytes = std::string;

inline bool isLeadByte(unsigned char c) { return c >= 0x80; }

// Length in bytes of the character that starts at byte index `i` (0-based): 2 for a lead
// byte that has a trail byte after it, otherwise 1.
inline std::size_t charLength(std::string_view text, std::size_t i) {
  return isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

inline char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Lower-cases the single-byte letters A to Z; trail bytes of double-byte characters and
// every other byte stay as they are.
Text lowerAscii(std::string_view text);

// The text up to its first zero byte (a body read as text).
inline Text textUpToZero(std::string_view bytes) {
  return Text(bytes.substr(0, bytes.find('\0')));
}

}  // namespace quenbo
