#include "app/search_command.h"

#include <ostream>
#include <string>

#include "app/application.h"
#include "app/result_output.h"
#include "app/search_options.h"
#include "app/site_setup.h"
#include "base/encoding.h"
#include "base/numbers.h"
#include "ui/row_sort.h"
#include "ui/text_export.h"
#include "window/headless/headless_loop.h"
#include "forms/main_window_names.h"
#include "forms/site_table.h"

namespace quenbo::app {
namespace {

using namespace window::names;

// No person to ask: messages go to standard error and every question is declined.
class CommandLineInteractions final : public window::Interactions {
 public:
  explicit CommandLineInteractions(std::ostream& err) : err_(err) {}

  window::MessageAnswer messageBox(const Text& text, const Text&, window::MessageButtons buttons,
                                   window::MessageIcon) override {
    err_ << "quenbo: " << gbkToUtf8(text) << '\n';
    return buttons == window::MessageButtons::Ok ? window::MessageAnswer::Ok
                                                 : window::MessageAnswer::No;
  }
  void beep() override {}
  std::optional<std::filesystem::path> saveFileDialog(const Text&) override {
    return std::nullopt;
  }
  std::optional<std::string> popupMenu(const window::MenuTemplate&) override {
    return std::nullopt;
  }
  void setClipboardText(const Text&) override {}
  void openUrl(const Text&) override {}
  void playSound(const Bytes&) override {}

 private:
  std::ostream& err_;
};

// Copies what the log box gains to a stream. Workers append from their threads, so the
// observer only notes the change; `flush` writes on the command's own thread.
class LogFollower final : public window::ModelObserver {
 public:
  LogFollower(window::WindowModel& window, std::ostream* out) : window_(window), out_(out) {
    if (out_) window_.addObserver(this);
  }
  ~LogFollower() override {
    if (out_) window_.removeObserver(this);
  }
  LogFollower(const LogFollower&) = delete;
  LogFollower& operator=(const LogFollower&) = delete;

  void flush() {
    if (!out_ || !changed_.exchange(false)) return;
    window::TextShape shape = window_.textShape(编辑框_日志);
    if (shape.replacements != replacements_ || shape.text.size() < written_) {
      replacements_ = shape.replacements;
      written_ = 0;
    }
    std::string lines = gbkToUtf8(std::string_view(shape.text).substr(written_));
    written_ = shape.text.size();
    std::erase(lines, '\r');
    *out_ << lines << std::flush;
  }

 private:
  void modelChanged(const window::WindowModel&, const window::Change& change) override {
    if (change.component == 编辑框_日志) changed_ = true;
  }

  window::WindowModel& window_;
  std::ostream* out_;
  std::atomic<bool> changed_{false};
  std::uint64_t replacements_ = 0;
  std::size_t written_ = 0;
};

bool anySiteTicked(const window::WindowModel& window) {
  for (const auto& site : window::kSites) {
    if (window.checked(siteCheckBox(site.label))) return true;
  }
  return false;
}

AppConfig commandConfig(const SearchOptions& options, const Text& installDirectory,
                        std::ostream& err) {
  SiteSetup sites = setUpSites(installDirectory, utf8ToGbk(options.hostsFile));
  for (const auto& problem : sites.problems) err << "quenbo: " << problem << '\n';
  AppConfig config{installDirectory, std::move(sites.workers), utf8ToGbk(options.settingsFile)};
  config.overrideSettings = [&options](window::WindowModel& w) {
    if (options.pages) w.setText(编辑框_页数, integerToText(*options.pages));
    if (options.timeout) w.setText(编辑框_时间, integerToText(*options.timeout));
    if (options.sites.empty()) return;
    for (int i = 0; i < window::kSiteCount; ++i) {
      bool wanted = false;
      for (int site : options.sites) wanted = wanted || site == i;
      w.setChecked(siteCheckBox(window::kSites[i].label), wanted);
    }
  };
  return config;
}

}  // namespace

int runSearchCommand(std::span<const char* const> arguments, const Text& installDirectory,
                     std::ostream& out, std::ostream& err, const std::atomic<bool>* interrupted) {
  ParsedSearchOptions parsed = parseSearchOptions(arguments);
  if (!parsed.error.empty()) {
    err << "quenbo search: " << parsed.error << "\n(quenbo search --help lists the options)\n";
    return kExitUsage;
  }
  const SearchOptions& options = parsed.options;
  if (options.help) {
    out << searchUsage();
    return 0;
  }

  window::HeadlessLoop loop;
  CommandLineInteractions interactions(err);
  Application application(loop, interactions, commandConfig(options, installDirectory, err));
  window::WindowModel& w = application.mainWindow();
  loop.attach(w);
  application.create();
  core::SearchJob& job = application.job();
  bool finished = false;  // the command's thread is the UI thread
  job.onFinished([&finished] { finished = true; });

  int status = 0;
  if (!anySiteTicked(w)) {
    err << "quenbo search: no site is ticked in the settings; name some with --sites\n";
    status = kExitCannotStart;
  } else {
    LogFollower log(w, options.log ? &err : nullptr);
    w.setText(编辑框_搜索, utf8ToGbk(options.keyword));
    w.click(超级按钮_搜索);
    if (!job.running()) status = kExitCannotStart;  // refused, with a message already written
    auto stopWanted = [interrupted] { return interrupted && interrupted->load(); };
    while (status == 0 && !finished) {
      loop.runUntil([&] { return finished || stopWanted() || !job.anySiteRunning(); },
                    std::chrono::milliseconds(100));
      log.flush();
      // Nobody watches the window: end the search as soon as the last site is done rather
      // than at the monitor's next tick.
      if (!finished && !job.anySiteRunning()) job.monitorTick();
      if (stopWanted() && !finished) {
        w.click(超级按钮_停止);
        loop.runUntil([&] { return finished; }, std::chrono::hours(1));
        status = kExitInterrupted;
      }
    }
    log.flush();
  }
  if (status != kExitCannotStart) {
    core::ResultStore& store = application.job().store();
    if (options.sort) ui::sortRows(w, store, *options.sort);
    ListedRows rows = ui::resultRows(w, store);
    options.format == OutputFormat::Json ? writeJson(out, rows) : writeTsv(out, rows);
    // A full disk or a closed pipe must not pass for a search that printed its hits.
    if (!out.flush()) {
      err << "quenbo search: cannot write the results to standard output\n";
      status = kExitOutputFailed;
    }
    if (!options.exportFile.empty()) {
      std::filesystem::path file(options.exportFile);
      if (std::error_code reason = ui::writeExport(file, ui::exportBytes(rows))) {
        err << "quenbo search: cannot write " << options.exportFile << ": " << reason.message()
            << '\n';
        if (status == 0) status = kExitCannotStart;
      }
    }
  }
  application.close();
  loop.detach(w);
  return status;
}

}  // namespace quenbo::app
