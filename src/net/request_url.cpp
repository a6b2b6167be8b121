#include "net/request_url.h"

#include "base/encoding.h"
#include "base/text_search.h"

namespace quenbo::net {
namespace {

void appendEscaped(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 15];
}

std::string escapedTarget(std::string_view target) {
  std::string out;
  for (std::size_t i = 0; i < target.size();) {
    auto byte = static_cast<unsigned char>(target[i]);
    std::size_t length = charLength(target, i);
    if (byte >= 0x80) {
      for (char c : gbkToUtf8(target.substr(i, length)))
        appendEscaped(out, static_cast<unsigned char>(c));
    } else if (byte <= 0x20 || byte == 0x7F) {
      appendEscaped(out, byte);
    } else {
      out += static_cast<char>(byte);
    }
    i += length;
  }
  return out;
}

std::optional<int> portNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  int port = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + (c - '0');
  }
  if (port < 1 || port > 65535) return std::nullopt;
  return port;
}

}  // namespace

std::string RequestUrl::curlUrl() const {
  std::string url = secure ? "https://" : "http://";
  bool literalV6 = host.find(':') != std::string::npos;
  if (literalV6) url += '[';
  url += gbkToUtf8(host);
  if (literalV6) url += ']';
  url += ':' + std::to_string(port);
  url += escapedTarget(target);
  return url;
}

std::optional<RequestUrl> crackUrl(std::string_view url) {
  RequestUrl out;
  Text lower = lowerAscii(url.substr(0, 8));
  std::size_t from;
  if (lower.rfind("http://", 0) == 0) {
    from = 7;
  } else if (lower.rfind("https://", 0) == 0) {
    from = 8;
    out.secure = true;
  } else {
    return std::nullopt;
  }
  out.port = out.secure ? 443 : 80;
  std::size_t end = url.find_first_of("/?#", from);
  if (end == std::string_view::npos) end = url.size();
  std::string_view authority = url.substr(from, end - from);
  std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) authority.remove_prefix(at + 1);

  std::string_view host = authority, port;
  if (!authority.empty() && authority[0] == '[') {
    std::size_t close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = authority.substr(1, close - 1);
    std::string_view rest = authority.substr(close + 1);
    if (!rest.empty() && rest[0] != ':') return std::nullopt;
    if (!rest.empty()) port = rest.substr(1);
  } else if (std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
    host = authority.substr(0, colon);
    port = authority.substr(colon + 1);
  }
  if (host.empty()) return std::nullopt;
  if (!port.empty()) {
    auto number = portNumber(port);
    if (!number) return std::nullopt;
    out.port = *number;
  }
  out.host = Text(host);
  std::string_view rest = url.substr(end);
  // The path runs up to the query or fragment; without a path nothing after the host is sent.
  out.target = !rest.empty() && rest[0] == '/' ? Text(rest) : Text("/");
  return out;
}

}  // namespace quenbo::net
