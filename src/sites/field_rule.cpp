#include "sites/field_rule.h"

#include "base/encoding.h"
#include "script/script_json.h"
#include "sites/percent_characters.h"
#include "sites/text_cleaning.h"
#include "sites/text_cutting.h"

namespace quenbo::sites {

namespace {

FieldRule withSteps(FieldRule rule, std::initializer_list<FieldStep> steps) {
  rule.steps.assign(steps.begin(), steps.end());
  return rule;
}

// A run of replace steps is one replacement chain: each pair works on the output of the one
// before, five pairs at most per chain.
std::size_t applyReplaceRun(const std::vector<FieldStep>& steps, std::size_t first, Text& text) {
  Replacement pairs[5];
  std::size_t count = 0;
  while (first + count < steps.size() && count < 5 &&
         steps[first + count].kind == StepKind::replace) {
    pairs[count] = {steps[first + count].a, steps[first + count].b};
    ++count;
  }
  text = replaceChain(text, std::span<const Replacement>(pairs, count));
  return count;
}

}  // namespace

FieldRule between(std::string_view left, std::string_view right,
                  std::initializer_list<FieldStep> steps) {
  return withSteps({FieldSource::between, utf8ToGbk(left), utf8ToGbk(right)}, steps);
}

FieldRule betweenIgnoringCase(std::string_view left, std::string_view right,
                              std::initializer_list<FieldStep> steps) {
  FieldRule rule = between(left, right, steps);
  rule.ignoreCase = true;
  return rule;
}

FieldRule member(std::string_view path, std::initializer_list<FieldStep> steps) {
  return withSteps({FieldSource::member, utf8ToGbk(path)}, steps);
}

FieldRule memberAsJson(std::string_view path) {
  return {FieldSource::memberJson, utf8ToGbk(path)};
}

FieldRule fixed(std::string_view text) {
  return {FieldSource::fixed, utf8ToGbk(text)};
}

FieldStep afterLast(std::string_view marker) {
  return {StepKind::afterLast, utf8ToGbk(marker)};
}
FieldStep afterLastIfFound(std::string_view marker) {
  return {StepKind::afterLastIfFound, utf8ToGbk(marker)};
}
FieldStep within(std::string_view left, std::string_view right) {
  return {StepKind::between, utf8ToGbk(left), utf8ToGbk(right)};
}
FieldStep before(std::string_view marker) {
  return {StepKind::before, utf8ToGbk(marker)};
}
FieldStep replace(std::string_view find, std::string_view with) {
  return {StepKind::replace, utf8ToGbk(find), utf8ToGbk(with)};
}
FieldStep remove(std::string_view find) {
  return replace(find, {});
}
FieldStep replaceIfEqual(std::string_view whole, std::string_view with) {
  return {StepKind::replaceIfEqual, utf8ToGbk(whole), utf8ToGbk(with)};
}
FieldStep trim() {
  return {StepKind::trimSpaces};
}
FieldStep trimFullWidth() {
  return {StepKind::trimBlanks};
}

Text applySteps(const std::vector<FieldStep>& steps, Text text) {
  for (std::size_t i = 0; i < steps.size();) {
    const FieldStep& step = steps[i];
    switch (step.kind) {
      case StepKind::replace:
        i += applyReplaceRun(steps, i, text);
        continue;
      case StepKind::afterLast:
        text = textAfterLast(text, step.a);
        break;
      case StepKind::afterLastIfFound:
        if (findBytes(text, step.a) != -1) text = textAfterLast(text, step.a);
        break;
      case StepKind::between:
        text = textBetween(text, step.a, step.b);
        break;
      case StepKind::before:
        text = textBefore(text, step.a);
        break;
      case StepKind::replaceIfEqual:
        if (text == step.a) text = step.b;
        break;
      case StepKind::trimSpaces:
        text = trimSpaces(text);
        break;
      case StepKind::trimBlanks:
        text = net::trimBlanks(text);
        break;
    }
    ++i;
  }
  return text;
}

Text readField(const FieldRule& rule, std::string_view block) {
  switch (rule.source) {
    case FieldSource::between:
      return applySteps(rule.steps, textBetween(block, rule.left, rule.right, 1, rule.ignoreCase));
    case FieldSource::fixed:
      return rule.left;
    default:
      return {};
  }
}

Text readField(const FieldRule& rule, const script::ScriptJson& json, std::string_view itemPath,
               bool percentCharacters) {
  Text path = Text(itemPath) + rule.left;
  switch (rule.source) {
    case FieldSource::member: {
      Text text = json.getText(path);
      return applySteps(rule.steps, percentCharacters ? decodePercentCharacters(text) : text);
    }
    case FieldSource::memberJson:
      // The JSON text of nothing is "null", which no site means as a value.
      return json.exists(path) ? applySteps(rule.steps, json.getObject(path).toText()) : Text();
    case FieldSource::fixed:
      return rule.left;
    default:
      return {};
  }
}

}  // namespace quenbo::sites
