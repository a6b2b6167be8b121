#include "base/files.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/encoding.h"

namespace quenbo {
namespace {

std::filesystem::path executablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : path;
}

}  // namespace

std::string nativePath(const Text& path) { return gbkToUtf8(path); }

Text executableDirectory() { return utf8ToGbk(executablePath().parent_path().string()); }

Text executableName() { return utf8ToGbk(executablePath().filename().string()); }

bool fileExists(const Text& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(nativePath(path), error);
}

bool directoryExists(const Text& path) {
  std::error_code error;
  return std::filesystem::is_directory(nativePath(path), error);
}

bool deleteFile(const Text& path) { return ::unlink(nativePath(path).c_str()) == 0; }

std::optional<Bytes> readFile(const Text& path) {
  std::ifstream in(nativePath(path), std::ios::binary);
  if (!in) return std::nullopt;
  Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool writeFile(const Text& path, const Bytes& bytes) {
  std::ofstream out(nativePath(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

Text joinPath(const Text& directory, const Text& name) {
  if (directory.empty()) return name;
  if (directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

}  // namespace quenbo
