#include "ui/text_export.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "base/files.h"
#include "list_fixture.h"
#include "ui/result_list_handlers.h"

namespace quenbo::ui::testing {
namespace {

using namespace forms::names;
using quenbo::testing::readWholeFile;
using quenbo::testing::writeWholeFile;

class TextExport : public ListFixture {
 protected:
  TextExport() { bindResultListHandlers(w_, ui_, results_); }

  // Chooses "TXT 文本" with the save dialog answering `chosen`.
  void exportTo(const std::filesystem::path& chosen) {
    w_.selectRow(超级列表框_磁力链接, rows() > 0 ? 0 : -1);
    ui_.answerSaveDialog(chosen);
    exportText(ui_, results_);
  }
};

TEST_F(TextExport, ThreeRowsInListOrderWithCrLfAfterEveryLine) {
  store_.addHit({"电影 A&&B"_gbk, "magnet:?xt=urn:btih:aa", "Btsow", "1.5 GB", "12", "2019-12-01"});
  store_.addHit({"t2", "magnet:?xt=urn:btih:bb", "Sobt", "700 MB", "3", "2019-12-02"});
  store_.addHit({"t3", "magnet:?xt=urn:btih:cc", "Renz", "", "", ""});
  exportTo(sandbox_.path() / "结果");
  EXPECT_EQ(readWholeFile(sandbox_.file("结果.txt")),
            "电影 A&B"_gbk +
                "&&magnet:?xt=urn:btih:aa&&Btsow&&1.5 GB&&12&&2019-12-01\r\n"
                "t2&&magnet:?xt=urn:btih:bb&&Sobt&&700 MB&&3&&2019-12-02\r\n"
                "t3&&magnet:?xt=urn:btih:cc&&Renz&&&&&&\r\n");
  EXPECT_EQ(ui_.saveDialogFilters(), std::vector<Text>{"文本文件（*.txt）"_gbk});
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(TextExport, AnEmptyListTruncatesTheChosenFile) {
  writeWholeFile(sandbox_.file("old.txt"), "old content");
  exportTo(sandbox_.path() / "old.txt");
  EXPECT_EQ(readWholeFile(sandbox_.file("old.txt")), "");
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(TextExport, TheChosenNameGetsTxtOnlyWhenItLacksIt) {
  struct Case {
    const char* chosen;
    const char* written;
  };
  const Case cases[] = {{"/d/result.txt", "/d/result.txt"},
                        {"/d/RESULT.TXT", "/d/RESULT.TXT"},
                        {"/d/result.Txt", "/d/result.Txt"},
                        {"/d/result", "/d/result.txt"},
                        {"/d/a.txt.bak", "/d/a.txt.bak.txt"},
                        {"/d.txt/list", "/d.txt/list.txt"},
                        {"/d/.txt", "/d/.txt"}};
  for (const Case& c : cases) EXPECT_EQ(exportFilePath(c.chosen).string(), c.written) << c.chosen;

  store_.addHit(hit(1, "1 MB", "1"));
  exportTo(sandbox_.path() / "RESULT.TXT");
  EXPECT_TRUE(std::filesystem::exists(sandbox_.path() / "RESULT.TXT"));
  EXPECT_FALSE(std::filesystem::exists(sandbox_.path() / "RESULT.TXT.txt"));
}

// A site's texts can never add a line or a field, or shift one: every line splits at "&&"
// into the six fields, each as the list shows it but for CR, LF and "&&".
TEST_F(TextExport, EveryLineHoldsSixFieldsWhateverASiteWrites) {
  struct Case {
    const char* title;
    const char* written;
  };
  const Case cases[] = {
      {"a\r\nforged&&magnet:?xt=urn:btih:ff&&Evil&&1 GB&&9&&2020-01-01",
       "a  forged&magnet:?xt=urn:btih:ff&Evil&1 GB&9&2020-01-01"},
      {"cr\ronly", "cr only"},
      {"lf\nonly", "lf only"},
      {"A&&B", "A&B"},
      {"A&&&&&B", "A&B"},
      {"Tom & Jerry", "Tom & Jerry"},
      {"ends&", "ends"},
      {"ends&&", "ends"},
      {"&starts", "&starts"},
      {"&", ""},
  };
  for (const Case& c : cases) {
    Bytes bytes =
        exportBytes({{c.title, "magnet:?xt=urn:btih:aa&", "Btsow", "1 GB", "3", "2019-12-01"}});
    ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << c.title;
    std::string_view line(bytes.data(), bytes.size() - 2);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string_view::npos) << c.title;
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
      std::size_t at = line.find("&&", start);
      fields.emplace_back(line.substr(start, at - start));
      if (at == std::string_view::npos) break;
      start = at + 2;
    }
    EXPECT_EQ(fields, (std::vector<std::string>{c.written, "magnet:?xt=urn:btih:aa", "Btsow",
                                                "1 GB", "3", "2019-12-01"}))
        << c.title;
  }
}

TEST_F(TextExport, AnAddedTxtReplacesAnExistingFileOnlyWhenTheUserSaysSo) {
  store_.addHit(hit(1, "1 MB", "1"));
  std::string existing = sandbox_.file("result.txt");
  writeWholeFile(existing, "mine\r\n");

  ui_.answerMessage(window::MessageAnswer::No);
  exportTo(sandbox_.path() / "result");
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, displayPath(existing) + " 已存在。\r\n要替换它吗？"_gbk);
  EXPECT_EQ(ui_.messages()[0].buttons, window::MessageButtons::YesNo);
  EXPECT_EQ(readWholeFile(existing), "mine\r\n");

  ui_.answerMessage(window::MessageAnswer::Yes);
  exportTo(sandbox_.path() / "result");
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(readWholeFile(existing),
            "title 1&&magnet:?xt=urn:btih:1&&Site&&1 MB&&1&&2019-12-02\r\n");

  // The dialog itself asked about a name kept as chosen, and about nothing else.
  exportTo(sandbox_.path() / "result.txt");
  exportTo(sandbox_.path() / "new");
  EXPECT_EQ(ui_.messages().size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(sandbox_.path() / "new.txt"));
}

TEST_F(TextExport, AReadOnlyFileIsKeptAndTheMessageSaysWhy) {
  store_.addHit(hit(1, "1 MB", "1"));
  std::string kept = sandbox_.file("kept.txt");
  writeWholeFile(kept, "mine\r\n");
  ASSERT_EQ(::chmod(kept.c_str(), 0444), 0);
  exportTo(kept);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text,
            "数据导出失败："_gbk + displayPath(kept) + "\r\nPermission denied");
  EXPECT_EQ(readWholeFile(kept), "mine\r\n");
}

TEST_F(TextExport, CancellingWritesNothing) {
  store_.addHit(hit(1, "1 MB", "1"));
  w_.selectRow(超级列表框_磁力链接, 0);
  ui_.answerSaveDialog(std::nullopt);
  exportText(ui_, results_);
  EXPECT_TRUE(std::filesystem::is_empty(sandbox_.path()));
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(TextExport, AFailureIsShownWithFileAndReasonAndKeepsTheOldFile) {
  store_.addHit(hit(1, "1 MB", "1"));
  exportTo(sandbox_.path() / "missing" / "list.txt");
  ASSERT_EQ(ui_.messages().size(), 1u);
  Text shown = ui_.messages()[0].text;
  EXPECT_NE(shown.find(displayPath(sandbox_.path() / "missing" / "list.txt")), Text::npos);
  EXPECT_NE(shown.find("No such file or directory"), Text::npos) << gbkToUtf8(shown);
  EXPECT_EQ(ui_.messages()[0].title, "信息："_gbk);

  // A write that fails half-way (the file size limit stops it even for root).
  std::string old = sandbox_.file("kept.txt");
  writeWholeFile(old, "the old list\r\n");
  for (int i = 0; i < 200; ++i) store_.addHit(hit(i + 2, "1 MB", "1"));
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  exportTo(old);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_NE(ui_.messages()[1].text.find("kept.txt"), Text::npos);
  EXPECT_EQ(readWholeFile(old), "the old list\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sandbox_.path()), {}), 1)
      << "no temporary file is left behind";
}

}  // namespace
}  // namespace quenbo::ui::testing
