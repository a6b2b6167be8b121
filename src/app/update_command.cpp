#include "app/update_command.h"

#include <ostream>

#include "app/command_line.h"
#include "app/result_output.h"
#include "app/search_command.h"
#include "app/site_setup.h"
#include "base/encoding.h"
#include "base/files.h"
#include "script/text_codec.h"
#include "update/install_paths.h"
#include "update/update_flow.h"
#include "update/update_rows.h"
#include "update/update_service.h"
#include "update/updater.h"

namespace quenbo::app {

using namespace update;

namespace {

// A text from the service as the terminal may show it: no escape, clipboard write, bell or
// cursor movement gets through.
std::string shown(const Text& gbk) {
  return withoutControls(gbkToUtf8(gbk));
}

// The change log keeps its lines; every other control character goes.
std::string shownLines(const Text& gbk) {
  std::string text = gbkToUtf8(gbk), lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (start > 0) lines += '\n';
    lines += withoutControls(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void printRows(const std::vector<FileRow>& rows, std::ostream& out) {
  for (const auto& row : rows) {
    out << shown(row[kPathColumn]) << "  " << shown(row[kServiceMd5Column]) << "  "
        << shown(row[kLocalMd5Column]);
    if (!row[kKindColumn].empty()) out << "  " << shown(row[kKindColumn]);
    if (!row[kStatusColumn].empty()) out << "  " << shown(row[kStatusColumn]);
    out << "  " << shown(row[kUrlColumn]) << "\n";
  }
}

}  // namespace

const char* updateUsage() {
  return "usage: quenbo update [options]\n"
         "  --check          only list the files that differ from the update service's\n"
         "  --restart        start the program again after updating\n"
         "  --hosts=FILE     a hosts file read after the program's own; its [service] update\n"
         "                   names the update service\n"
         "  --help, -h       this text\n"
         "Without --check the listed files are downloaded, verified and put in place, where\n"
         "the installation may update itself (not one a package manager installed).\n"
         "Exit status: 0 when nothing was due or all was updated, 10 when --check listed\n"
         "updates, 1 when the check or an update failed, 2 for an unreadable --hosts file.\n";
}

int runUpdateCommand(std::span<const char* const> arguments,
                     const std::filesystem::path& installDirectory, std::ostream& out,
                     std::ostream& err) {
  Parsed<UpdateOptions> parsed = parseUpdateOptions(arguments);
  if (!parsed.error.empty()) {
    writeUsageError(err, "update", parsed.error);
    return kExitUsage;
  }
  const UpdateOptions& options = parsed.options;
  if (options.help) {
    out << updateUsage();
    return 0;
  }
  SiteSetup sites = setUpSites(installDirectory, options.hostsFile);
  for (const auto& problem : sites.problems) err << "quenbo: " << problem << '\n';
  if (sites.hostsOptionUnreadable) return kExitUsage;
  if (std::optional<Text> failed = takeReplaceFailure(installDirectory)) {
    err << "quenbo: " << shown(*failed) << "\n";
  }
  ServiceConfig config;
  config.baseUrl = sites.updateService;
  UpdateService service(config);
  service.setKey(Text(kApplicationKey));
  CheckAnswer answer;
  int result = service.checkUpdates(answer);
  if (result == -1) {
    err << "quenbo: " << shown("检查更新失败："_gbk + answer.message) << "\n";
    return 1;
  }
  std::filesystem::path executable = executablePath();
  std::vector<FileRow> rows;
  if (result == 1) {
    rows = dueRows(answer.files, installDirectory, script::TextCodec::fileMd5(executable),
                   executable.filename());
  }
  if (rows.empty()) {
    out << gbkToUtf8("无需更新"_gbk) << "\n";
    return 0;
  }
  printRows(rows, out);
  LogAnswer log;
  int logResult = service.fetchLog(log);
  if (logResult == 1) {
    out << "\n" << shownLines(log.log) << "\n";
  } else {
    err << "quenbo: "
        << shown(logResult == 0 ? "获取更新日志失败！"_gbk : "获取更新日志异常！"_gbk + log.message)
        << "\n";
  }
  if (options.check) return kExitUpdatesListed;

  if (!selfUpdateAllowed(installDirectory)) {
    err << "quenbo: " << installDirectory.string() << " is not writable by this user or "
        << "belongs to a package manager: nothing was downloaded. Update Quenbo through the "
        << "package manager that installed it.\n";
    return 1;
  }
  int exitCode = 0;
  UpdaterHooks hooks;
  hooks.ask = [&](const Text& text, window::MessageButtons, window::MessageIcon) {
    out << shown(text) << "\n";
    return window::MessageAnswer::No;
  };
  hooks.endProcess = [&](int) {};
  Text lastStatus;
  hooks.statusChanged = [&](int row, const Text& status) {
    if (status == lastStatus) return;
    lastStatus = status;
    out << shown(rows[static_cast<std::size_t>(row)][kPathColumn]) << ": " << shown(status) << "\n"
        << std::flush;
  };
  UpdaterSetup setup{installDirectory, executable, {}, options.restart};
  // The program comes back with the hosts file this update used.
  if (!options.hostsFile.empty()) {
    setup.arguments = {"--hosts", std::filesystem::absolute(options.hostsFile).string()};
  }
  Updater updater(rows, std::move(setup), hooks);
  updater.runUpdate();
  for (const FileRow& row : updater.rows()) {
    if (row[kStatusColumn] != succeededText()) exitCode = 1;
  }
  return exitCode;
}

}  // namespace quenbo::app
