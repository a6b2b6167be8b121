#include "base/ini_file.h"

#include "base/encoding.h"
#include "base/files.h"

namespace quenbo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool isQuote(char c) { return c == '"' || c == '\''; }

// A value read from a line loses one pair of quotes around it.
std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Blanks around a value would be lost, and quotes around it taken off, when it is read
// back: such a value is stored inside a pair of quotes.
bool needsQuotes(std::string_view value) {
  if (value.empty()) return false;
  return isBlank(value.front()) || isBlank(value.back()) || unquote(value) != value;
}

// Names compare with the single-byte letters A to Z folded; double-byte characters must be
// equal byte for byte.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    std::size_t length = charLength(a, i);
    if (length == 1 ? foldAscii(a[i]) != foldAscii(b[i]) : a.substr(i, 2) != b.substr(i, 2)) {
      return false;
    }
    i += length;
  }
  return true;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool validUtf8(std::string_view s, bool& sawMultiByte) {
  sawMultiByte = false;
  for (std::size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t length;
    unsigned lowest;
    unsigned code;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2, lowest = 0x80, code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3, lowest = 0x800, code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4, lowest = 0x10000, code = c & 0x07;
    } else {
      return false;
    }
    if (i + length > s.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      auto t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      code = (code << 6) | (t & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    sawMultiByte = true;
    i += length;
  }
  return true;
}

// The longest prefix of at most `limit` bytes that ends on a character boundary.
Text cutToCharacters(const Text& text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = 0;
  while (end < text.size()) {
    std::size_t next = end + charLength(text, end);
    if (next > limit) break;
    end = next;
  }
  return text.substr(0, end);
}

}  // namespace

IniFile::IniFile(Bytes content) : content_(std::move(content)) {
  std::string_view body(content_);
  bool sawMultiByte = false;
  bool marked = body.starts_with(kByteOrderMark);
  if (marked) body.remove_prefix(kByteOrderMark.size());
  // GBK text of any length is almost never valid UTF-8, so a file that is valid UTF-8 and
  // has characters beyond ASCII was written in UTF-8.
  utf8_ = validUtf8(body, sawMultiByte) && (marked || sawMultiByte);
  parse();
}

Text IniFile::toGbk(std::string_view raw) const { return utf8_ ? utf8ToGbk(raw) : Text(raw); }

Bytes IniFile::fromGbk(std::string_view text) const {
  return utf8_ ? gbkToUtf8(text) : Bytes(text);
}

void IniFile::parse() {
  lines_.clear();
  std::string_view all(content_);
  std::size_t start = all.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  while (start < all.size()) {
    Line line;
    line.begin = start;
    std::size_t end = all.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = all.size();
    line.end = end;
    line.next = end;
    if (line.next < all.size() && all[line.next] == '\r') ++line.next;
    if (line.next < all.size() && all[line.next] == '\n') ++line.next;
    start = line.next;

    std::string_view raw = all.substr(line.begin, line.end - line.begin);
    std::string_view text = trimBlanks(raw);
    line.blank = text.empty();
    if (text.starts_with('[')) {
      std::string_view inner = text.substr(1);
      std::size_t close = inner.rfind(']');
      if (close != std::string_view::npos) inner = inner.substr(0, close);
      line.kind = LineKind::Section;
      line.name = toGbk(trimBlanks(inner));
    } else if (!text.empty() && text.front() != ';' && text.front() != '#') {
      std::size_t equals = raw.find('=');
      std::string_view key = equals == std::string_view::npos ? std::string_view()
                                                              : trimBlanks(raw.substr(0, equals));
      if (!key.empty()) {
        line.kind = LineKind::Key;
        line.name = toGbk(key);
        std::size_t v = equals + 1;
        while (v < raw.size() && isBlank(raw[v])) ++v;
        line.valueBegin = line.begin + v;
      }
    }
    lines_.push_back(std::move(line));
  }
}

int IniFile::findKey(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == LineKind::Section) {
      inSection = sameName(line.name, section);
    } else if (inSection && line.kind == LineKind::Key && sameName(line.name, key)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

Text IniFile::value(std::string_view section, std::string_view key) const {
  return cutToCharacters(wholeValue(section, key), kIniValueBuffer - 1);
}

Text IniFile::wholeValue(std::string_view section, std::string_view key) const {
  int index = findKey(section, key);
  if (index < 0) return {};
  const Line& line = lines_[index];
  std::string_view raw(content_.data() + line.valueBegin, line.end - line.valueBegin);
  return toGbk(unquote(trimBlanks(raw)));
}

std::string_view IniFile::lineBreak() const {
  for (const Line& line : lines_) {
    if (line.next > line.end) return std::string_view(content_).substr(line.end, line.next - line.end);
  }
  return "\r\n";
}

namespace {

// Built by appending: g++ 12 at -O3 warns falsely (-Wrestrict) about `"[" + Text(...)`.
Text enclosed(char open, std::string_view inner, char close) {
  Text text;
  text.reserve(inner.size() + 2);
  text += open;
  text += inner;
  text += close;
  return text;
}

}  // namespace

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
  value = value.substr(0, value.find_first_of("\r\n"));
  Bytes stored = needsQuotes(value) ? fromGbk(enclosed('"', value, '"')) : fromGbk(value);
  std::string_view eol = lineBreak();

  if (int index = findKey(section, key); index >= 0) {
    const Line& line = lines_[index];
    content_.replace(line.valueBegin, line.end - line.valueBegin, stored);
    parse();
    return;
  }

  Bytes keyLine = fromGbk(Text(key) + "=") + stored;
  int header = -1;
  for (std::size_t i = 0; i < lines_.size() && header < 0; ++i) {
    if (lines_[i].kind == LineKind::Section && sameName(lines_[i].name, section)) {
      header = static_cast<int>(i);
    }
  }
  if (header >= 0) {
    // After the section's last line that is not blank, so blank lines that set the next
    // section apart stay where they are.
    std::size_t after = header;
    for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != LineKind::Section; ++i) {
      if (!lines_[i].blank) after = i;
    }
    const Line& line = lines_[after];
    Bytes insert = line.next == line.end ? Bytes(eol) + keyLine : keyLine + Bytes(eol);
    content_.insert(line.next, insert);
  } else {
    Bytes tail;
    if (!lines_.empty()) {
      if (lines_.back().next == lines_.back().end) tail += eol;
      if (!lines_.back().blank) tail += eol;  // a blank line between sections
    }
    tail += fromGbk(enclosed('[', section, ']'));
    tail += eol;
    tail += keyLine;
    tail += eol;
    content_ += tail;
  }
  parse();
}

Text readIniValue(const std::filesystem::path& path, std::string_view section,
                  std::string_view key) {
  auto content = readFile(path);
  if (!content) return {};
  return IniFile(std::move(*content)).value(section, key);
}

bool changeIniFile(const std::filesystem::path& path,
                   const std::function<void(IniFile&)>& change) {
  IniFile file;
  if (fileExists(path)) {
    auto content = readFile(path);
    if (!content) return false;
    file = IniFile(std::move(*content));
  }
  change(file);
  return replaceFile(path, file.content());
}

bool writeIniValue(const std::filesystem::path& path, std::string_view section,
                   std::string_view key, std::string_view value) {
  return changeIniFile(path, [&](IniFile& file) { file.setValue(section, key, value); });
}

}  // namespace quenbo
