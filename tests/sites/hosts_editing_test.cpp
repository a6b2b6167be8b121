#include "sites/hosts_editing.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "base/encoding.h"
#include "base/files.h"
#include "support/fixtures.h"

namespace quenbo::sites {
namespace {

using testing::readWholeFile;
using testing::writeWholeFile;

constexpr int kBtdad = 0, kZhongzisou = 10, kRenz = 21;

class HostsEditingTest : public testing::SandboxTest {
 protected:
  HostsEditingTest() {
    writeWholeFile(shipped_.string(),
                   "; shipped\n[sites]\nBtdad =\nRenz = shipped.example\nSobt = shipped.example\n"
                   "Skrbt = https://skrbt.example\n[apis]\nA = api.example\nB =\n"
                   "[markers]\nBtsow = btsow.example\n[board]\nhost =\n");
    writeWholeFile(machine_.string(), "[sites]\nSobt = machine.example\n");
  }

  HostsEditing editing() { return HostsEditing({{shipped_, true}, {machine_}, {local_}}, local_); }

  static const HostsRow* find(const HostsEditing& e, std::string_view section,
                              std::string_view key) {
    for (const HostsRow& row : e.rows()) {
      if (row.section == section && row.key == key) return &row;
    }
    return nullptr;
  }
  static std::size_t indexOf(const HostsEditing& e, std::string_view section,
                             std::string_view key) {
    return static_cast<std::size_t>(find(e, section, key) - e.rows().data());
  }

  std::filesystem::path shipped_ = sandbox_.path() / "sites.hosts";
  std::filesystem::path machine_ = sandbox_.path() / "etc.hosts";
  std::filesystem::path local_ = sandbox_.path() / "config" / "quenbo" / "sites.hosts.local";
};

TEST_F(HostsEditingTest, ListsEveryKeyWithItsValueAndTheFileItComesFrom) {
  HostsEditing e = editing();
  int sites = 0;
  for (const HostsRow& row : e.rows()) sites += row.section == "sites";
  EXPECT_EQ(sites, 19);  // the seven others use the two APIs
  ASSERT_NE(find(e, "apis", "A"), nullptr);
  EXPECT_EQ(find(e, "apis", "A")->sites, "种子搜、BT蚂蚁、Torrentz、Sunyaa、idopea"_gbk);
  EXPECT_EQ(find(e, "apis", "A")->site, kZhongzisou);
  // Only the marker, board and service keys some file holds.
  EXPECT_NE(find(e, "markers", "Btsow"), nullptr);
  EXPECT_EQ(find(e, "markers", "Monova"), nullptr);
  EXPECT_NE(find(e, "board", "host"), nullptr);
  EXPECT_EQ(find(e, "service", "update"), nullptr);

  const HostsRow* sobt = find(e, "sites", "Sobt");
  EXPECT_EQ(sobt->value, "machine.example");
  EXPECT_EQ(sobt->shipped, "shipped.example");
  EXPECT_EQ(sobt->source, machine_);
  EXPECT_EQ(find(e, "sites", "Renz")->source, shipped_);
  EXPECT_TRUE(find(e, "sites", "Ttcili")->source.empty());  // no file names it
  EXPECT_TRUE(find(e, "sites", "Skrbt")->withScheme);
}

// Only a site's own key and the APIs may list mirrors; one bad edit stops the save.
TEST_F(HostsEditingTest, ChecksEditedValuesByTheirSection) {
  HostsEditing e = editing();
  const std::size_t btdad = indexOf(e, "sites", "Btdad"), marker = indexOf(e, "markers", "Btsow");
  e.setValue(btdad, "one.example, two.example");
  EXPECT_TRUE(e.problem(btdad).empty());
  e.setValue(marker, "one.example, two.example");
  EXPECT_FALSE(e.problem(marker).empty());
  EXPECT_FALSE(e.savable());
  e.setValue(marker, "btsow.example");
  EXPECT_TRUE(e.savable());
}

TEST_F(HostsEditingTest, SavesOnlyChangedKeysIntoTheUsersFileAndTheNextReadUsesThem) {
  HostsEditing e = editing();
  e.setValue(indexOf(e, "sites", "Btdad"), "btdad.example");
  e.setValue(indexOf(e, "sites", "Renz"), "shipped.example");  // edited back to the shipped value
  e.setValue(indexOf(e, "apis", "A"), "");                      // switched off
  std::string error;
  ASSERT_TRUE(e.save(error)) << error;
  std::string written = readWholeFile(local_.string());
  EXPECT_NE(written.find("Btdad=btdad.example"), std::string::npos) << written;
  EXPECT_EQ(written.find("Renz"), std::string::npos) << written;
  EXPECT_NE(written.find("[apis]\nA="), std::string::npos) << written;
  EXPECT_EQ(written.find("Sobt"), std::string::npos) << written;  // untouched keys stay out

  // The rows are read again: the user's file now decides the saved keys.
  EXPECT_FALSE(e.edited());
  EXPECT_EQ(find(e, "sites", "Btdad")->source, local_);
  EXPECT_EQ(find(e, "sites", "Btdad")->value, "btdad.example");
  SiteHosts hosts = SiteHosts::load({{shipped_, true}, {machine_}, {local_}});
  EXPECT_EQ(hosts.host(kBtdad), "btdad.example");
  EXPECT_EQ(hosts.host(kZhongzisou), "");
  EXPECT_EQ(hosts.host(kRenz), "shipped.example");
}

TEST_F(HostsEditingTest, KeepsTheUsersOtherLinesAndOverridesItsOldValues) {
  std::filesystem::create_directories(local_.parent_path());
  writeWholeFile(local_.string(), "; my notes: 我的主机\n[sites]\nRenz = mine.example\n[extra]\nx = 1\n");
  HostsEditing e = editing();
  EXPECT_EQ(find(e, "sites", "Renz")->value, "mine.example");
  // Back to the shipped value: the user's file must say so, or its old value keeps winning.
  e.setValue(indexOf(e, "sites", "Renz"), "shipped.example");
  std::string error;
  ASSERT_TRUE(e.save(error)) << error;
  std::string written = readWholeFile(local_.string());
  EXPECT_NE(written.find("; my notes: 我的主机"), std::string::npos);
  EXPECT_NE(written.find("[extra]\nx = 1"), std::string::npos);
  EXPECT_EQ(SiteHosts::load({{shipped_, true}, {local_}}).host(kRenz), "shipped.example");
}

TEST_F(HostsEditingTest, RefusesToSaveWhatCannotBeTakenOrWritten) {
  HostsEditing bad = editing();
  bad.setValue(indexOf(bad, "sites", "Btdad"), "a b");
  std::string error;
  EXPECT_FALSE(bad.save(error));
  EXPECT_FALSE(fileExists(local_));

  HostsEditing nowhere({{shipped_, true}}, {});
  nowhere.setValue(0, "x.example");
  EXPECT_FALSE(nowhere.save(error));

  // A user file that cannot be read (here a FIFO, which is never waited on) is never
  // replaced by a few keys.
  std::filesystem::create_directories(local_.parent_path());
  ASSERT_EQ(::mkfifo(local_.c_str(), 0600), 0);
  HostsEditing unreadable = editing();
  unreadable.setValue(indexOf(unreadable, "sites", "Btdad"), "btdad.example");
  EXPECT_FALSE(unreadable.save(error));
  EXPECT_EQ(error, "cannot read " + local_.string() + ": not a regular file; nothing was saved");
  EXPECT_TRUE(std::filesystem::is_fifo(local_));
}

TEST_F(HostsEditingTest, ListsALongValueWhole) {
  std::string value;
  for (int i = 0; i < 1000; ++i) value += (i ? "," : "") + std::to_string(i) + ".example";
  writeWholeFile(machine_.string(), "[sites]\nSobt = " + value + "\n");
  HostsEditing e = editing();
  EXPECT_EQ(find(e, "sites", "Sobt")->value, value);
  EXPECT_EQ(e.problem(indexOf(e, "sites", "Sobt")), "");
}

TEST_F(HostsEditingTest, SavingKeepsAReadOnlyUserFile) {
  std::filesystem::create_directories(local_.parent_path());
  writeWholeFile(local_.string(), "[sites]\nRenz = mine.example\n");
  ASSERT_EQ(::chmod(local_.c_str(), 0444), 0);
  HostsEditing e = editing();
  e.setValue(indexOf(e, "sites", "Btdad"), "btdad.example");
  std::string error;
  EXPECT_FALSE(e.save(error));
  EXPECT_EQ(error, "cannot write " + local_.string() + ": Permission denied");
  EXPECT_EQ(readWholeFile(local_.string()), "[sites]\nRenz = mine.example\n");
  EXPECT_EQ(std::filesystem::status(local_).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                std::filesystem::perms::others_read);
}

TEST_F(HostsEditingTest, HostsForACheckFollowTheEditsBeforeSaving) {
  HostsEditing e = editing();
  e.setValue(indexOf(e, "sites", "Btdad"), "check.example:8080");
  SiteHosts hosts = e.hosts();
  EXPECT_EQ(hosts.host(kBtdad), "check.example:8080");
  EXPECT_EQ(hosts.host(kZhongzisou), "api.example");
  EXPECT_FALSE(fileExists(local_));
}

}  // namespace
}  // namespace quenbo::sites
