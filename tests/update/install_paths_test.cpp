// Where listed files may go, and which installations may update themselves.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "base/encoding.h"
#include "support/fixtures.h"
#include "update/install_paths.h"

namespace quenbo::update {
namespace {

class InstallPaths : public testing::SandboxTest {
 protected:
  std::filesystem::path home() const { return sandbox_.path(); }
};

TEST_F(InstallPaths, OnlyPathsInsideTheInstallationAreTaken) {
  struct Case {
    const char* pathName;
    const char* inside;  // nullptr: refused
  };
  for (const Case& c : {Case{"/a.txt", "a.txt"}, Case{"a.txt", "a.txt"},
                        Case{"/dir/sub/file.so", "dir/sub/file.so"},
                        Case{"/数据/说明.txt", "数据/说明.txt"}, Case{"/..", nullptr},
                        Case{"../outside", nullptr}, Case{"/dir/../../outside", nullptr},
                        Case{"/dir/./file", nullptr}, Case{"//etc/passwd", nullptr},
                        Case{"/a\\..\\b", nullptr}, Case{"c:/windows/x", nullptr},
                        Case{"/", nullptr}, Case{"", nullptr}, Case{"/dir/", nullptr}}) {
    // The service names files in GBK; on disk they are the file system's own (UTF-8) names.
    std::optional<std::filesystem::path> path = installedPath(home(), utf8ToGbk(c.pathName));
    if (c.inside == nullptr) {
      EXPECT_FALSE(path) << c.pathName;
    } else {
      ASSERT_TRUE(path) << c.pathName;
      EXPECT_EQ(*path, home() / c.inside) << c.pathName;
    }
  }
}

TEST_F(InstallPaths, ASymlinkedParentIsRefused) {
  testing::TempDir elsewhere;
  std::filesystem::create_directory_symlink(elsewhere.path(), sandbox_.path() / "plugins");
  std::filesystem::create_directory(sandbox_.path() / "real");
  EXPECT_FALSE(installedPath(home(), "/plugins/evil.so"));
  EXPECT_FALSE(installedPath(home(), "/plugins/deeper/evil.so"));
  EXPECT_TRUE(installedPath(home(), "/real/fine.so"));
  // The last component may be a link: it is renamed over, never written through.
  EXPECT_TRUE(installedPath(home(), "/plugins"));
}

TEST_F(InstallPaths, SelfUpdateNeedsAWritableDirectoryOutsideThePackageTree) {
  EXPECT_TRUE(selfUpdateAllowed(home()));
  std::filesystem::create_directory(sandbox_.path() / "ro");
  ::chmod((sandbox_.path() / "ro").c_str(), 0555);  // holds even for root
  EXPECT_FALSE(selfUpdateAllowed(home() / "ro"));
  EXPECT_FALSE(selfUpdateAllowed("/usr/bin"));
  EXPECT_FALSE(selfUpdateAllowed("/usr/lib/quenbo"));
  EXPECT_FALSE(selfUpdateAllowed(home() / "missing"));
  ::chmod((sandbox_.path() / "ro").c_str(), 0755);
}

}  // namespace
}  // namespace quenbo::update
