// The JSON document model behind ScriptJson: values as a script engine sees them (every
// number a double, object members in the order they were added, a later duplicate member
// replacing the earlier one in place). Texts are UTF-8 here; ScriptJson converts at its edge.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace quenbo::script {

class JsonValue;
using JsonArray = std::vector<JsonValue>;

// Members in insertion order, with a hash index once there are enough of them that a linear
// search would make large answers quadratic.
class JsonObject final {
 public:
  using Member = std::pair<std::string, JsonValue>;

  JsonObject();
  JsonObject(const JsonObject& other);
  JsonObject(JsonObject&& other) noexcept;
  JsonObject& operator=(const JsonObject& other);
  JsonObject& operator=(JsonObject&& other) noexcept;
  ~JsonObject();

  const JsonValue* find(std::string_view name) const;
  JsonValue* find(std::string_view name);
  // Replaces the member in place or appends it.
  JsonValue& put(std::string name, JsonValue value);
  bool erase(std::string_view name);

  std::size_t size() const;
  const std::vector<Member>& members() const { return members_; }

 private:
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
      return std::hash<std::string_view>()(name);
    }
  };

  void rebuildIndex();
  std::size_t position(std::string_view name) const;  // size() when absent

  std::vector<Member> members_;
  // Name to position in members_; empty while there are few members.
  std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>> index_;
};

class JsonValue final {
 public:
  enum class Kind { Null, Boolean, Number, String, Array, Object };

  JsonValue() = default;
  explicit JsonValue(bool value) : data_(value) {}
  explicit JsonValue(double value) : data_(value) {}
  explicit JsonValue(std::string value) : data_(std::move(value)) {}
  explicit JsonValue(JsonArray value) : data_(std::move(value)) {}
  explicit JsonValue(JsonObject value) : data_(std::move(value)) {}

  Kind kind() const { return static_cast<Kind>(data_.index()); }
  bool isNull() const { return kind() == Kind::Null; }
  bool boolean() const { return std::get<bool>(data_); }
  double number() const { return std::get<double>(data_); }
  const std::string& string() const { return std::get<std::string>(data_); }
  const JsonArray& array() const { return std::get<JsonArray>(data_); }
  JsonArray& array() { return std::get<JsonArray>(data_); }
  const JsonObject& object() const { return std::get<JsonObject>(data_); }
  JsonObject& object() { return std::get<JsonObject>(data_); }

 private:
  std::variant<std::monostate, bool, double, std::string, JsonArray, JsonObject> data_;
};

inline std::size_t JsonObject::size() const {
  return members_.size();
}

// Nesting deeper than this is refused, so no walk over a document can exhaust the stack.
constexpr int kMaxJsonDepth = 512;

// Parses a UTF-8 JSON text (strict JSON, nothing else). A \u escape of a lone surrogate reads
// as U+FFFD. On success `depth` is the nesting depth of the value (0 for a scalar).
bool parseJson(std::string_view utf8, JsonValue& value, int& depth);

// The value as JSON.stringify writes it, without blanks.
std::string stringifyJson(const JsonValue& value);

// The value as a script engine turns it into a string: "true", "[object Object]", array
// elements joined by "," (null elements empty), numbers in the script's shortest form.
std::string scriptText(const JsonValue& value);

// A number as a script engine writes it: 3, 12.5, 1e+21, 1.5e-7, NaN.
std::string scriptNumberText(double value);

}  // namespace quenbo::script
