// Member paths into a JSON document: dotted names, zero-based [n], ['name'] and ["name"];
// a path may begin with "[" (an index of a root array). Looking a path up follows script
// rules: a missing last member is undefined, a member of undefined or null is an error.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/json_value.h"

namespace quenbo::script {

struct PathStep {
  std::string name;  // UTF-8; for an index step its decimal form
  bool isIndex = false;
  std::size_t index = 0;
};

// The steps of a UTF-8 path (empty for the empty path, meaning the root); nullopt when the
// path is malformed.
std::optional<std::vector<PathStep>> parsePath(std::string_view path);

// The array position a step names: an index, or a name in canonical decimal form.
std::optional<std::size_t> arrayPosition(const PathStep& step);

struct Lookup {
  enum class State { Found, Missing, Error } state = State::Error;
  const JsonValue* value = nullptr;  // when Found

  const JsonValue& get() const { return *value; }
};

// The value at `steps`. A value that is not stored in the document (a length) is put into
// `holder`, which must outlive the result.
Lookup lookUp(const JsonValue& root, const std::vector<PathStep>& steps, JsonValue& holder);

// The stored value at `steps` (all of them found), for changing it in place; nullptr otherwise.
JsonValue* locate(JsonValue& root, const std::vector<PathStep>& steps, std::size_t count);

}  // namespace quenbo::script
