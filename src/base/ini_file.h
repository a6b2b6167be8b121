// Settings files in INI syntax: "[section]" header lines, each followed by "key=value"
// lines. Reading and writing behave as the system's settings have always been kept: names
// match with the ASCII letters folded, blanks around names and values do not count, a
// missing file, section or key reads as the empty text, a value ends at the end of its
// line, and one pair of quotes around a value is taken off.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace quenbo {

// A value is read through a buffer of this many bytes: at most one byte less comes back.
inline constexpr std::size_t kIniValueBuffer = 10240;

// The content of one INI file, kept byte for byte so that setting one key leaves every
// other line as it was (unknown sections and keys, comments, blank lines, line ends). The
// file may be in GBK or in UTF-8 (with or without a byte-order mark); names and values go
// in and come out as GBK, and a changed line is written in the file's own encoding.
class IniFile final {
 public:
  explicit IniFile(Bytes content = {});

  // The value of the first `key` in a section named `section`, cut at a character boundary
  // to fit the read buffer; empty when the section or the key is missing.
  Text value(std::string_view section, std::string_view key) const;
  // The same value never cut, for files whose values must be read whole (a list of
  // mirrors can be longer than the buffer).
  Text wholeValue(std::string_view section, std::string_view key) const;
  // Whether a section named `section` holds `key`, even with an empty value.
  bool contains(std::string_view section, std::string_view key) const {
    return findKey(section, key) >= 0;
  }
  // Sets the first `key` of the section, adds the key at the end of the section's first
  // occurrence, or adds the section at the end. Only the value's first line is stored:
  // a line break in it would start new lines of the file that are keys or sections of
  // their own. A value with blanks or quotes at its ends is stored quoted, so that it reads
  // back as it was.
  void setValue(std::string_view section, std::string_view key, std::string_view value);

  const Bytes& content() const { return content_; }
  bool utf8() const { return utf8_; }

 private:
  enum class LineKind { Other, Section, Key };
  struct Line {
    std::size_t begin = 0;        // first byte of the line
    std::size_t end = 0;          // the byte after its last one, before the line break
    std::size_t next = 0;         // the byte after its line break
    LineKind kind = LineKind::Other;
    Text name;                    // section or key name, trimmed, in GBK
    std::size_t valueBegin = 0;   // a key's value: first byte after the blanks after "="
    bool blank = true;            // nothing but blanks
  };

  void parse();
  // Index of the first key line named `key` in a section named `section`, or -1.
  int findKey(std::string_view section, std::string_view key) const;
  Text toGbk(std::string_view raw) const;
  Bytes fromGbk(std::string_view text) const;
  std::string_view lineBreak() const;

  Bytes content_;
  bool utf8_ = false;
  std::vector<Line> lines_;
};

// Reads one value of an INI file; a missing or unreadable file reads as the empty text.
Text readIniValue(const std::filesystem::path& path, std::string_view section,
                  std::string_view key);

// Applies `change` to an INI file, created if missing, and replaces the file as one step.
// False when the existing file could not be read (it is then left alone rather than
// overwritten with only the changed keys) or could not be replaced.
[[nodiscard]] bool changeIniFile(const std::filesystem::path& path,
                                 const std::function<void(IniFile&)>& change);
// changeIniFile setting one key, creating its section as needed.
[[nodiscard]] bool writeIniValue(const std::filesystem::path& path, std::string_view section,
                                 std::string_view key, std::string_view value);

}  // namespace quenbo
