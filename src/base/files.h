// Files on disk. Paths are GBK texts, as the rest of the system holds them; Linux file
// names are UTF-8, so every call converts the path first.
#pragma once

#include <optional>

#include "base/text.h"

namespace quenbo {

// The directory of the running executable, without a trailing separator.
Text executableDirectory();
// The file name of the running executable.
Text executableName();

// GBK path to the UTF-8 form the filesystem takes.
std::string nativePath(const Text& path);

bool fileExists(const Text& path);
bool directoryExists(const Text& path);
bool deleteFile(const Text& path);
std::optional<Bytes> readFile(const Text& path);
// Creates or truncates the file and writes all bytes; false on any failure.
bool writeFile(const Text& path, const Bytes& bytes);

// Joins a directory and a name with one "/".
Text joinPath(const Text& directory, const Text& name);

}  // namespace quenbo
