#include "base/ini_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "base/encoding.h"
#include "base/files.h"
#include "support/fixtures.h"

namespace quenbo {
namespace {

using testing::readWholeFile;
using testing::writeWholeFile;

// A settings file as people write them by hand: CR LF lines, comments, blank lines, odd
// spacing and case, a key before any section, a repeated key and a repeated section.
const Bytes kHandWritten =
    "; settings\r\n"
    "stray=before any section\r\n"
    "\r\n"
    "[搜索]\r\n"_gbk
    "  页数  =  12  \r\n"_gbk
    "时间=7\r\n"_gbk
    "页数=99\r\n"_gbk
    "\r\n"
    "[ Filter ]\r\n"
    "# a comment = not a key\r\n"
    "Query=a=b=c\r\n"
    "empty=\r\n"
    "no equals sign here\r\n"
    "\r\n"
    "[搜索]\r\n"_gbk
    "线程=3\r\n"_gbk;

TEST(IniFile, ReadsTheShapesOfHandWrittenFiles) {
  IniFile ini(kHandWritten);
  struct Case { Text section, key, value; };
  const Case cases[] = {
      {"搜索"_gbk, "页数"_gbk, "12"},          // blanks around key and value; the first wins
      {"搜索"_gbk, "时间"_gbk, "7"},
      {"搜索"_gbk, "线程"_gbk, "3"},           // in the section's second occurrence
      {"filter", "QUERY", "a=b=c"},            // case folded; the value keeps its "="
      {"FILTER", "empty", ""},
      {"Filter", "# a comment", ""},           // comments are no keys
      {"Filter", "no equals sign here", ""},
      {"", "stray", ""},                       // keys before any section belong to none
      {"搜索"_gbk, "Query", ""},               // keys belong to their own section
      {"显示"_gbk, "页数"_gbk, ""},            // missing section
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ini.value(c.section, c.key), c.value) << gbkToUtf8(c.section + "/" + c.key);
  }
  EXPECT_FALSE(ini.utf8());
}

TEST(IniFile, LineEndsOfEveryKind) {
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    IniFile ini("[a]" + std::string(eol) + "k=v" + eol + "j=w");
    EXPECT_EQ(ini.value("a", "k"), "v") << ::testing::PrintToString(eol);
    EXPECT_EQ(ini.value("a", "j"), "w") << ::testing::PrintToString(eol);
  }
}

TEST(IniFile, FoldsOnlySingleByteLetters) {
  // 0x81 0x41 and 0x81 0x61 are two different double-byte characters: their trail bytes
  // are letters only by accident.
  IniFile ini("[s]\r\n\x81\x41=upper\r\nBT\xD3\xA3=x\r\n");
  EXPECT_EQ(ini.value("S", "\x81\x41"), "upper");
  EXPECT_EQ(ini.value("s", "\x81\x61"), "");
  EXPECT_EQ(ini.value("s", "bt\xD3\xA3"), "x");
}

TEST(IniFile, ReadsUtf8FilesWithAndWithoutAByteOrderMark) {
  for (std::string mark : {"", "\xEF\xBB\xBF"}) {
    IniFile ini(mark + "[搜索]\r\n页数=12\r\n[过滤]\r\n过滤文本=高清、预告\r\n");
    EXPECT_TRUE(ini.utf8());
    EXPECT_EQ(ini.value("搜索"_gbk, "页数"_gbk), "12");
    EXPECT_EQ(ini.value("过滤"_gbk, "过滤文本"_gbk), "高清、预告"_gbk);
  }
  IniFile asciiWithMark("\xEF\xBB\xBF[a]\nk=v\n");
  EXPECT_TRUE(asciiWithMark.utf8());
  EXPECT_EQ(asciiWithMark.value("a", "k"), "v");
}

TEST(IniFile, LongValuesAreCutToTheReadBuffer) {
  IniFile ascii("[a]\r\nk=" + Text(20000, 'x') + "\r\n");
  EXPECT_EQ(ascii.value("a", "k"), Text(kIniValueBuffer - 1, 'x'));
  // 10,239 bytes would end inside a double-byte character: it is left out whole.
  Text words;
  while (words.size() < 20000) words += "高"_gbk;
  IniFile gbk("[a]\r\nk=" + words + "\r\n");
  EXPECT_EQ(gbk.value("a", "k"), words.substr(0, kIniValueBuffer - 2));
}

TEST(IniFile, SettingAKeyKeepsEveryOtherLine) {
  IniFile ini(kHandWritten);
  ini.setValue("搜索"_gbk, "页数"_gbk, "20");
  ini.setValue("FILTER", "empty", "now set");
  Bytes expected = kHandWritten;
  expected.replace(expected.find("  12  "), 6, "  20");
  expected.replace(expected.find("empty=\r\n"), 8, "empty=now set\r\n");
  EXPECT_EQ(ini.content(), expected);
  EXPECT_EQ(ini.value("搜索"_gbk, "页数"_gbk), "20");
}

TEST(IniFile, NewKeysGoToTheEndOfTheirSectionAndNewSectionsToTheEnd) {
  IniFile ini("[a]\r\nk=1\r\n\r\n[b]\r\nj=2");
  ini.setValue("A", "new", "x");
  ini.setValue("b", "other", "y");
  ini.setValue("c", "k", "z");
  EXPECT_EQ(ini.content(), "[a]\r\nk=1\r\nnew=x\r\n\r\n[b]\r\nj=2\r\nother=y\r\n\r\n[c]\r\nk=z\r\n");

  IniFile lf("[a]\nk=1\n");
  lf.setValue("a", "j", "2");
  lf.setValue("b", "k", "3");
  EXPECT_EQ(lf.content(), "[a]\nk=1\nj=2\n\n[b]\nk=3\n");

  IniFile empty;
  empty.setValue("站点"_gbk, "Btdad", "假"_gbk);
  EXPECT_EQ(empty.content(), "[站点]\r\nBtdad=假\r\n"_gbk);
}

TEST(IniFile, AUtf8FileStaysUtf8) {
  IniFile ini("[过滤]\n过滤文本=旧\n");
  ini.setValue("过滤"_gbk, "过滤文本"_gbk, "高清、预告"_gbk);
  ini.setValue("过滤"_gbk, "显示文本"_gbk, "中字"_gbk);
  EXPECT_EQ(ini.content(), "[过滤]\n过滤文本=高清、预告\n显示文本=中字\n");
}

TEST(IniFile, OnePairOfQuotesIsTakenOffAndValuesReadBackAsWritten) {
  IniFile hand("[a]\r\nq=\"quoted\"\r\ns=  'single'  \r\nm='mixed\"\r\nlone=\"\r\n");
  EXPECT_EQ(hand.value("a", "q"), "quoted");
  EXPECT_EQ(hand.value("a", "s"), "single");
  EXPECT_EQ(hand.value("a", "m"), "'mixed\"");
  EXPECT_EQ(hand.value("a", "lone"), "\"");
  const Text values[] = {" HD、中字 "_gbk, "\"x\"", "'", "''", "\t", "a \"b\" c", "plain"};
  IniFile ini;
  for (const Text& value : values) {
    ini.setValue("a", "k", value);
    EXPECT_EQ(ini.value("a", "k"), value) << value;
  }
  EXPECT_EQ(ini.content(), "[a]\r\nk=plain\r\n");
}

TEST(IniFile, OnlyTheFirstLineOfAValueIsStored) {
  IniFile ini("[过滤]\r\n"_gbk);
  ini.setValue("过滤"_gbk, "过滤文本"_gbk, "first\r\n[站点]\r\nBtdad=假"_gbk);
  EXPECT_EQ(ini.value("过滤"_gbk, "过滤文本"_gbk), "first");
  EXPECT_EQ(ini.value("站点"_gbk, "Btdad"), "");
  EXPECT_EQ(ini.content(), "[过滤]\r\n过滤文本=first\r\n"_gbk);
}

class IniFileOnDisk : public testing::SandboxTest {
 protected:
  Text path() const { return sandbox_.file("Clss.ini"); }
  std::vector<std::string> leftovers() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(sandbox_.path())) {
      if (entry.path().filename() != "Clss.ini") names.push_back(entry.path().filename());
    }
    return names;
  }

  // Runs `body` in a child process whose files may grow to `limit` bytes at most; returns
  // the child's wait status.
  static int runWithFileLimit(rlim_t limit, bool killedByLimit, const std::function<bool()>& body) {
    pid_t child = ::fork();
    if (child == 0) {
      rlimit none{0, 0};
      ::setrlimit(RLIMIT_CORE, &none);
      ::signal(SIGXFSZ, killedByLimit ? SIG_DFL : SIG_IGN);
      rlimit size{limit, limit};
      ::setrlimit(RLIMIT_FSIZE, &size);
      ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
  }
};

TEST_F(IniFileOnDisk, MissingFileReadsEmptyAndIsCreatedOnWrite) {
  EXPECT_EQ(readIniValue(path(), "搜索"_gbk, "页数"_gbk), "");
  ASSERT_TRUE(writeIniValue(path(), "搜索"_gbk, "页数"_gbk, "12"));
  EXPECT_EQ(readWholeFile(path()), "[搜索]\r\n页数=12\r\n"_gbk);
  EXPECT_EQ(readIniValue(path(), "搜索"_gbk, "页数"_gbk), "12");
  EXPECT_TRUE(leftovers().empty());
}

TEST_F(IniFileOnDisk, WritingKeepsTheFileModeAndFollowsALink) {
  writeWholeFile(path(), "[a]\nk=1\n");
  std::filesystem::permissions(path(), std::filesystem::perms(0640));
  ASSERT_TRUE(writeIniValue(path(), "a", "k", "2"));
  EXPECT_EQ(std::filesystem::status(path()).permissions(), std::filesystem::perms(0640));

  auto link = sandbox_.path() / "link.ini";
  std::filesystem::create_symlink(path(), link);
  ASSERT_TRUE(writeIniValue(link.string(), "a", "k", "3"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readWholeFile(path()), "[a]\nk=3\n");
}

TEST_F(IniFileOnDisk, AWriteInterruptedBeforeTheRenameLeavesTheOldFile) {
  const Bytes old = kHandWritten;
  writeWholeFile(path(), old);
  // The child is killed by the file-size limit while it writes the new content, as a
  // crash would end it.
  int status = runWithFileLimit(old.size() + 100, true, [&] {
    return writeIniValue(path(), "过滤"_gbk, "过滤文本"_gbk, Text(50000, 'x'));
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  EXPECT_EQ(readWholeFile(path()), old);
  EXPECT_EQ(leftovers().size(), 1u);  // the half-written temporary file, never renamed
  // The next write goes through and keeps everything.
  ASSERT_TRUE(writeIniValue(path(), "搜索"_gbk, "时间"_gbk, "9"));
  EXPECT_EQ(readIniValue(path(), "搜索"_gbk, "时间"_gbk), "9");
  EXPECT_EQ(readIniValue(path(), "filter", "query"), "a=b=c");
}

TEST_F(IniFileOnDisk, AFullDiskFailsTheWriteAndLosesNothing) {
  const Bytes old = kHandWritten;
  writeWholeFile(path(), old);
  int status = runWithFileLimit(old.size() + 100, false, [&] {
    return writeIniValue(path(), "过滤"_gbk, "过滤文本"_gbk, Text(50000, 'x'));
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);  // reported as a failure
  EXPECT_EQ(readWholeFile(path()), old);
  EXPECT_TRUE(leftovers().empty());
}

TEST_F(IniFileOnDisk, AnUnreadableSettingsPathIsLeftAlone) {
  std::filesystem::create_directory(path());  // something that is not a file
  EXPECT_FALSE(writeIniValue(path(), "a", "k", "v"));
  EXPECT_TRUE(std::filesystem::is_directory(path()));
  EXPECT_EQ(readIniValue(path(), "a", "k"), "");
}

}  // namespace
}  // namespace quenbo
