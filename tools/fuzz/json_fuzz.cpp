// ScriptJson::parse and path queries over any answer. Parts: the JSON text, then paths and
// values for queries and changes.
#include "fuzz_input.h"
#include "script/script_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using quenbo::fuzz::check;
  quenbo::fuzz::FuzzInput input(data, size);
  quenbo::script::ScriptJson json;
  bool parsed = json.parse(input.part(0));
  const quenbo::Text text = json.toText();
  if (parsed) {
    quenbo::script::ScriptJson again;
    check(again.parse(text), "the document's own text parses");
    check(again.toText() == text, "the document's text is stable");
  }
  std::vector<quenbo::Text> names;
  for (std::size_t i = 1; i < input.parts.size() && i < 8; ++i) {
    const quenbo::Text& path = input.parts[i];
    json.getText(path);
    json.getText(path, true);
    json.getCount(path);
    json.getNumber(path);
    int type = static_cast<int>(json.typeOf(path));
    check(type >= -1 && type <= 6 && type != 3, "a known type code");
    check(json.keys(path, names) == static_cast<int>(names.size()), "keys counts its names");
    check(json.exists(path) == (type > 0), "exists agrees with typeOf");
    json.getObject(path).toText();
    json.getArrayText(static_cast<int>(i) - 2, path);
  }
  const quenbo::Text& path = input.part(1);
  const quenbo::Text& value = input.part(2);
  switch (input.flags % 8) {
    case 0:
      json.set(path, value, input.flag(3));
      break;
    case 1:
      json.push(path, value, input.flag(3));
      break;
    case 2:
      json.remove(path);
      break;
    case 3:
      json.removePath(path);
      break;
    case 4:
      json.setArrayItem(static_cast<int>(input.flags >> 4) - 4, value, input.flag(3));
      break;
    case 5:
      json.removeAt(static_cast<int>(input.flags >> 4) - 8);
      break;
    case 6:
      json.setNumber(path, static_cast<double>(input.flags) / 3);
      break;
    default:
      json.assign(value, input.flag(3));
      break;
  }
  quenbo::script::ScriptJson changed;
  check(changed.parse(json.toText()) || json.toText() == "null" || !parsed,
        "a changed document still reads back");
  return 0;
}
