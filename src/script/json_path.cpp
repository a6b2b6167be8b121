#include "script/json_path.h"

#include <charconv>

namespace quenbo::script {
namespace {

// A decimal position of at most 18 digits without a leading zero (the form a script engine
// treats as an array index).
std::optional<std::size_t> canonicalIndex(std::string_view text) {
  if (text.empty() || text.size() > 18 || (text.size() > 1 && text[0] == '0')) return {};
  std::size_t value = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return {};
  return value;
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

// Reads "[...]" at `at`, leaving `at` after the "]".
std::optional<PathStep> readBracket(std::string_view path, std::size_t& at) {
  ++at;  // "["
  while (at < path.size() && isBlank(path[at])) ++at;
  if (at >= path.size()) return {};
  PathStep step;
  char quote = path[at];
  if (quote == '\'' || quote == '"') {
    for (++at; at < path.size() && path[at] != quote; ++at) {
      if (path[at] == '\\' && at + 1 < path.size()) ++at;
      step.name.push_back(path[at]);
    }
    if (at >= path.size()) return {};
    ++at;  // closing quote
  } else {
    std::size_t begin = at;
    while (at < path.size() && path[at] >= '0' && path[at] <= '9') ++at;
    step.name = std::string(path.substr(begin, at - begin));
    if (step.name.empty()) return {};
    if (auto index = canonicalIndex(step.name)) {
      step.isIndex = true;
      step.index = *index;
    }
  }
  while (at < path.size() && isBlank(path[at])) ++at;
  if (at >= path.size() || path[at] != ']') return {};
  ++at;
  return step;
}

}  // namespace

std::optional<std::vector<PathStep>> parsePath(std::string_view path) {
  std::vector<PathStep> steps;
  std::size_t at = 0;
  while (at < path.size()) {
    if (path[at] == '[') {
      auto step = readBracket(path, at);
      if (!step) return {};
      steps.push_back(std::move(*step));
      continue;
    }
    if (!steps.empty()) {
      if (path[at] != '.') return {};
      ++at;
    }
    std::size_t begin = at;
    while (at < path.size() && path[at] != '.' && path[at] != '[' && path[at] != ']') ++at;
    if (at == begin) return {};
    steps.push_back(PathStep{std::string(path.substr(begin, at - begin))});
  }
  return steps;
}

std::optional<std::size_t> arrayPosition(const PathStep& step) {
  if (step.isIndex) return step.index;
  return canonicalIndex(step.name);
}

namespace {

// The UTF-16 length of a UTF-8 text, as a script engine counts a string.
double scriptLength(const std::string& utf8) {
  double units = 0;
  for (char c : utf8) {
    auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

}  // namespace

Lookup lookUp(const JsonValue& root, const std::vector<PathStep>& steps, JsonValue& holder) {
  Lookup result;
  result.state = Lookup::State::Found;
  result.value = &root;
  for (const PathStep& step : steps) {
    if (result.state != Lookup::State::Found || result.value->isNull()) {
      return Lookup{};  // a member of undefined or null
    }
    const JsonValue& current = *result.value;
    const JsonValue* next = nullptr;
    double length = -1;
    switch (current.kind()) {
      case JsonValue::Kind::Object:
        next = current.object().find(step.name);
        break;
      case JsonValue::Kind::Array:
        if (auto position = arrayPosition(step)) {
          if (*position < current.array().size()) next = &current.array()[*position];
        } else if (step.name == "length") {
          length = static_cast<double>(current.array().size());
        }
        break;
      case JsonValue::Kind::String:
        if (step.name == "length") length = scriptLength(current.string());
        break;
      default:
        break;  // numbers and booleans have no members
    }
    if (length >= 0) {
      holder = JsonValue(length);
      next = &holder;
    }
    result.value = next;
    if (!next) result.state = Lookup::State::Missing;
  }
  return result;
}

JsonValue* locate(JsonValue& root, const std::vector<PathStep>& steps, std::size_t count) {
  JsonValue* current = &root;
  for (std::size_t i = 0; i < count && current; ++i) {
    if (current->kind() == JsonValue::Kind::Object) {
      current = current->object().find(steps[i].name);
    } else if (current->kind() == JsonValue::Kind::Array) {
      auto position = arrayPosition(steps[i]);
      current =
          position && *position < current->array().size() ? &current->array()[*position] : nullptr;
    } else {
      current = nullptr;
    }
  }
  return current;
}

}  // namespace quenbo::script
