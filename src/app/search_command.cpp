#include "app/search_command.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/result_output.h"
#include "app/search_options.h"
#include "app/search_progress.h"
#include "app/site_setup.h"
#include "app/site_status_table.h"
#include "base/encoding.h"
#include "base/files.h"
#include "core/run_loop.h"
#include "core/search.h"
#include "settings/settings_location.h"
#include "settings/stored_settings.h"
#include "ui/text_export.h"

namespace quenbo::app {
namespace {

using namespace std::chrono_literals;

// What the command line shows of a search: the log as it comes, the number of listed rows,
// and whether it has finished.
class CommandLineEvents final : public core::SearchEvents {
 public:
  void hitListed(const core::ResultRow&, int index) override { listed_ = index + 1; }
  void listRebuilt(const std::vector<core::ResultRow>& rows) override {
    listed_ = static_cast<int>(rows.size());
  }
  void progress(const core::SearchProgress&) override {}
  void logLine(const Text& line) override {
    std::lock_guard lock(mutex_);
    log_ += line;
  }
  void finished(const core::SearchSummary&) override { finished_ = true; }

  bool finished() const { return finished_; }  // the loop's thread
  int listed() const { return listed_; }
  // The log's GBK text added since the last call.
  std::string takeLog() {
    std::lock_guard lock(mutex_);
    return std::exchange(log_, {});
  }

 private:
  std::atomic<int> listed_{0};
  bool finished_ = false;
  std::mutex mutex_;  // guards log_
  std::string log_;
};

// The search the options ask for, on top of the settings file: the bounds of the page-limit
// and time-out boxes apply, and a value they change is announced.
core::SearchRequest commandRequest(const SearchOptions& options, const std::filesystem::path& settingsFile,
                                   std::ostream& err) {
  const settings::StoredSettings stored =
      settings::readStoredSettings(IniFile(readFile(settingsFile).value_or(Bytes())));
  struct Limited {
    const char* option;
    std::optional<int> asked;
    int stored;
    settings::NumberBounds bounds;
    const char* unit;
  };
  auto bounded = [&err](const Limited& l) {
    int used = l.bounds.clamp(l.asked.value_or(l.stored));
    if (l.asked && *l.asked != used) {
      err << "quenbo search: " << l.option << '=' << *l.asked << " is outside " << l.bounds.lowest
          << " to " << l.bounds.highest << "; using " << used << ' ' << l.unit << '\n';
    }
    return used;
  };
  core::SearchRequest request;
  request.keyword = utf8ToGbk(options.keyword);
  request.pageLimit =
      bounded({"--pages", options.pages, stored.pages, settings::kPageBounds, "pages per site"});
  request.timeoutSeconds = bounded(
      {"--timeout", options.timeout, stored.timeout, settings::kTimeoutBounds, "seconds per request"});
  request.sites = stored.sites;
  if (!options.sites.empty()) {
    request.sites = {};
    for (int site : options.sites) request.sites[static_cast<std::size_t>(site)] = true;
  }
  request.filter = settings::storedFilter(stored);
  request.filter.keyword = request.keyword;
  // Nobody watches between hits: the search ends as soon as its last site has.
  request.pacing.monitorEvery = 0ms;
  request.pacing.finishWhenLastSiteEnds = true;
  return request;
}

// Why the search cannot start, as the window would say it; empty when it can.
std::string refusal(const core::SearchRequest& request, const core::SearchEngine& engine) {
  int ticked = 0, withHost = 0;
  for (int i = 0; i < core::kSiteCount; ++i) {
    if (!request.sites[static_cast<std::size_t>(i)]) continue;
    ++ticked;
    withHost += engine.hasHost(i) ? 1 : 0;
  }
  if (ticked == 0) return "quenbo search: no site is ticked in the settings; name some with --sites\n";
  if (withHost == 0) {
    return "quenbo search: no ticked site has a host; set them in sites.hosts (quenbo "
           "check-sites lists the sites that have one)\n";
  }
  if (request.keyword.empty()) return "quenbo: " + gbkToUtf8("搜索内容不能为空"_gbk) + '\n';
  return {};
}

// When every site that ran failed without a hit: one line naming each with its reason, as
// the site status tells it. Empty when a site answered (with hits or none) or none ran.
std::string nothingSearched(const std::vector<core::SiteReport>& sites) {
  std::string reasons;
  for (const core::SiteReport& site : sites) {
    if (site.state == core::SiteState::noHost) continue;
    if (!core::isFailure(site.state) || site.hitsFound > 0) return {};
    const SiteStatusRow row = statusRow(site);
    reasons += (reasons.empty() ? "" : "; ") + row.label + ": " +
               withoutControls(row.status.empty() ? row.verdict : row.status);
  }
  if (reasons.empty()) return {};
  return "quenbo search: no site could be searched (" + reasons +
         "); quenbo check-sites tells which hosts answer\n";
}

struct Watch {
  const SearchOptions& options;
  std::ostream& err;
  const std::atomic<bool>* interrupted;
  StopBell* interruptBell;
  bool showProgress;
};

// Runs the search to its end, or until it is interrupted; kExitInterrupted then, else 0.
int watchSearch(core::Search& search, core::RunLoop& loop, CommandLineEvents& events,
                const Watch& watch) {
  int sitesWithHost = 0;
  for (const core::SiteReport& report : search.reports().snapshot()) {
    sitesWithHost += report.state == core::SiteState::noHost ? 0 : 1;
  }
  SearchProgress progress(sitesWithHost);
  const auto started = std::chrono::steady_clock::now();
  auto showLog = [&] {
    std::string added = events.takeLog();
    if (added.empty()) return;
    if (watch.options.log) {
      std::string lines = gbkToUtf8(added);
      std::erase(lines, '\r');
      watch.err << lines << std::flush;
    }
    if (watch.showProgress) progress.addLog(added);
  };
  auto showLine = [&] {
    if (!watch.showProgress) return;
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    watch.err << progress.line(events.listed(), elapsed) << std::flush;
  };
  auto stopWanted = [&] { return watch.interrupted && watch.interrupted->load(); };
  // The search's end posts to the loop, which wakes it; so does a rung interrupt bell. Every
  // 100 ms the progress line is redrawn, --log lines are printed and, without a bell, the
  // interrupt flag is looked at; with none of these the loop sleeps until there is work.
  std::optional<StopBell::Listener> wakeOnInterrupt;
  if (watch.interruptBell) wakeOnInterrupt.emplace(*watch.interruptBell, [&loop] { loop.post([] {}); });
  const auto step = watch.showProgress || watch.options.log || (watch.interrupted && !watch.interruptBell)
                        ? std::chrono::milliseconds(100)
                        : std::chrono::milliseconds(std::chrono::hours(1));
  int status = 0;
  while (!events.finished()) {
    loop.runUntil([&] { return events.finished() || stopWanted(); }, step, step);
    showLog();
    showLine();
    if (stopWanted() && !events.finished()) {
      search.stop();
      loop.runUntil([&] { return events.finished(); }, std::chrono::hours(1), std::chrono::hours(1));
      // The search ends without waiting for its workers; their closing log lines are still
      // worth printing when they come soon.
      loop.runUntil([&] { return search.liveWorkers() == 0; }, 400ms);
      status = kExitInterrupted;
    }
  }
  // A site has ended once its running flag is gone; its final state and closing line follow
  // at once, and the exit status is read from them.
  if (status == 0) loop.runUntil([&] { return search.liveWorkers() == 0; }, 2s, 2ms);
  showLog();
  if (watch.showProgress) watch.err << SearchProgress::clear() << std::flush;
  return status;
}

// Prints the hits and writes the export; the status to end with.
int printResults(core::Search& search, const SearchOptions& options, std::ostream& out,
                 std::ostream& err, int status) {
  if (options.sort) search.sort(*options.sort);
  const std::vector<core::ResultRow> rows = search.store().rows();
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
  return status;
}

}  // namespace

// The program's texts are GBK: a character GBK cannot hold would reach the sites as "?".
std::string keywordProblem(std::string_view command, const std::string& keyword) {
  const std::string outside = outsideGbk(keyword);
  if (outside.empty()) return {};
  return "quenbo " + std::string(command) + ": the keyword holds characters GBK cannot hold (" +
         outside + "); the program keeps its texts in GBK and would search for \"?\" instead. "
         "Leave them out or write the words another way.\n";
}

int runSearchCommand(std::span<const char* const> arguments,
                     const std::filesystem::path& installDirectory, std::ostream& out,
                     std::ostream& err, const std::atomic<bool>* interrupted, bool progressLine,
                     StopBell* interruptBell) {
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
  if (std::string why = keywordProblem("search", options.keyword); !why.empty()) {
    err << why;
    return kExitUsage;
  }

  SiteSetup sites = setUpSites(installDirectory, options.hostsFile, options.newConnections);
  for (const auto& problem : sites.problems) err << "quenbo: " << problem << '\n';
  if (sites.hostsOptionUnreadable) return kExitUsage;

  const std::filesystem::path settingsFile = options.settingsFile.empty()
                                                 ? settings::settingsFilePath(installDirectory)
                                                 : std::filesystem::path(options.settingsFile);
  core::SearchEngine engine(std::move(sites.workers), sites.hasHost);
  core::SearchRequest request = commandRequest(options, settingsFile, err);
  if (std::string why = refusal(request, engine); !why.empty()) {
    err << why;
    return kExitCannotStart;
  }

  core::RunLoop loop;
  CommandLineEvents events;
  std::unique_ptr<core::Search> search = engine.newSearch(std::move(request), loop, events);
  search->start();
  const bool showProgress = progressLine && !options.log && !options.quiet;
  int status = watchSearch(*search, loop, events,
                           {options, err, interrupted, interruptBell, showProgress});
  if (options.summary) {
    std::vector<SiteStatusRow> rows;
    for (const core::SiteReport& report : search->reports().snapshot()) rows.push_back(statusRow(report));
    writeSiteStatusTable(err, rows, false);
    err.flush();
  }
  const std::string failedAll =
      status == 0 ? nothingSearched(search->reports().snapshot()) : std::string();
  err << failedAll;
  status = printResults(*search, options, out, err, status);
  return status == 0 && !failedAll.empty() ? kExitNothingSearched : status;
}

}  // namespace quenbo::app
