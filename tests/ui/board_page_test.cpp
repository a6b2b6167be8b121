#include "ui/board_page.h"

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "site_simulator/board_page.h"

namespace quenbo::ui {
namespace {

TEST(BoardPage, TheSimulatorsPageGivesTwelveFilmsWithTheirFields) {
  std::string page = simulator::boardPage("https://board.example");
  std::vector<BoardFilm> films = boardFilms(cutBoardPage(page));
  auto entries = simulator::boardEntries();
  ASSERT_EQ(films.size(), 12u);
  for (std::size_t i = 0; i < films.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(films[i].title, utf8ToGbk(entries[i].title));
    EXPECT_EQ(films[i].stars, utf8ToGbk(entries[i].stars)) << "trimmed";
    EXPECT_EQ(films[i].releaseDate, utf8ToGbk(entries[i].releaseDate));
    EXPECT_EQ(films[i].score, entries[i].scoreInteger + "." + entries[i].scoreFraction);
    EXPECT_EQ(films[i].posterUrl,
              "https://board.example" + simulator::posterPath(static_cast<int>(i) + 1));
  }
  EXPECT_EQ(films[8].releaseDate, "") << "film 9 is written without its date marker";
}

TEST(BoardPage, StarsLongerThan24BytesAreCutAtTheFirstComma) {
  struct Case {
    const char* stars;
    const char* shown;
  };
  const Case cases[] = {
      {"林远,周晴,陈默,赵一鸣,孙小北,何其", "林远"},             // 33 bytes in GBK
      {"王一,李二,张三,赵四,钱五", "王一,李二,张三,赵四,钱五"},  // exactly 24
      {"一位不愿透露姓名的著名老演员", ""},                      // 28, no comma
      {"Anna Berg,Carl Dahl,Eve F", "Anna Berg"},                // 25
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(shownStars(utf8ToGbk(c.stars)), utf8ToGbk(c.shown)) << c.stars;
  EXPECT_EQ(utf8ToGbk("王一,李二,张三,赵四,钱五").size(), 24u);
}

TEST(BoardPage, AMissingMarkerEmptiesOnlyThatField) {
  std::string entry =
      "<i class=\"board-index board-index-1\">1</i><a href=\"/f/1\" title=\"甲\" class=\"x\">"
      "<img data-src=\"https://p.example/1.png\" alt=\"甲\"/></a><p class=\"star\">主演：乙</p>"
      "<p class=\"score\"><i class=\"integer\">9.</i><i class=\"fraction\">1</i></p> ";
  std::string noTitle = entry;
  noTitle.replace(noTitle.find("title="), 6, "name=");
  std::string noFraction = entry;
  noFraction.replace(noFraction.find("fraction"), 8, "part");
  std::vector<BoardFilm> films = boardFilms(cutBoardPage(entry + noTitle + noFraction));
  ASSERT_EQ(films.size(), 3u);
  EXPECT_EQ(films[0].title, "甲"_gbk);
  EXPECT_EQ(films[0].releaseDate, "");
  EXPECT_EQ(films[0].score, "9.1");
  EXPECT_EQ(films[1].title, "");
  EXPECT_EQ(films[1].stars, "乙"_gbk);
  EXPECT_EQ(films[2].score, "9.");
  EXPECT_EQ(films[2].posterUrl, "https://p.example/1.png");
}

TEST(BoardPage, LinesWithFewerThanFiveFieldsAreSkipped) {
  std::vector<BoardFilm> films = boardFilms("a###b###c###d\r\na###b###c###d###e\r\n\r\nx");
  ASSERT_EQ(films.size(), 1u);
  EXPECT_EQ(films[0].posterUrl, "e");
  EXPECT_TRUE(boardFilms("").empty());
  EXPECT_EQ(boardPageUrl("films.example:8443"), "https://films.example:8443/board");
  EXPECT_EQ(boardPageUrl(""), "");
  EXPECT_EQ(fetchBoard(""), "");
}

}  // namespace
}  // namespace quenbo::ui
