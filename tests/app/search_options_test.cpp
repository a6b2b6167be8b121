// The command line of "quenbo search".
#include "app/search_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace quenbo::app {
namespace {

ParsedSearchOptions parse(std::vector<const char*> arguments) {
  return parseSearchOptions(arguments);
}

TEST(SearchOptions, ReadsEveryOptionInBothForms) {
  ParsedSearchOptions p = parse({"--sites=btsow,SOBT", "--pages", "7", "--timeout=12", "电影 2019",
                                 "--hosts", "x.hosts", "--settings=my.ini", "--format", "json",
                                 "--log", "--sites", "章鱼搜索,Btsow"});
  ASSERT_EQ(p.error, "");
  const SearchOptions& o = p.options;
  EXPECT_EQ(o.keyword, "电影 2019");
  EXPECT_EQ(o.sites, (std::vector<int>{20, 5, 23}));  // catalogue indexes, each once
  EXPECT_EQ(o.pages, 7);
  EXPECT_EQ(o.timeout, 12);
  EXPECT_EQ(o.hostsFile, "x.hosts");
  EXPECT_EQ(o.settingsFile, "my.ini");
  EXPECT_EQ(o.format, OutputFormat::Json);
  EXPECT_TRUE(o.log);
}

TEST(SearchOptions, DefaultsLeaveTheSettingsInCharge) {
  ParsedSearchOptions p = parse({"abc"});
  ASSERT_EQ(p.error, "");
  EXPECT_TRUE(p.options.sites.empty());
  EXPECT_FALSE(p.options.pages);
  EXPECT_FALSE(p.options.timeout);
  EXPECT_EQ(p.options.format, OutputFormat::Tsv);
  EXPECT_FALSE(p.options.log);
  EXPECT_FALSE(p.options.sort);
  EXPECT_EQ(p.options.exportFile, "");
  EXPECT_FALSE(p.options.newConnections);
  EXPECT_TRUE(parse({"--new-connections", "abc"}).options.newConnections);
}

TEST(SearchOptions, SortAndExportAsTheListMenuDoes) {
  ParsedSearchOptions p = parse({"abc", "--sort=heat", "--export", "结果.txt"});
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.options.sort, core::SortKey::heat);
  EXPECT_EQ(p.options.exportFile, "结果.txt");
  EXPECT_EQ(parse({"abc", "--sort", "size"}).options.sort, core::SortKey::size);
}

TEST(SearchOptions, AKeywordMayStartWithADashAfterTheEndOfOptions) {
  EXPECT_EQ(parse({"--", "-x"}).options.keyword, "-x");
  EXPECT_EQ(parse({"-"}).options.keyword, "-");
  EXPECT_EQ(parse({"--help"}).error, "");
}

TEST(SearchOptions, RefusesWhatItCannotUse) {
  struct Case {
    std::vector<const char*> arguments;
    const char* error;
  } cases[] = {
      {{}, "no keyword given"},
      {{"a", "b"}, "more than one keyword: put a keyword with blanks in quotes"},
      {{"a", "--sites=Btsow,Nope"}, "unknown site Nope"},
      {{"a", "--pages=0"}, "option --pages needs a whole number above 0, not \"0\""},
      {{"a", "--timeout", "5s"}, "option --timeout needs a whole number above 0, not \"5s\""},
      {{"a", "--pages=99999999999"},
       "option --pages needs a whole number above 0, not \"99999999999\""},
      {{"a", "--format=xml"}, "unknown format xml (tsv or json)"},
      {{"a", "--hosts"}, "option --hosts needs a value"},
      {{"a", "--verbose"}, "unknown option --verbose"},
      {{"a", "--log=yes"}, "unknown option --log=yes"},
      {{"a", "--sort=date"}, "unknown sort date (size or heat)"},
      {{"a", "--export="}, "option --export needs a file name"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parse(c.arguments).error, c.error) << c.error;
  }
}

}  // namespace
}  // namespace quenbo::app
