// How one field of a hit is read: where its text comes from (a stretch between two markers
// of an HTML block, a member of a JSON item, or a fixed text) and the cleaning steps applied
// to it afterwards, in order. Rules are written in UTF-8 and held in GBK.
#pragma once

#include <initializer_list>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace quenbo::script {
class ScriptJson;
}

namespace quenbo::sites {


enum class StepKind {
  afterLast,         // the text after the last `a`; "" without one
  afterLastIfFound,  // as afterLast, but only when a byte search finds `a`
  between,           // the text between `a` and the next `b`
  before,            // the text before the first `a`; "" without one
  replace,           // every `a` becomes `b` (ASCII letters folded); runs of these chain
  replaceIfEqual,    // the whole text becomes `b` when it is exactly `a`
  trimSpaces,
  trimBlanks,  // ASCII spaces and full-width spaces
};

struct FieldStep {
  StepKind kind;
  Text a{}, b{};
};

enum class FieldSource {
  none,        // the field stays empty
  between,     // HTML block: the text between `left` and the next `right`
  member,      // JSON item: the text of member `left` (".name", "['file_size']")
  memberJson,  // JSON item: the JSON text of member `left` (a string keeps its quotes)
  fixed,       // the text `left`
};

struct FieldRule {
  FieldSource source = FieldSource::none;
  Text left{}, right{};
  bool ignoreCase = false;  // for the markers of `between`
  std::vector<FieldStep> steps{};
};

// Builders for the catalogue's tables; every text is given in UTF-8.
FieldRule between(std::string_view left, std::string_view right,
                  std::initializer_list<FieldStep> steps = {});
FieldRule betweenIgnoringCase(std::string_view left, std::string_view right,
                              std::initializer_list<FieldStep> steps = {});
FieldRule member(std::string_view path, std::initializer_list<FieldStep> steps = {});
FieldRule memberAsJson(std::string_view path);
FieldRule fixed(std::string_view text);

FieldStep afterLast(std::string_view marker);
FieldStep afterLastIfFound(std::string_view marker);
FieldStep within(std::string_view left, std::string_view right);
FieldStep before(std::string_view marker);
FieldStep replace(std::string_view find, std::string_view with);
FieldStep remove(std::string_view find);
FieldStep replaceIfEqual(std::string_view whole, std::string_view with);
FieldStep trim();
FieldStep trimFullWidth();

// The field of an HTML block (or of a JSON answer cut as text). Member rules read nothing.
Text readField(const FieldRule& rule, std::string_view block);

// The field of JSON item `itemPath` (such as data.results[3]). Marker rules read nothing;
// a missing or null member reads as "" (a member's JSON text too). With
// `percentCharacters` a member's text has its percent-encoded characters decoded
// (decodePercentCharacters) before the steps; the parser has already decoded the rest.
Text readField(const FieldRule& rule, const script::ScriptJson& json, std::string_view itemPath,
               bool percentCharacters = false);

// Every step of the rule, in order, over `text`.
Text applySteps(const std::vector<FieldStep>& steps, Text text);

}  // namespace quenbo::sites
