#include "script/text_codec.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <memory>
#include <string>

#include "base/encoding.h"
#include "base/files.h"

namespace quenbo::script {
namespace {

// The iconv name for a character-set name as pages and callers give it.
std::string iconvName(std::string_view name, const char* fallback) {
  if (name.empty()) return fallback;
  std::string lower = lowerAscii(name);
  // Pages labelled with the GB2312 names hold GBK in practice.
  static constexpr std::string_view gbk[] = {"gb2312",   "gb_2312-80", "gbk",   "x-gbk",
                                             "csgb2312", "chinese",    "cp936", "iso-ir-58"};
  if (std::find(std::begin(gbk), std::end(gbk), lower) != std::end(gbk)) return "GBK";
  if (lower == "unicode" || lower == "utf-16") return "UTF-16LE";
  return std::string(name);
}

std::string_view dropByteOrderMark(std::string_view bytes, const std::string& from) {
  std::string upper = from;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
  if ((upper == "UTF-8" || upper == "UTF8") && bytes.starts_with("\xEF\xBB\xBF")) {
    return bytes.substr(3);
  }
  if (upper == "UTF-16LE" && bytes.starts_with("\xFF\xFE")) return bytes.substr(2);
  return bytes;
}

struct DigestContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

Text hexDigest(const unsigned char* digest, unsigned int size, bool upperCase, bool shortForm) {
  const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
  Text hex;
  for (unsigned int i = 0; i < size; ++i) {
    hex.push_back(digits[digest[i] >> 4]);
    hex.push_back(digits[digest[i] & 0x0F]);
  }
  return shortForm ? hex.substr(8, 16) : hex;
}

}  // namespace

Bytes TextCodec::convertCharset(std::string_view bytes, std::string_view from, std::string_view to,
                                std::size_t skip) {
  std::string source = iconvName(from, "UTF-8");
  std::string target = iconvName(to, "GBK");
  Bytes out;
  if (!convertWithIconv(dropByteOrderMark(bytes, source), source.c_str(), target.c_str(), out)) {
    return Bytes();
  }
  if (skip == 0) return out;
  return skip >= out.size() ? Bytes() : out.substr(skip);
}

Text TextCodec::md5Hex(std::string_view bytes, bool upperCase, bool shortForm) {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int size = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_md5(), nullptr) != 1) {
    return Text();
  }
  return hexDigest(digest.data(), size, upperCase, shortForm);
}

Text TextCodec::fileMd5(const std::filesystem::path& path) {
  std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
  if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) return Text();
  // Streamed: update files can be large.
  std::ifstream in(path, std::ios::binary);
  std::array<char, 65536> buffer{};
  bool readable = static_cast<bool>(in);
  while (readable && in) {
    in.read(buffer.data(), buffer.size());
    if (in.bad()) readable = false;
    if (readable && in.gcount() > 0) {
      EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(in.gcount()));
    }
  }
  if (!readable) return md5Hex("");
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int size = 0;
  if (EVP_DigestFinal_ex(context.get(), digest.data(), &size) != 1) return Text();
  return hexDigest(digest.data(), size, false, false);
}

}  // namespace quenbo::script
