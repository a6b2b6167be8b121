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

// Whatever a title holds, the board keeps one film per entry, each field in its place and
// the poster URL as the page gives it.
TEST(BoardPage, ATitleCanNeverAddShiftOrDropAFilm) {
  auto entry = [](const std::string& title, int n) {
    std::string id = std::to_string(n);
    return "<i class=\"board-index board-index-" + id + "\">" + id + "</i><a href=\"/f/" + id +
           "\" title=\"" + title + "\" class=\"x\"><img data-src=\"https://p.example/" + id +
           ".png\" alt=\"x\"/></a><p class=\"star\">主演：乙</p><p>上映时间：2019-12-0" + id +
           "</p><p class=\"score\"><i class=\"integer\">9.</i><i class=\"fraction\">" + id +
           "</i></p> ";
  };
  struct Case {
    const char* title;
    const char* shown;
  };
  const Case cases[] = {
      {"A###B###C###D###https://evil.example/p.png\r\nE###F###G###H###https://evil.example/q.png",
       "A#B#C#D#https://evil.example/p.png  E#F#G#H#https://evil.example/q.png"},
      {"A\r\n\r\nB", "A    B"},
      {"A\rB\nC", "A B C"},
      {"ends#", "ends"},
      {"ends##", "ends"},
      {"####", ""},
      {"#1 Film", "#1 Film"},
      {"C# in ## days", "C# in # days"},
  };
  for (const Case& c : cases) {
    std::vector<BoardFilm> films =
        boardFilms(cutBoardPage(entry("前", 1) + entry(c.title, 2) + entry("后", 3)));
    ASSERT_EQ(films.size(), 3u) << c.title;
    EXPECT_EQ(films[0].title, "前"_gbk) << c.title;
    EXPECT_EQ(films[1].title, c.shown) << c.title;
    EXPECT_EQ(films[2].title, "后"_gbk) << c.title;
    for (int i = 0; i < 3; ++i) {
      std::string id = std::to_string(i + 1);
      const BoardFilm& f = films[static_cast<std::size_t>(i)];
      EXPECT_EQ(f.stars, "乙"_gbk) << c.title << " " << i;
      EXPECT_EQ(f.releaseDate, "2019-12-0" + id) << c.title << " " << i;
      EXPECT_EQ(f.score, "9." + id) << c.title << " " << i;
      EXPECT_EQ(f.posterUrl, "https://p.example/" + id + ".png") << c.title << " " << i;
    }
  }
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
