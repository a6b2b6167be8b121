// The program's own command line and the progress line of "quenbo search".
#include "app/program_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/board_command.h"
#include "app/check_sites_command.h"
#include "app/search_options.h"
#include "app/search_progress.h"
#include "app/update_command.h"
#include "base/encoding.h"
#include "settings/settings_handlers.h"
#include "core/site_table.h"
#include "sites/site_log.h"
#include "support/fixtures.h"

namespace quenbo::app {
namespace {

// Sets environment variables for one test and puts the old values back.
class Environment {
 public:
  void set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~Environment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
      it->second ? ::setenv(it->first, it->second->c_str(), 1) : ::unsetenv(it->first);
  }

 private:
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(ProgramOptions, HelpVersionAndAMissingDisplayEndBeforeAnyWindow) {
  Environment env;
  env.set("DISPLAY", nullptr);
  env.set("WAYLAND_DISPLAY", nullptr);
  env.set("QT_QPA_PLATFORM", nullptr);
  struct Case {
    std::vector<const char*> arguments;
    std::optional<int> status;
    std::string out, err;
  } cases[] = {
      {{"--help"}, 0, programUsage(), ""},
      {{"-h"}, 0, programUsage(), ""},
      {{"--hosts", "x", "--version"}, 0, std::string("quenbo ") + programVersion() + "\n", ""},
      {{}, 1, "", "quenbo: no display found; `quenbo search` works without one\n"},
      {{"--hosts=x"}, 1, "", "quenbo: no display found; `quenbo search` works without one\n"},
      {{"-platform", "offscreen"}, std::nullopt, "", ""},  // Qt is told where to draw
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(handleProgramOptions(c.arguments, out, err), c.status) << c.arguments.size();
    EXPECT_EQ(out.str(), c.out);
    EXPECT_EQ(err.str(), c.err);
  }
  env.set("WAYLAND_DISPLAY", "wayland-0");
  std::ostringstream out, err;
  EXPECT_EQ(handleProgramOptions({}, out, err), std::nullopt);
}

TEST(ProgramOptions, TheVersionIsTheBuildsAndTheUsageNamesEveryCommand) {
  EXPECT_STRNE(programVersion(), "unknown");
  std::string usage = programUsage();
  for (const char* part : {"quenbo search", "quenbo check-sites", "--hosts", "--help", "--version"})
    EXPECT_NE(usage.find(part), std::string::npos) << part;
}

TEST(SearchUsage, GivesTheRangesTheSettingsKeep) {
  std::string usage = searchUsage();
  auto range = [](settings::NumberBounds b) {
    return std::to_string(b.lowest) + " to " + std::to_string(b.highest);
  };
  EXPECT_NE(usage.find("per site, " + range(settings::kPageBounds)), std::string::npos) << usage;
  EXPECT_NE(usage.find("per request, " + range(settings::kTimeoutBounds)), std::string::npos);
  EXPECT_NE(usage.find("--quiet"), std::string::npos);
}

TEST(ShellCompletion, OffersEverySiteLabelAndEverySearchOption) {
  std::string script = testing::readWholeFile(QUENBO_DATA_DIR "/quenbo.bash-completion");
  std::size_t start = script.find("_quenbo_sites=\"") + 15;
  std::istringstream listed(script.substr(start, script.find('"', start) - start));
  std::set<std::string> offered{std::istream_iterator<std::string>(listed), {}};
  std::set<std::string> labels;
  for (const auto& site : core::kSites) labels.insert(std::string(site.label));
  EXPECT_EQ(offered, labels);
  struct Offered {
    const char* option;
    const char* usage;  // the usage that documents it
  };
  for (const Offered& o : {Offered{"--sites=", searchUsage()}, {"--pages=", searchUsage()},
                           {"--timeout=", searchUsage()}, {"--hosts=", searchUsage()},
                           {"--settings=", searchUsage()}, {"--format=", searchUsage()},
                           {"--sort=", searchUsage()}, {"--export=", searchUsage()},
                           {"--log", searchUsage()}, {"--quiet", searchUsage()},
                           {"--help", searchUsage()}, {"board", programUsage()},
                           {"update", programUsage()}, {"--check", updateUsage()},
                           {"--restart", updateUsage()}, {"--format=", boardUsage()},
                           {"--summary", searchUsage()}, {"check-sites", programUsage()},
                           {"--keyword=", checkSitesUsage()}, {"--sites=", checkSitesUsage()},
                           {"--format=", checkSitesUsage()}}) {
    std::string_view name =
        std::string_view(o.option).substr(0, std::string_view(o.option).find('='));
    EXPECT_NE(std::string(o.usage).find(name), std::string::npos) << o.option;
    EXPECT_NE(script.find(o.option), std::string::npos) << o.option;
  }
}

TEST(SearchProgress, CountsPageAndClosingLinesEvenWhenSplitMidLine) {
  auto line = [](const char* label, const Text& message) {
    return sites::siteLogLine("2026-12-09 10:00:00 ", utf8ToGbk(label), message);
  };
  std::string log = line("Btdad", sites::SiteLogMessages::page(1)) +
                    line("章鱼搜索", sites::SiteLogMessages::page(1)) +
                    line("Btdad", sites::SiteLogMessages::page(2)) +
                    line("Btdad", sites::SiteLogMessages::noData()) +
                    line("Btdad", sites::SiteLogMessages::finished()) +
                    line("章鱼搜索", sites::SiteLogMessages::finished());
  SearchProgress progress(3);
  // Handed over in pieces that cut lines (and a GBK character) in two.
  for (std::size_t at = 0; at < log.size(); at += 7) progress.addLog(log.substr(at, 7));
  EXPECT_EQ(progress.pagesFetched(), 3);
  EXPECT_EQ(progress.sitesDone(), 2);
  EXPECT_EQ(progress.line(17, std::chrono::milliseconds(4240)),
            "\r2/3 sites done, 3 pages, 17 hits, 4.2 s\033[K");
}

}  // namespace
}  // namespace quenbo::app
