#include "base/encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace quenbo {
namespace {

struct IconvCloser {
  void operator()(iconv_t cd) const { iconv_close(cd); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// The converter modules iconv loads stay loaded for the whole process: one converter of
// each kind is opened once and never closed. Otherwise every site worker that ends would
// unload the module its successor loads again, and that unloading at thread exit races (as
// the thread sanitizer sees it) with another thread loading it.
void keepModuleLoaded(const char* from, const char* to) {
  static std::mutex mutex;
  // Guarded by mutex; never destroyed, so the converters are still reachable when the leak
  // checker looks at exit.
  static auto* kept = new std::map<std::pair<std::string, std::string>, iconv_t>;
  std::lock_guard lock(mutex);
  auto key = std::make_pair(std::string(from), std::string(to));
  if (kept->contains(key)) return;
  kept->emplace(key, iconv_open(to, from));  // a failure is the caller's to see
}

// iconv_open is costly; each thread keeps the converters it has used.
iconv_t converter(const char* from, const char* to) {
  thread_local std::map<std::pair<std::string, std::string>, IconvHandle> cache;
  auto key = std::make_pair(std::string(from), std::string(to));
  auto it = cache.find(key);
  if (it == cache.end()) {
    keepModuleLoaded(from, to);
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return cd;
    it = cache.emplace(key, IconvHandle(cd)).first;
  }
  iconv(it->second.get(), nullptr, nullptr, nullptr, nullptr);  // reset the shift state
  return it->second.get();
}

// Whether `name` is `lower` in any case of its ASCII letters.
bool sameName(std::string_view name, std::string_view lower) {
  if (name.size() != lower.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] + 32) : name[i];
    if (c != lower[i]) return false;
  }
  return true;
}

// Whether iconv reads the name as UTF-8: pages name it in any case, with or without "-".
bool isUtf8Name(std::string_view name) {
  return sameName(name, "utf-8") || sameName(name, "utf8");
}

// Bytes to skip over an input sequence iconv refused: one UTF-8 character where the input
// is UTF-8 and starts like one, else one byte.
std::size_t skipLength(bool utf8, const char* p, std::size_t left) {
  auto c = static_cast<unsigned char>(*p);
  if (utf8 && c >= 0xC0) {
    std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    std::size_t k = 1;
    while (k < n && k < left && (static_cast<unsigned char>(p[k]) & 0xC0) == 0x80) ++k;
    return k;
  }
  return 1;
}

// Whether a name is one of the encodings that keep every byte below 0x80 as that ASCII
// character and use bytes from 0x80 up only in multi-byte characters, whose first byte is
// 0x80 or more: UTF-8, and GBK with its subset GB2312 and its superset GB18030.
bool isAsciiCompatibleName(std::string_view name) {
  return isUtf8Name(name) || sameName(name, "gbk") || sameName(name, "gb2312") ||
         sameName(name, "gb18030") || sameName(name, "cp936");
}

// Pages and hits are mostly ASCII: between two such encodings the ASCII runs are copied and
// only the rest goes through iconv, a run at a time. Returns how much of the input is
// converted into `out`: all of it, or up to the run iconv refused something in. Everything
// before that run is whole characters that converted cleanly, so the careful conversion can
// take over there and decide what to replace, as if it had started at the beginning.
std::size_t convertAsciiRuns(std::string_view input, bool utf8Input, iconv_t cd,
                             std::string& out) {
  out.reserve(input.size() + input.size() / 2);
  std::size_t at = 0;
  const std::size_t size = input.size();
  while (at < size) {
    std::size_t ascii = at;
    while (ascii < size && static_cast<unsigned char>(input[ascii]) < 0x80) ++ascii;
    out.append(input, at, ascii - at);
    if (ascii == size) break;
    // The run of multi-byte characters: in GBK a first byte takes the next one along, which
    // may lie below 0x80; in UTF-8 every byte of such a character is 0x80 or more.
    std::size_t end = ascii;
    while (end < size && static_cast<unsigned char>(input[end]) >= 0x80) end += utf8Input ? 1 : 2;
    end = std::min(end, size);
    std::size_t written = out.size();
    std::size_t room = 2 * (end - ascii) + 16;
    out.resize(written + room);
    char* in = const_cast<char*>(input.data() + ascii);
    std::size_t inLeft = end - ascii;
    char* outPtr = out.data() + written;
    std::size_t outLeft = room;
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        inLeft != 0) {
      out.resize(written);
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      return ascii;
    }
    out.resize(written + (room - outLeft));
    at = end;
  }
  return size;
}

}  // namespace

bool convertWithIconv(std::string_view input, const char* from, const char* to, std::string& out,
                      std::string_view replacement) {
  out.clear();
  iconv_t cd = converter(from, to);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  const bool utf8 = isUtf8Name(from);
  if (isAsciiCompatibleName(from) && isAsciiCompatibleName(to)) {
    std::size_t converted = convertAsciiRuns(input, utf8, cd, out);
    if (converted == input.size()) return true;
    input.remove_prefix(converted);
  }
  out.reserve(out.size() + input.size() * 2);
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char buffer[4096];
  // The input goes to iconv a window at a time: sanitizer builds check all the input handed
  // to each call, and a text full of refused bytes takes one call per byte.
  constexpr std::size_t kWindow = 4096;
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    std::size_t window = std::min(inLeft, kWindow);
    std::size_t windowLeft = window;
    std::size_t rc = iconv(cd, &in, &windowLeft, &outPtr, &outLeft);
    inLeft -= window - windowLeft;
    out.append(buffer, outPtr - buffer);
    bool atEnd = windowLeft == inLeft;  // the window reached the end of the input
    if (rc != static_cast<std::size_t>(-1)) {
      if (atEnd) break;
      continue;
    }
    if (errno == E2BIG) continue;
    // A character cut by the window's end starts the next window.
    if (errno == EINVAL && !atEnd) continue;
    // EILSEQ (not representable or malformed) or EINVAL (cut short at the end).
    std::size_t skip = errno == EINVAL ? inLeft : skipLength(utf8, in, inLeft);
    out.append(replacement);
    in += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  char* outPtr = buffer;
  std::size_t outLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &outPtr, &outLeft);  // flush a pending shift sequence
  out.append(buffer, outPtr - buffer);
  return true;
}

Text utf8ToGbk(std::string_view utf8) {
  std::string out;
  convertWithIconv(utf8, "UTF-8", "GBK", out);
  return out;
}

std::string outsideGbk(std::string_view utf8) {
  static constexpr std::string_view kNoUtf8 = "\xEF\xBF\xBD";
  std::string found;
  auto add = [&found](std::string_view character) {
    if (found.find(character) == std::string::npos) found += character;
  };
  for (std::size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = skipLength(true, utf8.data() + i, utf8.size() - i);
    std::string_view character = utf8.substr(i, length);
    std::string gbk;
    convertWithIconv(character, "UTF-8", "GBK", gbk, "");
    if (gbk.empty()) {
      std::string whole;
      convertWithIconv(character, "UTF-8", "UTF-8", whole, "");
      add(whole == character ? character : kNoUtf8);
    }
    i += length;
  }
  return found;
}

std::string gbkToUtf8(std::string_view gbk) {
  std::string out;
  convertWithIconv(gbk, "GBK", "UTF-8", out);
  return out;
}

}  // namespace quenbo
