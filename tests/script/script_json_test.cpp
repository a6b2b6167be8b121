#include "script/script_json.h"

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "script/json_value.h"

namespace quenbo::script {
namespace {

const char* kAnswer = R"({"data":{"results":[
  {"name":"电影","size":12.5,"big":12345678901234,"ten":1234567890,"ok":true,
   "obj":{"a":1},"arr":[1,"x",null,[2,3]],"nul":null,"file_size":"1 GB"}]}})";

ScriptJson parsed(const std::string& utf8) {
  ScriptJson json;
  EXPECT_TRUE(json.parse(utf8ToGbk(utf8))) << utf8;
  return json;
}

TEST(ScriptJson, ParseAcceptsJsonOnly) {
  ScriptJson json;
  EXPECT_TRUE(json.parse("{}"));
  EXPECT_EQ(json.getCount(""), 0);
  EXPECT_TRUE(json.parse("123"));
  EXPECT_TRUE(json.parse(" \"s\" "));
  for (const char* bad : {"null", "", "[1,2", "{a:1}", "{'a':1}", "alert(1)", "[1]x", "NaN"}) {
    EXPECT_FALSE(json.parse(bad)) << bad;
    EXPECT_EQ(json.getText("a"), "");
    EXPECT_EQ(json.toText(), "null");
  }
}

TEST(ScriptJson, GetTextFollowsTheResultRules) {
  ScriptJson json = parsed(kAnswer);
  struct Case {
    const char* path;
    std::string expected;  // UTF-8
  } cases[] = {
      {"data.results[0].name", "电影"},
      {"data.results[0].size", "12.5"},
      {"data.results[0].big", "1.234567890123e+13"},
      {"data.results[0].ten", "1234567890"},
      {"data.results[0].ok", "true"},
      {"data.results[0].obj", "[object Object]"},
      {"data.results[0].arr", "1,x,,2,3"},
      {"data.results[0].nul", ""},
      {"data.results[0]['file_size']", "1 GB"},
      {"data.results[0][\"file_size\"]", "1 GB"},
      {"data['results'][0].name", "电影"},
      {"data.results.length", "1"},
      {"data.results[0].name.length", "2"},
      {"data.results[1].name", ""},
      {"data.results[0].missing", ""},
      {"nodata.results[0].name", ""},
      {"data..results", ""},
      {"data.results[x]", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(json.getText(c.path), utf8ToGbk(c.expected)) << c.path;
  }
  EXPECT_EQ(json.getText("data.results[0].obj", true), R"({"a":1})");
  EXPECT_EQ(json.getText("data.results[0].arr", true), R"([1,"x",null,[2,3]])");
  EXPECT_EQ(json.getText("data.results[0].name", true), utf8ToGbk("\"电影\""));
  EXPECT_EQ(json.getText("data.results[0].missing", true), "");
}

TEST(ScriptJson, LeadingIndexAddressesARootArray) {
  ScriptJson json = parsed("[10,20,30]");
  EXPECT_EQ(json.getText("[1]"), "20");
  EXPECT_EQ(json.getCount(""), 3);
  json = parsed(R"([{"md5":"abc"}])");
  EXPECT_EQ(json.getText("[0].md5"), "abc");
  EXPECT_EQ(json.getArrayText(0, "", false), "[object Object]");
  EXPECT_EQ(json.getArrayObject(0, "").getText("md5"), "abc");
}

TEST(ScriptJson, CountsMembersAndElements) {
  ScriptJson json = parsed(R"({"a":1,"b":[1,2,3,4],"c":"xyz","d":null,"e":{}})");
  EXPECT_EQ(json.getCount(""), 5);
  EXPECT_EQ(json.getCount("b"), 4);
  EXPECT_EQ(json.getCount("c"), 0);
  EXPECT_EQ(json.getCount("e"), 0);
  EXPECT_LT(json.getCount("d"), 1);
  EXPECT_LT(json.getCount("data.results"), 1);
  EXPECT_LT(json.getCount("zz"), 1);
}

TEST(ScriptJson, SecondParseForgetsTheFirst) {
  ScriptJson json = parsed(R"({"first":1})");
  json = parsed(R"({"second":2})");
  EXPECT_EQ(json.getText("first"), "");
  EXPECT_FALSE(json.exists("first"));
  EXPECT_EQ(json.getCount(""), 1);
}

TEST(ScriptJson, KeysNeverReportPrototypeNames) {
  ScriptJson json = parsed(R"({"a":1,"b":{"x,y":2,"toJSONString":3,"parseJSON":4}})");
  std::vector<Text> names{"stale"};
  EXPECT_EQ(json.keys("", names), 2);
  EXPECT_EQ(names, (std::vector<Text>{"a", "b"}));
  EXPECT_EQ(json.keys("b", names), 1);
  EXPECT_EQ(names, std::vector<Text>{"x,y"});
  EXPECT_EQ(json.getCount("b"), 1);
  json = parsed("[5,6]");
  EXPECT_EQ(json.keys("", names), 2);
  EXPECT_EQ(names, (std::vector<Text>{"0", "1"}));
  EXPECT_EQ(json.keys("missing", names), 0);
  EXPECT_TRUE(names.empty());
}

TEST(ScriptJson, TypeCodes) {
  ScriptJson json = parsed(R"({"n":null,"b":false,"x":1,"o":{},"a":[],"s":""})");
  struct Case {
    const char* path;
    JsonType type;
  } cases[] = {{"n", JsonType::Null},          {"missing", JsonType::Null},
               {"b", JsonType::Boolean},       {"x", JsonType::Number},
               {"o", JsonType::Object},        {"a", JsonType::Array},
               {"s", JsonType::String},        {"", JsonType::Object},
               {"a.length", JsonType::Number}, {"missing.x", JsonType::Invalid},
               {"n.x", JsonType::Invalid},     {"x.y", JsonType::Null},
               {"a[", JsonType::Invalid},      {".x", JsonType::Invalid}};
  for (const Case& c : cases) EXPECT_EQ(json.typeOf(c.path), c.type) << c.path;
  EXPECT_TRUE(json.exists("s"));
  EXPECT_FALSE(json.exists("n"));
  EXPECT_FALSE(json.exists("missing.x"));
  EXPECT_EQ(json.getNumber("x"), 1);
  EXPECT_EQ(json.getNumber("s"), 0);
}

TEST(ScriptJson, ToTextIsCompactScriptJson) {
  struct Case {
    const char* input;
    const char* expected;
  } cases[] = {
      {R"({ "b" : 1.0, "a" : [ 1e21, 0.1, -0, 1.5e-7, 0.000001 ] })",
       R"({"b":1,"a":[1e+21,0.1,0,1.5e-7,0.000001]})"},
      {R"({"a":1,"b":2,"a":3})", R"({"a":3,"b":2})"},
      {R"(["q\"b\\s\/\n\u0001ก"])", "[\"q\\\"b\\\\s/\\n\\u0001?\"]"},
      {"123456789012345678901", "123456789012345680000"},
  };
  for (const Case& c : cases) EXPECT_EQ(parsed(c.input).toText(), c.expected) << c.input;
}

TEST(ScriptJson, GetObjectCopiesAValue) {
  ScriptJson json = parsed(R"({"hot":35,"state":"0","o":{"a":[1]}})");
  EXPECT_EQ(json.getObject("hot").toText(), "35");
  EXPECT_EQ(json.getObject("state").toText(), "\"0\"");
  ScriptJson o = json.getObject("o");
  EXPECT_EQ(o.getText("a[0]"), "1");
  o.set("a", "changed");
  EXPECT_EQ(json.getText("o.a[0]"), "1");  // an independent copy
  ScriptJson missing = json.getObject("nothing");
  EXPECT_EQ(missing.toText(), "null");
  EXPECT_EQ(missing.getText("a"), "");
  EXPECT_LT(missing.getCount(""), 1);
}

TEST(ScriptJson, SetStoresValuesLiterallyOrAsJson) {
  ScriptJson json;
  EXPECT_TRUE(json.set("s", "it's \\n \"x\""));
  EXPECT_EQ(json.getText("s"), "it's \\n \"x\"");
  EXPECT_TRUE(json.set("j", R"({"k":[1,2]})", true));
  EXPECT_EQ(json.getCount("j.k"), 2);
  EXPECT_TRUE(json.set("e", "", true));
  EXPECT_EQ(json.getText("e", true), "{}");
  EXPECT_FALSE(json.set("bad", "alert(1)", true));
  EXPECT_FALSE(json.set("no.parent", "x"));
  EXPECT_FALSE(json.set("", "x"));
  EXPECT_TRUE(json.setNumber("n", 2.5));
  EXPECT_TRUE(json.set("名字"_gbk, "值"_gbk));
  EXPECT_EQ(json.getText("['名字']"_gbk), "值"_gbk);
  EXPECT_EQ(json.toText(),
            utf8ToGbk(R"({"s":"it's \\n \"x\"","j":{"k":[1,2]},"e":{},"n":2.5,"名字":"值"})"));
}

TEST(ScriptJson, ArrayChanges) {
  ScriptJson json;
  EXPECT_TRUE(json.push("list", "a"));
  EXPECT_TRUE(json.push("list", "{\"b\":1}", true));
  EXPECT_TRUE(json.set("list[3]", "d"));
  EXPECT_EQ(json.toText(), R"({"list":["a",{"b":1},null,"d"]})");
  EXPECT_FALSE(json.set("list[999999999]", "far"));
  EXPECT_TRUE(json.removePath("list[1]"));
  EXPECT_TRUE(json.remove("list[0]"));
  EXPECT_EQ(json.toText(), R"({"list":[null,null,"d"]})");
  EXPECT_FALSE(json.removePath("list[7]"));
  EXPECT_TRUE(json.remove("list"));
  EXPECT_EQ(json.toText(), "{}");
  EXPECT_TRUE(json.push("", "1", true));  // the document becomes an array
  EXPECT_TRUE(json.setArrayItem(1, "2", true));
  EXPECT_TRUE(json.push("", "3", true));
  EXPECT_EQ(json.toText(), "[1,2,3]");
  EXPECT_TRUE(json.removeAt(-1));
  EXPECT_TRUE(json.removeAt(0));
  EXPECT_FALSE(json.removeAt(5));
  EXPECT_EQ(json.toText(), "[2]");
  json.reset(JsonType::Object);
  EXPECT_TRUE(json.setArrayItem(2, "x"));
  EXPECT_EQ(json.toText(), R"({"2":"x"})");
  json.reset(JsonType::Array);
  EXPECT_EQ(json.toText(), "[]");
  json.reset(JsonType::String);
  EXPECT_EQ(json.toText(), "[]");
  EXPECT_TRUE(json.assign("text"));
  EXPECT_EQ(json.toText(), "\"text\"");
  EXPECT_FALSE(json.assign("{", true));
  json.clear();
  EXPECT_EQ(json.toText(), "{}");
}

TEST(ScriptJson, HostileAnswers) {
  ScriptJson json;
  std::string deep(1000000, '[');
  deep += std::string(1000000, ']');
  EXPECT_FALSE(json.parse(deep));
  EXPECT_EQ(json.getCount(""), -2);
  std::string fine = std::string(500, '[') + std::string(500, ']');
  EXPECT_TRUE(json.parse(fine));
  EXPECT_EQ(json.toText(), fine);
  // Lone surrogates read as a character GBK lacks; a proper pair too.
  json = parsed(R"({"t":"a\ud800b\udc00c\ud83d\ude00","u":"\\ud800"})");
  EXPECT_EQ(json.getText("t"), "a?b?c?");
  EXPECT_EQ(json.getText("u"), "\\ud800");
  // Bytes that were not UTF-8 arrive as "?" after the answer's conversion.
  json = parsed(gbkToUtf8(utf8ToGbk("{\"t\":\"a\xFF\xFE\"}")));
  EXPECT_EQ(json.getText("t"), "a??");
  ASSERT_TRUE(json.parse("{\"t\":\"a\\u0000b\"}"));
  EXPECT_EQ(json.getText("t"), "ab");  // texts hold no zero bytes
}

TEST(ScriptJson, LargeFlatObjectsStayLinear) {
  std::string text = "{";
  for (int i = 0; i < 200000; ++i)
    text += "\"k" + std::to_string(i) + "\":" + std::to_string(i) + ",";
  text += "\"k5\":-5}";
  ScriptJson json;
  ASSERT_TRUE(json.parse(text));
  EXPECT_EQ(json.getCount(""), 200000);
  EXPECT_EQ(json.getText("k199999"), "199999");
  EXPECT_EQ(json.getText("k5"), "-5");
}

TEST(ScriptNumberText, WritesTheShortestScriptForm) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {{3, "3"},
               {12.35, "12.35"},
               {0.5, "0.5"},
               {-2, "-2"},
               {1e20, "100000000000000000000"},
               {1e21, "1e+21"},
               {1.5e-7, "1.5e-7"},
               {1e-6, "0.000001"},
               {123.456e30, "1.23456e+32"},
               {0.1 + 0.2, "0.30000000000000004"}};
  for (const Case& c : cases) EXPECT_EQ(scriptNumberText(c.value), c.text) << c.text;
}

}  // namespace
}  // namespace quenbo::script
