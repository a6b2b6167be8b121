// A JSON document read by member paths: how the search adapters and the update client read
// the answers of their services.
#pragma once

#include <string_view>
#include <vector>

#include "base/text.h"
#include "script/json_value.h"

namespace quenbo::script {

// Type codes of `ScriptJson::typeOf`.
enum class JsonType {
  Invalid = -1,
  Null = 0,
  Boolean = 1,
  Number = 2,
  Object = 4,
  Array = 5,
  String = 6
};

// Paths are dotted member names, zero-based [n], ['name'] and ["name"], such as
// data.results[0].name or [0].md5 (an element of a root array); the empty path is the
// document itself. Texts in and out are GBK. Answers are parsed as JSON and never run.
//
// A new document is an empty object. Queries never change it. Nothing throws: a missing
// member or a failed call gives "", 0, false or an empty document. One object is used by one
// thread; copies are independent documents.
class ScriptJson final {
 public:
  ScriptJson();

  // Replaces the document by the JSON text. False (and an empty document) for anything that
  // is not JSON, for null, and for nesting deeper than 512 levels.
  [[nodiscard]] bool parse(std::string_view text);

  // The document as compact JSON text ("null" after a failed parse).
  Text toText() const;

  // The value at `path`: strings as they are, numbers with at most 13 significant digits
  // (12.5, 1.234567890123e+13), true/false, objects and arrays in script text form
  // ("[object Object]", elements joined by ","); "" for a missing member or null. With
  // `stringify` the value's compact JSON text instead.
  Text getText(std::string_view path, bool stringify = false) const;

  // A copy of the value at `path` as a document of its own; a missing member or null gives
  // a document whose parse failed.
  ScriptJson getObject(std::string_view path) const;

  // Members of an object, elements of an array, 0 for other values, -2 for a missing member
  // or null; callers treat anything below 1 as no items.
  int getCount(std::string_view path) const;

  // The number at `path` (a numeric string counts, true is 1); 0 otherwise.
  double getNumber(std::string_view path) const;

  // Invalid for a path through a missing member or malformed; Null also for a missing one.
  JsonType typeOf(std::string_view path) const;

  // Whether the value at `path` exists and is not null.
  bool exists(std::string_view path) const;

  // Replaces `names` by the member names of the object (positions "0", "1", ... of an array)
  // at `path` and returns how many there are.
  int keys(std::string_view path, std::vector<Text>& names) const;

  // The compact JSON text of the value at `path`; "" when it is missing.
  Text stringifyAt(std::string_view path) const;

  // As getObject and getText for element `index` of the array at `path`.
  ScriptJson getArrayObject(int index, std::string_view path) const;
  Text getArrayText(int index, std::string_view path, bool stringify = false) const;

  // Changes. `value` is stored as a string, or with `valueIsJson` parsed as JSON text (an
  // empty text meaning {}). A change fails (false, document unchanged) when the value is not
  // JSON, when the member's parent is missing or not an object or array, or when the path is
  // empty (use `assign` for the whole document).
  bool set(std::string_view path, std::string_view value, bool valueIsJson = false);
  bool setScript(std::string_view path, std::string_view json) { return set(path, json, true); }
  bool setNumber(std::string_view path, double value);
  // Appends to the array at `path` (the document for an empty path), first making the
  // member an empty array when it is not one.
  bool push(std::string_view path, std::string_view value, bool valueIsJson = false);
  // Element `index` of the document (an array; a member named by the index of an object).
  bool setArrayItem(int index, std::string_view value, bool valueIsJson = false);
  // Takes element `index` out of the document array (a negative index counts from the end).
  bool removeAt(int index);
  // Takes the element a path ending in an index names (a.b[3]) out of its array.
  bool removePath(std::string_view path);
  // Deletes the member at `path`; an array element becomes null.
  bool remove(std::string_view path);
  // The document becomes {} for Null and Object, [] for Array; other codes change nothing.
  void reset(JsonType type);
  // Replaces the whole document.
  bool assign(std::string_view value, bool valueIsJson = false);
  // The document becomes {}.
  void clear();

 private:
  bool store(std::string_view path, JsonValue value, int depth);

  JsonValue root_;
};

}  // namespace quenbo::script
