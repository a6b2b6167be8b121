// The rows of the update window's file list: which listed files differ from the
// installation, and which one is the running executable itself.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "update/update_service.h"

namespace quenbo::update {

// One file of the list, its cells in column order.
using FileRow = std::vector<Text>;

// Columns of the file list.
inline constexpr int kIdColumn = 0, kPathColumn = 1, kServiceMd5Column = 2, kLocalMd5Column = 3,
                     kStatusColumn = 4, kKindColumn = 5, kUrlColumn = 6;
// An entry whose pathName contains this is the running executable.
inline constexpr std::string_view kSoftwareName = "Quenbo";
// The main program is downloaded under this name into the installation directory.
std::filesystem::path temporaryMainProgramName();  // "临时主程序"
Text mainProgramKind();           // "主程序"
Text missingFileText();           // "文件不存在"
Text succeededText();             // "成功"
Text failedText();                // "失败"

// The rows to list, numbered from 1, for the files that are due. The running executable is
// the entry whose pathName contains "Quenbo", or whose file name is the executable's own
// (the program is installed as "quenbo" here). A pathName that would leave the
// installation directory is listed with its status already "失败".
std::vector<FileRow> dueRows(const std::vector<UpdateFile>& files,
                                 const std::filesystem::path& installDirectory,
                                 const Text& ownDigest,
                                 const std::filesystem::path& executableName = {});

// The last component of a "/"-separated path.
Text fileNameOf(const Text& path);

}  // namespace quenbo::update
