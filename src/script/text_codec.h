// Character-set conversion, escape decoding and MD5 digests.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

#include "base/text.h"

namespace quenbo::script {

// Stateless conversions; every operation may run on any thread. Nothing throws: a failure
// gives an empty result.
class TextCodec final {
 public:
  TextCodec() = delete;

  // Re-encodes `bytes` from the character set `from` (empty: "UTF-8") to `to` (empty:
  // "GBK"), by any name iconv knows; the names pages use for GBK (gb2312, x-gbk, ...) read
  // as GBK. A UTF-8 or UTF-16 byte-order mark at the start of the input is dropped.
  // Characters the target lacks, and malformed input, become "?". `skip` drops that many
  // bytes from the start of the result. An unknown name gives empty bytes.
  static Bytes convertCharset(std::string_view bytes, std::string_view from = {},
                              std::string_view to = {}, std::size_t skip = 0);

  // Decodes the escapes of a text: "\uHHHH" and "%uHHHH" become that character, "%HH" the
  // character with that code below 256, the string escapes \n \t \r \b \f \v \0, octal and
  // \xHH their characters, "\" before any other character that character. "’" comes back
  // as an apostrophe and the text "{$}" as CR LF. Characters without a GBK form (lone
  // surrogates among them) become "?".
  static Text unescapeText(std::string_view text);

  // The MD5 digest of `bytes` as 32 hexadecimal characters, lower case unless `upperCase`;
  // with `shortForm` only characters 9 to 24 (16 characters).
  static Text md5Hex(std::string_view bytes, bool upperCase = false, bool shortForm = false);

  // The lower-case MD5 of a file's contents; a missing or unreadable file counts as empty.
  static Text fileMd5(const std::filesystem::path& path);
};

}  // namespace quenbo::script
