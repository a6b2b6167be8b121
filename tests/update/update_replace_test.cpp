// Putting the new program in place: only a replace that can happen is announced, a replace
// that failed is reported at the next start, and the program comes back as it was started,
// with its mode and its arguments.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "script/text_codec.h"
#include "update/install_paths.h"
#include "update/update_scripts.h"
#include "update/updater.h"
#include "update_flow_harness.h"

namespace quenbo::update {
namespace {

constexpr uid_t kOtherUser = 65534;

class UpdateReplace : public UpdateFlowHarness {
 protected:
  // A new program that writes its arguments into the marker.
  std::string argumentsProgram() const {
    return "#!/bin/sh\necho \"$*\" > '" + marker().string() + "'\n";
  }
  std::string markerText() {
    bool whole = testing::waitFor(
        [&] {
          return fs::exists(marker()) && testing::readWholeFile(marker().string()).ends_with("\n");
        },
        std::chrono::seconds(15));
    return whole ? testing::readWholeFile(marker().string()) : "(not started)";
  }
  mode_t modeOf(const fs::path& file) {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
  }
};

TEST_F(UpdateReplace, ObstaclesAreFoundBeforeTheReplaceIsAnnounced) {
  fs::path sticky = sandbox_.path() / "shared";
  fs::create_directories(sticky);
  ::chmod(sticky.c_str(), 01777);
  fs::path theirs = sticky / "quenbo", mine = sticky / "mine";
  put(theirs, "x");
  put(mine, "x");
  ASSERT_EQ(::chown(mine.c_str(), kOtherUser, kOtherUser), 0);
  fs::path open = sandbox_.path() / "open";
  put(open / "quenbo", "x");
  struct Case {
    fs::path target;
    std::uintmax_t size;
    const char* obstacle;  // in the text; empty: none
  };
  for (const Case& c : {Case{theirs, 10, "属于其他用户"}, Case{mine, 10, ""},
                        Case{open / "quenbo", 10, ""},
                        Case{open / "quenbo", std::uintmax_t{1} << 62, "磁盘空间不足"}}) {
    std::string text = gbkToUtf8(replaceObstacle(c.target, c.size, kOtherUser));
    if (*c.obstacle == '\0') {
      EXPECT_EQ(text, "") << c.target;
    } else {
      EXPECT_NE(text.find(c.obstacle), std::string::npos) << c.target << ": " << text;
    }
  }
}

TEST_F(UpdateReplace, AReplaceThatCannotHappenFailsItsRowInsteadOfAnnouncingIt) {
  put(release() / "quenbo", argumentsProgram());
  serve();
  startOnServer();
  ASSERT_TRUE(check(false));
  ASSERT_EQ(rows(), 1);
  ::chmod(home().c_str(), 01777);  // shared, and the program is root's, not the updating user's
  std::vector<std::string> asked;
  UpdaterSetup setup{home(), home() / "quenbo", {}, false};
  setup.user = kOtherUser;
  runUpdater(std::move(setup),
                  {[&](const Text& text, auto, auto) {
                     asked.push_back(gbkToUtf8(text));
                     return window::MessageAnswer::No;
                   },
                   [](int) {}, {}});
  ::chmod(home().c_str(), 0755);
  EXPECT_TRUE(cell(0, kStatusColumn).starts_with("失败（")) << cell(0, kStatusColumn);
  EXPECT_NE(cell(0, kStatusColumn).find("属于其他用户"), std::string::npos);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_TRUE(asked[0].starts_with("主程序更新失败（")) << asked[0];
  EXPECT_FALSE(fs::exists(home() / temporaryMainProgramName()));
  EXPECT_EQ(testing::readWholeFile((home() / "quenbo").string()), "old program");
}

TEST_F(UpdateReplace, TheReplacedProgramKeepsItsMode) {
  ::chmod((home() / "quenbo").c_str(), 0555);
  put(release() / "quenbo", argumentsProgram());
  serve();
  startOnServer();
  ASSERT_TRUE(check(false));
  ASSERT_TRUE(update());
  EXPECT_EQ(markerText(), "\n");
  EXPECT_EQ(modeOf(home() / "quenbo"), 0555u);
}

TEST_F(UpdateReplace, TheProgramComesBackWithItsArguments) {
  arguments_ = {"--hosts", "/tmp/my hosts", "--settings=it's.ini"};
  struct Case {
    const char* name;
    bool replaced;  // the program itself is new, or only an ordinary file
  };
  for (const Case& c : {Case{"replace", true}, Case{"restart", false}}) {
    fs::remove(marker());
    fs::remove_all(release());
    put(home() / "quenbo", "old program");
    if (c.replaced) {
      put(release() / "quenbo", argumentsProgram());
    } else {
      put(home() / "quenbo", argumentsProgram());
      fs::permissions(home() / "quenbo", fs::perms::owner_all);
      put(release() / "new.txt", c.name);
    }
    serve();
    startOnServer();
    ASSERT_TRUE(check(false)) << c.name;
    ASSERT_TRUE(update()) << c.name;
    EXPECT_EQ(markerText(), "--hosts /tmp/my hosts --settings=it's.ini\n") << c.name;
  }
}

TEST_F(UpdateReplace, ARestartWithoutItsProgramSaysWhyAndSoDoLaterChecks) {
  put(release() / "new.txt", "N");
  serve();
  startOnServer();
  ASSERT_TRUE(check(false));
  fs::remove(home() / "quenbo");
  ASSERT_TRUE(update());
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_NE(messages()[1].find("找不到程序文件"), std::string::npos) << messages()[1];
  EXPECT_TRUE(ended_.empty());
  flow_->open(true);
  ASSERT_EQ(messages().size(), 3u);
  EXPECT_NE(messages()[2].find("找不到程序文件"), std::string::npos) << messages()[2];
}

TEST_F(UpdateReplace, AFailedReplaceLeavesAMarkTheNextStartReports) {
  fs::path target = home() / "quenbo";
  fs::path mark = replaceFailureMark(home());
  // The download is gone by the time the script copies it.
  ASSERT_TRUE(runDetachedScript(replaceScript((home() / "missing").string(), target.string(),
                                              ::getpid() + 100000, std::string(), 0755,
                                              mark.string())));
  ASSERT_TRUE(testing::waitFor([&] { return fs::exists(mark) && fs::file_size(mark) > 0; },
                               std::chrono::seconds(15)));
  EXPECT_EQ(testing::readWholeFile((home() / "quenbo").string()), "old program");
  EXPECT_FALSE(fs::exists(marker()));  // nothing was started
  serve();
  startOnServer();
  ASSERT_TRUE(check(false));
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find("上次更新未能替换程序文件 " + target.string()), std::string::npos)
      << messages()[0];
  EXPECT_FALSE(fs::exists(mark));
}

TEST_F(UpdateReplace, AnEmptyPromotionPictureClearsBothPictures) {
  serve();
  startOnServer();
  for (int tile : {11, 12}) main().setPicture(图片框_电影(tile), "old picture");
  flow_->applyParam("主演#片名#"_gbk);
  for (int tile : {11, 12}) {
    EXPECT_EQ(main().picture(图片框_电影(tile)), "") << tile;
    EXPECT_EQ(main().text(透明标签_电影名称(tile)), "片名"_gbk);
  }
}

}  // namespace
}  // namespace quenbo::update
