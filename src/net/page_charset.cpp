#include "net/page_charset.h"

#include "script/regex_matcher.h"
#include "script/text_codec.h"

namespace quenbo::net {
namespace {

constexpr std::size_t kSearchedBytes = 1024;
constexpr std::string_view kMetaCharset = R"(<meta.+?charset=[^\w]?([-\w]+))";

}  // namespace

Text textWithoutZeros(std::string_view bytes) {
  Text text(bytes);
  std::erase(text, '\0');
  return text;
}

Text decodeDeclaredCharset(const Text& text, const Bytes& body) {
  script::RegexMatcher matcher;
  if (!matcher.execute(kMetaCharset, std::string_view(text).substr(0, kSearchedBytes)) ||
      matcher.matchCount() < 1) {
    return text;
  }
  Text name = matcher.groupText(1, 1);
  if (name.empty() || name == "gbk" || name == "gb2312") return text;
  Bytes decoded = script::TextCodec::convertCharset(body, name, "GBK");
  // Empty bytes from a non-empty body: the name is unknown to the converter.
  if (decoded.empty() && !body.empty()) return text;
  return textWithoutZeros(decoded);
}

}  // namespace quenbo::net
