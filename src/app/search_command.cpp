#include "app/search_command.h"

#include <chrono>
#include <optional>
#include <ostream>
#include <string>

#include "app/application.h"
#include "app/log_follower.h"
#include "app/result_output.h"
#include "app/search_options.h"
#include "app/search_progress.h"
#include "app/site_setup.h"
#include "app/site_status_table.h"
#include "base/encoding.h"
#include "base/numbers.h"
#include "ui/row_sort.h"
#include "ui/text_export.h"
#include "window/headless/headless_loop.h"
#include "forms/main_window_names.h"
#include "forms/site_table.h"
#include "settings/settings_handlers.h"

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
  bool playsSound() const override { return false; }

 private:
  std::ostream& err_;
};

// Ticked sites, and of those the ones with a host (the others are not started).
std::pair<int, int> sitesTicked(const window::WindowModel& window, const core::SearchJob& job) {
  int ticked = 0, withHost = 0;
  for (int i = 0; i < window::kSiteCount; ++i) {
    if (!window.checked(siteCheckBox(window::kSites[static_cast<std::size_t>(i)].label))) continue;
    ++ticked;
    withHost += job.hasHost(i) ? 1 : 0;
  }
  return {ticked, withHost};
}

// The settings' bounds rule has clamped an option's value: say to what.
void announceClamped(const window::WindowModel& w, const SearchOptions& options,
                     std::ostream& err) {
  struct Limited {
    const char* option;
    std::optional<int> asked;
    window::EditBoxId box;
    ui::NumberBounds bounds;
    const char* unit;
  } limited[] = {{"--pages", options.pages, 编辑框_页数, ui::kPageBounds, "pages per site"},
                 {"--timeout", options.timeout, 编辑框_时间, ui::kTimeoutBounds,
                  "seconds per request"}};
  for (const Limited& l : limited) {
    int used = textToInteger(w.text(l.box));
    if (l.asked && *l.asked != used) {
      err << "quenbo search: " << l.option << '=' << *l.asked << " is outside "
          << l.bounds.lowest << " to " << l.bounds.highest << "; using " << used << ' '
          << l.unit << '\n';
    }
  }
}

AppConfig commandConfig(const SearchOptions& options,
                        const std::filesystem::path& installDirectory, SiteSetup& sites) {
  AppConfig config{installDirectory, std::move(sites.workers), options.settingsFile};
  config.siteHasHost = sites.hasHost;
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

int runSearchCommand(std::span<const char* const> arguments,
                     const std::filesystem::path& installDirectory,
                     std::ostream& out, std::ostream& err, const std::atomic<bool>* interrupted,
                     bool progressLine, StopBell* interruptBell) {
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

  SiteSetup sites = setUpSites(installDirectory, options.hostsFile, options.newConnections);
  for (const auto& problem : sites.problems) err << "quenbo: " << problem << '\n';
  if (sites.hostsOptionUnreadable) return kExitUsage;

  window::HeadlessLoop loop;
  CommandLineInteractions interactions(err);
  Application application(loop, interactions, commandConfig(options, installDirectory, sites));
  window::WindowModel& w = application.mainWindow();
  loop.attach(w);
  application.create();
  core::SearchJob& job = application.job();
  bool finished = false;  // the command's thread is the UI thread
  job.onFinished([&finished] { finished = true; });

  announceClamped(w, options, err);
  int status = 0;
  const auto [ticked, withHost] = sitesTicked(w, job);
  if (ticked == 0) {
    err << "quenbo search: no site is ticked in the settings; name some with --sites\n";
    status = kExitCannotStart;
  } else if (withHost == 0) {
    err << "quenbo search: no ticked site has a host; set them in sites.hosts (quenbo "
           "check-sites lists the sites that have one)\n";
    status = kExitCannotStart;
  } else {
    const bool showProgress = progressLine && !options.log && !options.quiet;
    SearchProgress progress(withHost);
    const auto started = std::chrono::steady_clock::now();
    LogFollower log(w, [&](std::string_view added) {
      if (options.log) {
        std::string lines = gbkToUtf8(added);
        std::erase(lines, '\r');
        err << lines << std::flush;
      }
      if (showProgress) progress.addLog(added);
    });
    auto showLine = [&] {
      if (!showProgress) return;
      auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
          std::chrono::steady_clock::now() - started);
      err << progress.line(w.rowCount(超级列表框_磁力链接), elapsed) << std::flush;
    };
    w.setText(编辑框_搜索, utf8ToGbk(options.keyword));
    w.click(超级按钮_搜索);
    if (!job.running()) status = kExitCannotStart;  // refused, with a message already written
    auto stopWanted = [interrupted] { return interrupted && interrupted->load(); };
    // A worker that ends posts to the loop, which wakes it; so does a rung interrupt bell.
    // Every 100 ms the progress line is redrawn, --log lines are printed and, without a
    // bell, the interrupt flag is looked at; with none of these the loop sleeps until there
    // is work.
    std::optional<StopBell::Listener> wakeOnInterrupt;
    if (interruptBell) wakeOnInterrupt.emplace(*interruptBell, [&loop] { loop.post([] {}); });
    const auto step = showProgress || options.log || (interrupted && !interruptBell)
                          ? std::chrono::milliseconds(100)
                          : std::chrono::milliseconds(std::chrono::hours(1));
    // Nobody watches the status bar or the status tab: without the 100 ms step the monitor's
    // ticks would only wake the command, which ends the search itself once the last site is
    // done (below) or after a stop (the stop's own tick).
    if (step > std::chrono::milliseconds(100) && job.running()) w.setTimerInterval(时钟_线程, 0);
    while (status == 0 && !finished) {
      loop.runUntil([&] { return finished || stopWanted() || !job.anySiteRunning(); }, step,
                    step);
      log.flush();
      showLine();
      // Nobody watches the window: end the search as soon as the last site is done rather
      // than at the monitor's next tick.
      if (!finished && !job.anySiteRunning()) job.monitorTick();
      if (stopWanted() && !finished) {
        w.click(超级按钮_停止);
        loop.runUntil([&] { return finished; }, std::chrono::hours(1), std::chrono::hours(1));
        // The search ends without waiting for its workers; their closing log lines are
        // still worth printing when they come soon.
        loop.runUntil([&] { return job.liveWorkers() == 0; }, core::SearchJob::kShutdownGrace);
        status = kExitInterrupted;
      }
    }
    log.flush();
    if (showProgress) err << SearchProgress::clear() << std::flush;
  }
  if (options.summary && status != kExitCannotStart) {
    std::vector<SiteStatusRow> rows;
    for (const core::SiteReport& report : job.reports().snapshot()) rows.push_back(statusRow(report));
    writeSiteStatusTable(err, rows, false);
    err.flush();
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
