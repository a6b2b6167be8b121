// The self-update run: downloads every listed file that is not done yet, verifies it by its
// MD5, puts it in place, and finally replaces the running executable through a detached
// script and restarts. Runs on a worker thread of its own.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/stop_bell.h"
#include "base/text.h"
#include "net/fetch.h"
#include "net/transfer_progress.h"
#include "update/update_rows.h"
#include "window/interactions.h"

namespace quenbo::update {

struct UpdaterHooks {
  // A question or notice (titled "温馨提示"); returns the answer. Called on the run's thread.
  std::function<window::MessageAnswer(const Text& text, window::MessageButtons buttons,
                                      window::MessageIcon icon)>
      ask;
  // Ends the process with this code; called on the run's thread, which returns afterwards.
  std::function<void(int)> endProcess;
  // A row's status column changed (progress, "成功", "失败"); may be empty.
  std::function<void(int row, const Text& status)> statusChanged;
};

// What every download of the run must keep to: a download that brings fewer than
// `minimumRate` bytes a second over any `rateWindow`, or is not done by `deadline`, fails.
struct TransferLimits {
  std::size_t minimumRate = 1024;
  std::chrono::milliseconds rateWindow{30000};
  std::chrono::milliseconds deadline{std::chrono::minutes(30)};
};

struct UpdaterSetup {
  std::filesystem::path installDirectory;
  std::filesystem::path executablePath;  // the running executable
  std::string trustedCertificates;  // tests only; empty: the system's store
  bool restart = true;           // start the program again when done (the command line: no)
  // Asked while the run goes; true ends it where it is (the program closing): the download
  // is abandoned, and nothing more is asked, put in place or started. `stopBell` rings
  // whenever it may have turned true.
  std::function<bool()> abandon = {};
  StopBell* stopBell = nullptr;
  // The program is started again with these arguments: its own, so that it comes back with
  // the same hosts and settings files.
  std::vector<std::string> arguments = {};
  TransferLimits limits = {};
  uid_t user = ::geteuid();  // who runs the replace script (tests name another)
};

// Said when the program is to start again but its executable is gone.
Text missingProgramText(const std::filesystem::path& executable);

class Updater final {
 public:
  // `rows` are the file list's rows (update_rows.h); the run writes their status column and
  // tells every change through hooks.statusChanged.
  Updater(std::vector<FileRow> rows, UpdaterSetup setup, UpdaterHooks hooks);

  void runUpdate();

  // Downloads `url` into directory/name on a thread of its own and waits for it.
  bool startDownload(const Text& url, const std::filesystem::path& directory,
                     const std::filesystem::path& name, const Text& headerText, int identifier);
  bool verifyRow(int row, const std::filesystem::path& file) const;
  void reportProgress(int identifier, std::int64_t total, std::int64_t received);
  // Writes and starts the restart script, then ends the process; when the executable is
  // gone, says so and does nothing else.
  void restartSelf(int seconds = 2);
  // Writes and starts the replace script for `source`, then ends the process.
  void replaceSelf(const std::filesystem::path& source);

  // The header text with its line end and the default Accept, Content-Type and
  // User-Agent lines.
  static Text normaliseHeaders(Text text);

  // The rows as the run left them.
  std::vector<FileRow> rows() const;

 private:
  bool downloadThread(const Text& url, const std::filesystem::path& directory,
                      const std::filesystem::path& name, const Text& headerText, int identifier);
  void setStatus(int row, const Text& status);
  Text cell(int row, int column) const;
  // Where the replace script puts the new executable.
  std::filesystem::path replaceTarget() const;
  // A failed row: marks it "失败" with the problem, when there is one, asks whether to
  // restart (`what` + the problem + "，是否重新启动程序？"), restarts or ends.
  void failRow(int row, const Text& what, const Text& problem);
  bool abandoned() const { return setup_.abandon && setup_.abandon(); }

  // Read by the run, their status also written by the progress thread.
  mutable std::mutex rowsMutex_;
  std::vector<FileRow> rows_;
  UpdaterSetup setup_;
  UpdaterHooks hooks_;
  // The row being downloaded: written by the run, read by the progress thread.
  std::atomic<int> currentRow_{0};
  net::FetchFault lastFault_;  // of the last download, once it has ended
};

}  // namespace quenbo::update
