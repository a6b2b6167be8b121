#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>

#include "base/encoding.h"
#include "base/ini_file.h"
#include "core/filter_settings.h"
#include "settings/stored_settings.h"
#include "support/fixtures.h"
#include "settings/filter_rebuilder.h"
#include "settings/settings_handlers.h"
#include "settings/settings_location.h"
#include "window/headless/headless_loop.h"
#include "forms/main_window_names.h"
#include "core/site_table.h"
#include "window/window_model.h"
#include "forms/window_templates.h"

namespace quenbo::settings {
namespace {

using namespace forms::names;
using testing::readWholeFile;
using testing::writeWholeFile;

// One main window with its settings store and handlers, as the program wires them.
class SettingsTest : public testing::SandboxTest {
 protected:
  std::string path() const { return sandbox_.file("Clss.ini"); }
  bool fileWritten() const { return std::filesystem::exists(path()); }

  // Loads the file as the start-up does; `markLoaded` as its next step.
  void start(bool markLoaded = true) {
    settings.load();
    if (markLoaded) settings.markLoaded();
  }
  Text stored(const Text& section, const Text& key) const {
    return readIniValue(path(), section, key);
  }

  window::HeadlessLoop loop;
  window::WindowModel w{forms::mainWindowTemplate(), &loop};
  SettingsStore settings{w, path()};
  // No search has run: a filter change rebuilds nothing.
  FilterRebuilder rebuilder{loop, [] {}, [] { return false; }};
  bool bound = [this] {
    bindSettingsHandlers(w, settings, rebuilder);
    return true;
  }();
};

TEST_F(SettingsTest, NoFileGivesTheDefaultsAndWritesNothing) {
  start();
  EXPECT_EQ(w.text(编辑框_页数), "5");
  EXPECT_EQ(w.text(编辑框_时间), "5");
  EXPECT_EQ(w.text(编辑框_线程数量), "5");
  EXPECT_TRUE(w.checked(选择框_精准搜索));
  EXPECT_FALSE(w.checked(选择框_过滤字词));
  EXPECT_FALSE(w.checked(选择框_显示字词));
  EXPECT_TRUE(w.checked(选择框_删除重复));
  EXPECT_EQ(w.text(编辑框_GB), "0");
  EXPECT_EQ(w.text(编辑框_MB), "0");
  EXPECT_EQ(w.text(编辑框_关键字词A), "");
  EXPECT_EQ(w.text(编辑框_关键字词B), "");
  EXPECT_FALSE(w.checked(选择框_保证显示));
  for (const auto& site : core::kSites) {
    EXPECT_EQ(w.checked(siteCheckBox(site.label)), site.shown) << site.label;
  }
  EXPECT_FALSE(fileWritten());
}

TEST_F(SettingsTest, TheLoadedSitesAreTheVisibleOnes) {
  std::set<std::string_view> visible;
  for (const auto& site : core::kSites) {
    if (site.shown) visible.insert(site.label);
  }
  std::set<std::string_view> loaded;
  for (int index : core::kSitesInLoadOrder) loaded.insert(core::kSites[index].label);
  EXPECT_EQ(loaded, visible);
}

struct LoadCase {
  const char* file;            // UTF-8 here, written as GBK
  std::string_view control;
  const char* shown;           // the text the control shows, or "ticked" / "unticked"
};

class SettingsLoading : public SettingsTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(SettingsLoading, ControlShowsTheLoadedValue) {
  const LoadCase& c = GetParam();
  writeWholeFile(path(), utf8ToGbk(c.file));
  Bytes before = readWholeFile(path());
  start();
  std::string shown = c.shown;
  if (shown == "ticked" || shown == "unticked") {
    EXPECT_EQ(w.checked(window::CheckBoxId{c.control}), shown == "ticked");
  } else {
    EXPECT_EQ(w.text(window::EditBoxId{c.control}), utf8ToGbk(shown));
  }
  EXPECT_EQ(readWholeFile(path()), before);  // loading never writes, corrections included
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, SettingsLoading,
    ::testing::Values(
        LoadCase{"[搜索]\r\n页数=45\r\n", 编辑框_页数, "30"},  // the bounds rule corrects it
        LoadCase{"[搜索]\r\n页数=0\r\n", 编辑框_页数, "5"},
        LoadCase{"[搜索]\r\n页数=１２\r\n", 编辑框_页数, "12"},
        LoadCase{"[搜索]\r\n时间=2\r\n", 编辑框_时间, "5"},    // the loader's 5, not the bound 3
        LoadCase{"[搜索]\r\n时间=11\r\n", 编辑框_时间, "10"},
        LoadCase{"[搜索]\r\n线程=abc\r\n", 编辑框_线程数量, "5"},
        LoadCase{"[过滤]\r\n精准搜索=否\r\n", 选择框_精准搜索, "ticked"},
        LoadCase{"[过滤]\r\n精准搜索=假\r\n", 选择框_精准搜索, "unticked"},
        LoadCase{"[过滤]\r\n过滤字词=是\r\n", 选择框_过滤字词, "unticked"},
        LoadCase{"[过滤]\r\n过滤字词=真\r\n", 选择框_过滤字词, "ticked"},
        LoadCase{"[过滤]\r\n显示字词= 真 \r\n", 选择框_显示字词, "ticked"},
        LoadCase{"[过滤]\r\n删除重复=\r\n", 选择框_删除重复, "ticked"},
        LoadCase{"[过滤]\r\n删除重复=假\r\n", 选择框_删除重复, "unticked"},
        LoadCase{"[过滤]\r\nGB=1.5\r\n", 编辑框_GB, "1"},
        LoadCase{"[过滤]\r\nMB=-20x\r\n", 编辑框_MB, "-20"},
        LoadCase{"[过滤]\r\n过滤文本=高清、预告\r\n中字\r\n", 编辑框_关键字词A, "高清、预告"},
        LoadCase{"[过滤]\r\n显示文本=a=b\r\n", 编辑框_关键字词B, "a=b"},
        LoadCase{"[显示]\r\n保证显示=真\r\n", 选择框_保证显示, "ticked"},
        LoadCase{"[站点]\r\nbtdad=假\r\n", "选择框_Btdad", "unticked"},
        LoadCase{"[站点]\r\n章鱼搜索=x\r\n", "选择框_章鱼搜索", "ticked"},
        LoadCase{"[站点]\r\n磁小鸭=真\r\n", "选择框_磁小鸭", "unticked"}));  // hidden: never loaded

TEST_F(SettingsTest, ALongWordListIsCutAtTheNextStart) {
  start();
  w.setText(编辑框_关键字词A, Text(20000, 'w'));
  EXPECT_EQ(stored("过滤"_gbk, "过滤文本"_gbk).size(), kIniValueBuffer - 1);
  window::WindowModel nextRun{forms::mainWindowTemplate()};
  SettingsStore next{nextRun, path()};
  next.load();
  EXPECT_EQ(nextRun.text(编辑框_关键字词A), Text(kIniValueBuffer - 1, 'w'));
}

TEST_F(SettingsTest, AWordListOnSeveralLinesIsStoredOnOneLineAndEveryWordSurvives) {
  start();
  // Lines that look like sections and keys stay words of the one value.
  w.setText(编辑框_关键字词B, "高清\r\n[站点]\r\nBtdad=假"_gbk);
  EXPECT_EQ(readWholeFile(path()), "[过滤]\r\n显示文本=高清、[站点]、Btdad=假\r\n"_gbk);
  w.setText(编辑框_关键字词B, "高清\r\n预告，中字\r\n"_gbk);
  EXPECT_EQ(readWholeFile(path()), "[过滤]\r\n显示文本=高清、预告、中字\r\n"_gbk);

  window::WindowModel nextRun{forms::mainWindowTemplate()};
  SettingsStore next{nextRun, path()};
  next.load();
  EXPECT_EQ(nextRun.text(编辑框_关键字词B), "高清、预告、中字"_gbk);
  EXPECT_EQ(storedFilter(readStoredSettings(IniFile(readWholeFile(path())))).showWords,
            (std::vector<Text>{"高清"_gbk, "预告"_gbk, "中字"_gbk}));
}

TEST_F(SettingsTest, NothingIsWrittenBeforeTheSettingsAreLoaded) {
  start(false);
  w.click(选择框_过滤字词);
  w.setText(编辑框_页数, "12");
  w.setText(编辑框_页数, "45");
  w.setText(编辑框_关键字词A, "x");
  EXPECT_EQ(w.text(编辑框_页数), "30");  // the bounds rule still runs
  EXPECT_FALSE(fileWritten());
  settings.markLoaded();
  w.click(选择框_过滤字词);
  EXPECT_EQ(readWholeFile(path()), "[过滤]\r\n过滤字词=假\r\n"_gbk);
}

// Every change writes exactly its own key, at once.
TEST_F(SettingsTest, EachControlWritesItsOneKey) {
  struct Case {
    std::function<void(window::WindowModel&)> change;
    const char* file;
  };
  const Case cases[] = {
      {[](auto& w) { w.click(选择框_精准搜索); }, "[过滤]\r\n精准搜索=假\r\n"},
      {[](auto& w) { w.click(选择框_过滤字词); }, "[过滤]\r\n过滤字词=真\r\n"},
      {[](auto& w) { w.click(选择框_显示字词); }, "[过滤]\r\n显示字词=真\r\n"},
      {[](auto& w) { w.click(选择框_删除重复); }, "[过滤]\r\n删除重复=假\r\n"},
      {[](auto& w) { w.click(选择框_保证显示); }, "[显示]\r\n保证显示=真\r\n"},
      {[](auto& w) { w.click(siteCheckBox("种子搜")); }, "[站点]\r\n种子搜=假\r\n"},
      {[](auto& w) { w.setText(编辑框_GB, "2"); }, "[过滤]\r\nGB=2\r\n"},
      {[](auto& w) { w.typeText(编辑框_MB, "5"); }, "[过滤]\r\nMB=05\r\n"},
      {[](auto& w) { w.setText(编辑框_关键字词A, " a 、b"_gbk); }, "[过滤]\r\n过滤文本=\" a 、b\"\r\n"},
      {[](auto& w) { w.setText(编辑框_关键字词B, "中字"_gbk); }, "[过滤]\r\n显示文本=中字\r\n"},
      {[](auto& w) { w.setText(编辑框_页数, "12"); }, "[搜索]\r\n页数=12\r\n"},
      {[](auto& w) { w.setText(编辑框_页数, "45"); }, "[搜索]\r\n页数=30\r\n"},
      {[](auto& w) { w.setText(编辑框_页数, ""); }, "[搜索]\r\n页数=1\r\n"},
      {[](auto& w) { w.setText(编辑框_时间, "2"); }, "[搜索]\r\n时间=3\r\n"},
      {[](auto& w) { w.setText(编辑框_线程数量, "x"); }, "[搜索]\r\n线程=1\r\n"},
  };
  start();
  for (const auto& c : cases) {
    std::filesystem::remove(path());
    c.change(w);
    EXPECT_EQ(gbkToUtf8(readWholeFile(path())), c.file);
  }
}

TEST_F(SettingsTest, BoundsAllowATinyToleranceAndOtherwiseReplaceTheText) {
  start();
  struct Case { window::EditBoxId box; Text typed, shown; };
  const Case cases[] = {
      {编辑框_页数, "30.00000001", "30.00000001"}, {编辑框_页数, "30.000001", "30"},
      {编辑框_页数, "0.99999999", "0.99999999"},   {编辑框_页数, "-", "1"},
      {编辑框_时间, "2.9", "3"},                   {编辑框_时间, "１０"_gbk, "１０"_gbk},
      {编辑框_线程数量, "1e9", "10"},
  };
  for (const auto& c : cases) {
    w.setText(c.box, c.typed);
    EXPECT_EQ(w.text(c.box), c.shown) << c.typed;
  }
}

TEST_F(SettingsTest, WritesKeepUnknownContent) {
  writeWholeFile(path(), "; mine\r\n[其他]\r\n自己的=值\r\n[过滤]\r\nGB=3\r\n"_gbk);
  start();
  w.setText(编辑框_GB, "4");
  w.click(选择框_删除重复);
  EXPECT_EQ(readWholeFile(path()), "; mine\r\n[其他]\r\n自己的=值\r\n[过滤]\r\nGB=4\r\n删除重复=假\r\n"_gbk);
}

TEST_F(SettingsTest, AFailedWriteIsSilentAndLosesNothing) {
  SettingsStore blocked{w, sandbox_.file("not-a-directory") + "/Clss.ini"};
  writeWholeFile(sandbox_.file("not-a-directory"), "a file");
  blocked.markLoaded();
  EXPECT_FALSE(blocked.writeValue("a", "k", "v"));
  EXPECT_EQ(readWholeFile(sandbox_.file("not-a-directory")), "a file");
}

TEST_F(SettingsTest, TheConfigurationDirectoryIsCreatedOnTheFirstWrite) {
  Text nested = sandbox_.file("config") + "/quenbo/Clss.ini";
  SettingsStore fresh{w, nested};
  fresh.markLoaded();
  EXPECT_TRUE(fresh.writeValue("搜索"_gbk, "页数"_gbk, "8"));
  EXPECT_EQ(readIniValue(nested, "搜索"_gbk, "页数"_gbk), "8");
}

class SettingsLocation : public testing::SandboxTest {};

TEST_F(SettingsLocation, NextToTheExecutableWhenPossibleElseInTheUserConfiguration) {
  Text install = sandbox_.file("bin");
  Text config = sandbox_.file("config");
  std::filesystem::create_directory(install);
  EXPECT_EQ(settingsFilePath(install, config), install + "/Clss.ini");  // writable: portable
  Text missing = sandbox_.file("gone");
  EXPECT_EQ(settingsFilePath(missing, config), config + "/quenbo/Clss.ini");
  EXPECT_EQ(settingsFilePath(missing, ""), missing + "/Clss.ini");
  if (::geteuid() != 0) {  // permissions do not stop root
    writeWholeFile(install + "/Clss.ini", "");
    std::filesystem::permissions(install, std::filesystem::perms(0555));
    EXPECT_EQ(settingsFilePath(install, config), install + "/Clss.ini");  // it exists there
    std::filesystem::remove(install + "/Clss.ini");
    EXPECT_EQ(settingsFilePath(install, config), config + "/quenbo/Clss.ini");
    std::filesystem::permissions(install, std::filesystem::perms(0755));
  }
}

TEST_F(SettingsLocation, AnInstalledProgramKeepsItsSettingsInTheUserConfiguration) {
  // <prefix>/bin beside <prefix>/share/quenbo/sites.hosts, and no sites.hosts in bin: even a
  // writable bin (root, ~/.local/bin) gets no Clss.ini.
  std::filesystem::path bin = sandbox_.path() / "søren" / "bin";
  std::filesystem::create_directories(bin);
  std::filesystem::create_directories(bin / "../share/quenbo");
  writeWholeFile((bin / "../share/quenbo/sites.hosts").string(), "");
  std::filesystem::path config = sandbox_.path() / "설정";
  EXPECT_EQ(settingsFilePath(bin, config), config / "quenbo" / "Clss.ini");
  // A Clss.ini put beside the executable makes it portable again.
  writeWholeFile((bin / "Clss.ini").string(), "");
  EXPECT_EQ(settingsFilePath(bin, config), bin / "Clss.ini");
}

TEST_F(SettingsLocation, ConfigurationDirectoryFromTheEnvironment) {
  std::string oldConfig = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", "/home/someone", 1);
  ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
  EXPECT_EQ(userConfigDirectory(), "/xdg");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  EXPECT_EQ(userConfigDirectory(), "/home/someone/.config");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(userConfigDirectory(), "/home/someone/.config");
  ::unsetenv("HOME");
  EXPECT_EQ(userConfigDirectory(), "");
  if (!oldHome.empty()) ::setenv("HOME", oldHome.c_str(), 1);
  if (!oldConfig.empty()) ::setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
}

}  // namespace
}  // namespace quenbo::settings
