#include "base/files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/fixtures.h"

namespace quenbo {
namespace {

using testing::readWholeFile;
using testing::writeWholeFile;

class Files : public testing::SandboxTest {};

// Permission to rename in the folder is not permission to change a file the user made
// read-only: the file is refused with "Permission denied" and stays as it was.
TEST_F(Files, ReplaceKeepsAFileWithoutWritePermission) {
  struct Case {
    const char* name;
    mode_t mode;
    bool throughLink;
    bool replaced;
  };
  const Case cases[] = {{"rw-r--r--", 0644, false, true},  {"rw-------", 0600, false, true},
                        {"-w--w--w-", 0222, false, true},  {"r--r--r--", 0444, false, false},
                        {"r--------", 0400, false, false}, {"---------", 0000, false, false},
                        {"link to r--r--r--", 0444, true, false}};
  for (const Case& c : cases) {
    std::string file = sandbox_.file(std::string(c.name) + ".txt");
    writeWholeFile(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
    std::string named = file;
    if (c.throughLink) {
      named = sandbox_.file(std::string(c.name) + ".link");
      std::filesystem::create_symlink(file, named);
    }
    std::error_code reason;
    EXPECT_EQ(replaceFile(named, "new", reason), c.replaced) << c.name;
    ::chmod(file.c_str(), 0644);
    EXPECT_EQ(readWholeFile(file), c.replaced ? "new" : "old") << c.name;
    if (!c.replaced) {
      EXPECT_EQ(reason.message(), "Permission denied") << c.name;
      struct stat status {};
      ASSERT_EQ(::lstat(file.c_str(), &status), 0);
      EXPECT_TRUE(S_ISREG(status.st_mode)) << c.name;
    }
  }
  // No temporary file is left behind by a refusal.
  for (const auto& entry : std::filesystem::directory_iterator(sandbox_.path())) {
    EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
  }
}

}  // namespace
}  // namespace quenbo
