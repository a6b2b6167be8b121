#include "script/json_value.h"

#include <charconv>
#include <cmath>
#include <string>
#include <nlohmann/json.hpp>

namespace quenbo::script {
namespace {

// Objects with more members than this keep a hash index.
constexpr std::size_t kIndexFrom = 16;

// Builds a JsonValue from the parser's events; refuses nesting past kMaxJsonDepth.
class DocumentBuilder final : public nlohmann::json_sax<nlohmann::json> {
 public:
  JsonValue root;
  int depth = 0;

  bool null() override { return add(JsonValue()); }
  bool boolean(bool value) override { return add(JsonValue(value)); }
  bool number_integer(number_integer_t value) override {
    return add(JsonValue(static_cast<double>(value)));
  }
  bool number_unsigned(number_unsigned_t value) override {
    return add(JsonValue(static_cast<double>(value)));
  }
  bool number_float(number_float_t value, const string_t&) override {
    return add(JsonValue(value));
  }
  bool string(string_t& value) override { return add(JsonValue(std::move(value))); }
  bool binary(binary_t&) override { return false; }
  bool start_object(std::size_t) override { return open(JsonValue(JsonObject())); }
  bool key(string_t& name) override {
    key_ = std::move(name);
    return true;
  }
  bool end_object() override { return close(); }
  bool start_array(std::size_t) override { return open(JsonValue(JsonArray())); }
  bool end_array() override { return close(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

 private:
  // Only the innermost open container ever grows, so the pointers below it stay valid.
  JsonValue* add(JsonValue value) {
    if (open_.empty()) {
      root = std::move(value);
      return &root;
    }
    JsonValue& parent = *open_.back();
    if (parent.kind() == JsonValue::Kind::Array) {
      parent.array().push_back(std::move(value));
      return &parent.array().back();
    }
    return &parent.object().put(std::move(key_), std::move(value));
  }
  bool open(JsonValue container) {
    if (static_cast<int>(open_.size()) >= kMaxJsonDepth) return false;
    open_.push_back(add(std::move(container)));
    depth = std::max(depth, static_cast<int>(open_.size()));
    return true;
  }
  bool close() {
    open_.pop_back();
    return true;
  }

  std::vector<JsonValue*> open_;
  std::string key_;
};

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The code unit of a \uHHHH escape starting at `at`, or -1.
int escapedUnit(std::string_view s, std::size_t at) {
  if (at + 6 > s.size() || s[at] != '\\' || s[at + 1] != 'u') return -1;
  int value = 0;
  for (std::size_t k = at + 2; k < at + 6; ++k) {
    int digit = hexDigit(s[k]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

// Replaces the \u escapes of lone surrogates inside strings by \uFFFD, which the parser
// would otherwise refuse, losing the whole answer for one broken character.
std::string_view repairSurrogates(std::string_view s, std::string& repaired) {
  bool inString = false;
  std::size_t copied = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '"') {
      inString = !inString;
    } else if (inString && s[i] == '\\') {
      int unit = escapedUnit(s, i);
      if (unit >= 0xD800 && unit <= 0xDBFF) {
        int low = escapedUnit(s, i + 6);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          i += 11;
          continue;
        }
      }
      if (unit >= 0xD800 && unit <= 0xDFFF) {
        repaired.append(s, copied, i - copied);
        repaired.append("\\uFFFD");
        copied = i + 6;
      }
      ++i;  // the escaped character
    }
  }
  if (copied == 0) return s;
  repaired.append(s, copied);
  return repaired;
}

// Puts quotes around each number too large for a double (1e400), which the parser would
// otherwise refuse, losing the whole answer for one member: it is read as its text.
std::string_view quoteHugeNumbers(std::string_view s, std::string& quoted) {
  bool inString = false;
  std::size_t copied = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (inString) {
      if (c == '\\') ++i;
      if (c == '"') inString = false;
      continue;
    }
    if (c == '"') {
      inString = true;
      continue;
    }
    if (c != '-' && (c < '0' || c > '9')) continue;
    std::size_t end = s.find_first_not_of("0123456789+-.eE", i);
    if (end == std::string_view::npos) end = s.size();
    std::string_view token = s.substr(i, end - i);
    double value = 0;
    // Out of range with a negative exponent is a tiny number, which the parser reads as 0.
    bool tooLarge = std::from_chars(token.data(), token.data() + token.size(), value).ec ==
                        std::errc::result_out_of_range &&
                    token.find("e-") == std::string_view::npos &&
                    token.find("E-") == std::string_view::npos;
    if (tooLarge) {
      quoted.append(s, copied, i - copied);
      quoted.append("\"").append(token).append("\"");
      copied = end;
    }
    i = end - 1;
  }
  if (copied == 0) return s;
  quoted.append(s, copied);
  return quoted;
}

void appendQuoted(std::string& out, const std::string& text) {
  out.push_back('"');
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          const char* digits = "0123456789abcdef";
          out += "\\u00";
          out.push_back(digits[(c >> 4) & 0x0F]);
          out.push_back(digits[c & 0x0F]);
        } else {
          out.push_back(c);
        }
    }
  }
  out.push_back('"');
}

void appendStringified(std::string& out, const JsonValue& value) {
  switch (value.kind()) {
    case JsonValue::Kind::Null:
      out += "null";
      break;
    case JsonValue::Kind::Boolean:
      out += value.boolean() ? "true" : "false";
      break;
    case JsonValue::Kind::Number:
      out += std::isfinite(value.number()) ? scriptNumberText(value.number()) : "null";
      break;
    case JsonValue::Kind::String:
      appendQuoted(out, value.string());
      break;
    case JsonValue::Kind::Array: {
      out.push_back('[');
      bool first = true;
      for (const JsonValue& element : value.array()) {
        if (!first) out.push_back(',');
        first = false;
        appendStringified(out, element);
      }
      out.push_back(']');
      break;
    }
    case JsonValue::Kind::Object: {
      out.push_back('{');
      bool first = true;
      for (const auto& [name, member] : value.object().members()) {
        if (!first) out.push_back(',');
        first = false;
        appendQuoted(out, name);
        out.push_back(':');
        appendStringified(out, member);
      }
      out.push_back('}');
      break;
    }
  }
}

}  // namespace

JsonObject::JsonObject() = default;
JsonObject::JsonObject(const JsonObject& other) = default;
JsonObject::JsonObject(JsonObject&& other) noexcept = default;
JsonObject& JsonObject::operator=(const JsonObject& other) = default;
JsonObject& JsonObject::operator=(JsonObject&& other) noexcept = default;
JsonObject::~JsonObject() = default;

std::size_t JsonObject::position(std::string_view name) const {
  if (!index_.empty()) {
    auto it = index_.find(name);
    return it == index_.end() ? members_.size() : it->second;
  }
  for (std::size_t i = 0; i < members_.size(); ++i) {
    if (members_[i].first == name) return i;
  }
  return members_.size();
}

void JsonObject::rebuildIndex() {
  index_.clear();
  if (members_.size() <= kIndexFrom) return;
  for (std::size_t i = 0; i < members_.size(); ++i) index_.emplace(members_[i].first, i);
}

const JsonValue* JsonObject::find(std::string_view name) const {
  std::size_t at = position(name);
  return at == members_.size() ? nullptr : &members_[at].second;
}

JsonValue* JsonObject::find(std::string_view name) {
  std::size_t at = position(name);
  return at == members_.size() ? nullptr : &members_[at].second;
}

JsonValue& JsonObject::put(std::string name, JsonValue value) {
  std::size_t at = position(name);
  if (at < members_.size()) {
    members_[at].second = std::move(value);
    return members_[at].second;
  }
  members_.emplace_back(std::move(name), std::move(value));
  if (!index_.empty()) {
    index_.emplace(members_.back().first, at);
  } else if (members_.size() > kIndexFrom) {
    rebuildIndex();
  }
  return members_.back().second;
}

bool JsonObject::erase(std::string_view name) {
  std::size_t at = position(name);
  if (at == members_.size()) return false;
  members_.erase(members_.begin() + static_cast<std::ptrdiff_t>(at));
  if (!index_.empty()) rebuildIndex();
  return true;
}

bool parseJson(std::string_view utf8, JsonValue& value, int& depth) {
  std::string repaired;
  std::string quoted;
  std::string_view text = quoteHugeNumbers(repairSurrogates(utf8, repaired), quoted);
  DocumentBuilder builder;
  try {
    if (!nlohmann::json::sax_parse(text.begin(), text.end(), &builder)) return false;
  } catch (const std::exception&) {
    return false;
  }
  value = std::move(builder.root);
  depth = builder.depth;
  return true;
}

std::string stringifyJson(const JsonValue& value) {
  std::string out;
  appendStringified(out, value);
  return out;
}

std::string scriptText(const JsonValue& value) {
  switch (value.kind()) {
    case JsonValue::Kind::Null:
      return std::string();
    case JsonValue::Kind::Boolean:
      return value.boolean() ? "true" : "false";
    case JsonValue::Kind::Number:
      return scriptNumberText(value.number());
    case JsonValue::Kind::String:
      return value.string();
    case JsonValue::Kind::Object:
      return "[object Object]";
    case JsonValue::Kind::Array:
      break;
  }
  std::string out;
  bool first = true;
  for (const JsonValue& element : value.array()) {
    if (!first) out.push_back(',');
    first = false;
    out += scriptText(element);
  }
  return out;
}

std::string scriptNumberText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  if (value == 0) return "0";
  if (value < 0) return "-" + scriptNumberText(-value);
  // The shortest digits that read back as the same number, then the script's layout.
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  std::string_view form(buffer, static_cast<std::size_t>(result.ptr - buffer));
  std::size_t e = form.find('e');
  std::string digits;
  for (char c : form.substr(0, e)) {
    if (c != '.') digits.push_back(c);
  }
  int exponent = 0;
  std::string_view exponentText = form.substr(e + 1);
  if (exponentText.front() == '+') exponentText.remove_prefix(1);
  std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
  const int k = static_cast<int>(digits.size());
  const int n = exponent + 1;  // the decimal point sits after n digits
  if (k <= n && n <= 21) return digits + std::string(static_cast<std::size_t>(n - k), '0');
  if (0 < n && n <= 21) {
    return digits.substr(0, static_cast<std::size_t>(n)) + "." +
           digits.substr(static_cast<std::size_t>(n));
  }
  if (-6 < n && n <= 0) return "0." + std::string(static_cast<std::size_t>(-n), '0') + digits;
  std::string out = digits.substr(0, 1);
  if (k > 1) out += "." + digits.substr(1);
  out += n - 1 >= 0 ? "e+" : "e-";
  out += std::to_string(std::abs(n - 1));
  return out;
}

}  // namespace quenbo::script
