#include "script/script_json.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "base/encoding.h"
#include "script/json_path.h"

namespace quenbo::script {
namespace {

// Setting an element this far past the end of an array is refused rather than filling the
// gap with nulls.
constexpr std::size_t kMaxArrayGap = 65536;

// Member names a script engine's document would enumerate besides the real members; they
// are never reported.
bool isHiddenName(const std::string& name) {
  return name == "toJSONString" || name == "parseJSON";
}

Text toText(const std::string& utf8) {
  Text text = utf8ToGbk(utf8);
  std::erase(text, '\0');  // texts hold no zero bytes
  return text;
}

// `holder` keeps a computed value (a length) for as long as the result is used.
Lookup find(const JsonValue& root, std::string_view path, JsonValue& holder) {
  auto steps = parsePath(gbkToUtf8(path));
  if (!steps) return Lookup{};
  return lookUp(root, *steps, holder);
}

bool foundValue(const Lookup& lookup) {
  return lookup.state == Lookup::State::Found && !lookup.get().isNull();
}

bool readValue(std::string_view value, bool valueIsJson, JsonValue& out, int& depth) {
  depth = 0;
  if (!valueIsJson) {
    out = JsonValue(gbkToUtf8(value));
    return true;
  }
  return parseJson(value.empty() ? "{}" : gbkToUtf8(value), out, depth);
}

bool assignMember(JsonValue& parent, const PathStep& step, JsonValue value) {
  if (parent.kind() == JsonValue::Kind::Object) {
    parent.object().put(step.name, std::move(value));
    return true;
  }
  if (parent.kind() != JsonValue::Kind::Array) return false;
  auto position = arrayPosition(step);
  JsonArray& array = parent.array();
  if (!position || *position > array.size() + kMaxArrayGap) return false;
  if (*position >= array.size()) array.resize(*position + 1);
  array[*position] = std::move(value);
  return true;
}

int memberCount(const JsonObject& object) {
  auto hidden = std::count_if(object.members().begin(), object.members().end(),
                              [](const JsonObject::Member& m) { return isHiddenName(m.first); });
  return static_cast<int>(object.size()) - static_cast<int>(hidden);
}

}  // namespace

ScriptJson::ScriptJson() : root_(JsonObject()) {}

bool ScriptJson::parse(std::string_view text) {
  JsonValue value;
  int depth = 0;
  if (!parseJson(gbkToUtf8(text), value, depth) || value.isNull()) {
    root_ = JsonValue();
    return false;
  }
  root_ = std::move(value);
  return true;
}

Text ScriptJson::toText() const {
  return script::toText(stringifyJson(root_));
}

Text ScriptJson::getText(std::string_view path, bool stringify) const {
  if (stringify) return stringifyAt(path);
  JsonValue holder;
  Lookup lookup = find(root_, path, holder);
  if (!foundValue(lookup)) return Text();
  const JsonValue& value = lookup.get();
  switch (value.kind()) {
    case JsonValue::Kind::String:
      return script::toText(value.string());
    case JsonValue::Kind::Number: {
      // 13 significant digits, as "%.13g" writes them, whatever the process locale.
      char buffer[64];
      auto result = std::to_chars(buffer, buffer + sizeof buffer, value.number(),
                                  std::chars_format::general, 13);
      return Text(buffer, result.ptr);
    }
    default:
      return script::toText(scriptText(value));
  }
}

ScriptJson ScriptJson::getObject(std::string_view path) const {
  ScriptJson copy;
  JsonValue holder;
  Lookup lookup = find(root_, path, holder);
  copy.root_ = foundValue(lookup) ? lookup.get() : JsonValue();
  return copy;
}

int ScriptJson::getCount(std::string_view path) const {
  JsonValue holder;
  Lookup lookup = find(root_, path, holder);
  if (lookup.state == Lookup::State::Error) return 0;
  if (lookup.state == Lookup::State::Missing || lookup.get().isNull()) return -2;
  const JsonValue& value = lookup.get();
  if (value.kind() == JsonValue::Kind::Object) return memberCount(value.object());
  if (value.kind() == JsonValue::Kind::Array) return static_cast<int>(value.array().size());
  return 0;
}

double ScriptJson::getNumber(std::string_view path) const {
  JsonValue holder;
  Lookup lookup = find(root_, path, holder);
  if (!foundValue(lookup)) return 0;
  const JsonValue& value = lookup.get();
  switch (value.kind()) {
    case JsonValue::Kind::Number:
      return value.number();
    case JsonValue::Kind::Boolean:
      return value.boolean() ? 1 : 0;
    case JsonValue::Kind::String: {
      std::string_view text = value.string();
      while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
      while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
      double number = 0;
      auto result = std::from_chars(text.data(), text.data() + text.size(), number);
      bool whole = result.ec == std::errc() && result.ptr == text.data() + text.size();
      return whole ? number : 0;
    }
    default:
      return 0;
  }
}

JsonType ScriptJson::typeOf(std::string_view path) const {
  JsonValue holder;
  Lookup lookup = find(root_, path, holder);
  if (lookup.state == Lookup::State::Error) return JsonType::Invalid;
  if (lookup.state == Lookup::State::Missing) return JsonType::Null;
  switch (lookup.get().kind()) {
    case JsonValue::Kind::Null:
      return JsonType::Null;
    case JsonValue::Kind::Boolean:
      return JsonType::Boolean;
    case JsonValue::Kind::Number:
      return JsonType::Number;
    case JsonValue::Kind::String:
      return JsonType::String;
    case JsonValue::Kind::Array:
      return JsonType::Array;
    case JsonValue::Kind::Object:
      return JsonType::Object;
  }
  return JsonType::Invalid;
}

bool ScriptJson::exists(std::string_view path) const {
  JsonValue holder;
  return foundValue(find(root_, path, holder));
}

int ScriptJson::keys(std::string_view path, std::vector<Text>& names) const {
  names.clear();
  JsonValue holder;
  Lookup lookup = find(root_, path, holder);
  if (!foundValue(lookup)) return 0;
  const JsonValue& value = lookup.get();
  if (value.kind() == JsonValue::Kind::Object) {
    for (const auto& member : value.object().members()) {
      if (!isHiddenName(member.first)) names.push_back(script::toText(member.first));
    }
  } else if (value.kind() == JsonValue::Kind::Array) {
    for (std::size_t i = 0; i < value.array().size(); ++i) names.push_back(std::to_string(i));
  }
  return static_cast<int>(names.size());
}

Text ScriptJson::stringifyAt(std::string_view path) const {
  JsonValue holder;
  Lookup lookup = find(root_, path, holder);
  if (lookup.state != Lookup::State::Found) return Text();
  return script::toText(stringifyJson(lookup.get()));
}

ScriptJson ScriptJson::getArrayObject(int index, std::string_view path) const {
  return getObject(Text(path) + "[" + std::to_string(index) + "]");
}

Text ScriptJson::getArrayText(int index, std::string_view path, bool stringify) const {
  return getText(Text(path) + "[" + std::to_string(index) + "]", stringify);
}

bool ScriptJson::store(std::string_view path, JsonValue value, int depth) {
  auto steps = parsePath(gbkToUtf8(path));
  if (!steps || steps->empty()) return false;
  if (static_cast<int>(steps->size()) + depth > kMaxJsonDepth) return false;
  JsonValue* parent = locate(root_, *steps, steps->size() - 1);
  return parent && assignMember(*parent, steps->back(), std::move(value));
}

bool ScriptJson::set(std::string_view path, std::string_view value, bool valueIsJson) {
  JsonValue parsed;
  int depth = 0;
  return readValue(value, valueIsJson, parsed, depth) && store(path, std::move(parsed), depth);
}

bool ScriptJson::setNumber(std::string_view path, double value) {
  return store(path, JsonValue(value), 0);
}

bool ScriptJson::push(std::string_view path, std::string_view value, bool valueIsJson) {
  JsonValue parsed;
  int depth = 0;
  auto steps = parsePath(gbkToUtf8(path));
  if (!steps || !readValue(value, valueIsJson, parsed, depth)) return false;
  if (static_cast<int>(steps->size()) + 1 + depth > kMaxJsonDepth) return false;
  JsonValue* target = locate(root_, *steps, steps->size());
  if (!target || target->kind() != JsonValue::Kind::Array) {
    if (steps->empty()) {
      root_ = JsonValue(JsonArray());
    } else {
      JsonValue* parent = locate(root_, *steps, steps->size() - 1);
      if (!parent || !assignMember(*parent, steps->back(), JsonValue(JsonArray()))) return false;
    }
    target = locate(root_, *steps, steps->size());
  }
  target->array().push_back(std::move(parsed));
  return true;
}

bool ScriptJson::setArrayItem(int index, std::string_view value, bool valueIsJson) {
  JsonValue parsed;
  int depth = 0;
  if (!readValue(value, valueIsJson, parsed, depth) || 1 + depth > kMaxJsonDepth) return false;
  PathStep step{std::to_string(index), index >= 0,
                index >= 0 ? static_cast<std::size_t>(index) : 0};
  return assignMember(root_, step, std::move(parsed));
}

bool ScriptJson::removeAt(int index) {
  if (root_.kind() != JsonValue::Kind::Array) return false;
  JsonArray& array = root_.array();
  auto size = static_cast<long long>(array.size());
  long long at = index < 0 ? std::max(0LL, size + index) : index;
  if (at >= size) return false;
  array.erase(array.begin() + at);
  return true;
}

bool ScriptJson::removePath(std::string_view path) {
  auto steps = parsePath(gbkToUtf8(path));
  if (!steps || steps->empty()) return false;
  auto position = arrayPosition(steps->back());
  JsonValue* parent = locate(root_, *steps, steps->size() - 1);
  if (!position || !parent || parent->kind() != JsonValue::Kind::Array) return false;
  JsonArray& array = parent->array();
  if (*position >= array.size()) return false;
  array.erase(array.begin() + static_cast<std::ptrdiff_t>(*position));
  return true;
}

bool ScriptJson::remove(std::string_view path) {
  auto steps = parsePath(gbkToUtf8(path));
  if (!steps || steps->empty()) return false;
  JsonValue* parent = locate(root_, *steps, steps->size() - 1);
  if (!parent) return false;
  if (parent->kind() == JsonValue::Kind::Object) return parent->object().erase(steps->back().name);
  if (parent->kind() != JsonValue::Kind::Array) return false;
  auto position = arrayPosition(steps->back());
  if (!position || *position >= parent->array().size()) return false;
  parent->array()[*position] = JsonValue();  // deleting an element leaves a hole
  return true;
}

void ScriptJson::reset(JsonType type) {
  if (type == JsonType::Null || type == JsonType::Object) root_ = JsonValue(JsonObject());
  if (type == JsonType::Array) root_ = JsonValue(JsonArray());
}

bool ScriptJson::assign(std::string_view value, bool valueIsJson) {
  JsonValue parsed;
  int depth = 0;
  if (!readValue(value, valueIsJson, parsed, depth)) return false;
  root_ = std::move(parsed);
  return true;
}

void ScriptJson::clear() {
  root_ = JsonValue(JsonObject());
}

}  // namespace quenbo::script
