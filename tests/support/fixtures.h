// Shared test fixtures: a temporary directory per test and polling instead of sleeping.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace quenbo::testing {

// A fresh directory under the system's temporary directory, removed with the fixture.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

class SandboxTest : public ::testing::Test {
 protected:
  TempDir sandbox_;
};

// Polls `predicate` every millisecond until it holds or `timeout` passes.
bool waitFor(const std::function<bool()>& predicate,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& bytes);

}  // namespace quenbo::testing
