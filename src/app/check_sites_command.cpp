#include "app/check_sites_command.h"

#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "app/command_line.h"
#include "app/search_command.h"
#include "app/site_setup.h"
#include "app/site_status_table.h"
#include "base/encoding.h"
#include "core/site_table.h"
#include "sites/site_check.h"
#include "sites/site_directory.h"

namespace quenbo::app {

const char* checkSitesUsage() {
  return "usage: quenbo check-sites [options]\n"
         "Fetches page 1 of each site as a search would, and prints one line per site:\n"
         "label, host, verdict, status, milliseconds and hits, tab-separated. The verdict is\n"
         "ok, 无结果, 未配置主机, unreachable, HTTP error, 页面结构可能已改变 or JSON解析失败.\n"
         "A site whose host lists mirrors (a,b) is asked on the next when one fails.\n"
         "  --sites=A,B      these sites (labels as on the settings tab); default: every\n"
         "                   site with a host\n"
         "  --keyword=K      the keyword to search for; default: linux\n"
         "  --timeout=S      seconds per request, 1 to 60; default: 10\n"
         "  --hosts=FILE     a hosts file read after the program's own; its keys win\n"
         "  --format=F       tsv (default) or json: an array of objects\n"
         "  --help, -h       this text\n"
         "Exit status: 0 when every checked site with a host is ok, 3 when one is not or\n"
         "none has a host, 2 for a bad command line or an unreadable --hosts file.\n";
}

int runCheckSitesCommand(std::span<const char* const> arguments,
                         const std::filesystem::path& installDirectory, std::ostream& out,
                         std::ostream& err) {
  Parsed<CheckSitesOptions> parsed = parseCheckSitesOptions(arguments);
  if (!parsed.error.empty()) {
    writeUsageError(err, "check-sites", parsed.error);
    return kExitUsage;
  }
  CheckSitesOptions& options = parsed.options;
  if (options.help) {
    out << checkSitesUsage();
    return 0;
  }
  if (std::string why = keywordProblem("check-sites", options.keyword); !why.empty()) {
    err << why;
    return kExitUsage;
  }
  SiteSetup setup = setUpSites(installDirectory, options.hostsFile);
  for (const auto& problem : setup.problems) err << "quenbo: " << problem << '\n';
  if (setup.hostsOptionUnreadable) return kExitUsage;
  const sites::SiteHosts hosts = setup.directory->hosts();
  if (options.sites.empty()) {
    for (int site = 0; site < core::kSiteCount; ++site) {
      if (setup.directory->hasHost(site)) options.sites.push_back(site);
    }
  }

  std::vector<sites::SiteCheck> checks(options.sites.size());
  const Text keyword = utf8ToGbk(options.keyword);
  {
    std::vector<std::jthread> threads;
    for (std::size_t i = 0; i < options.sites.size(); ++i) {
      // Each thread writes its own element only.
      threads.emplace_back([&, i] {
        checks[i] = sites::checkSite(hosts, options.sites[i], keyword, options.timeout);
      });
    }
  }
  std::vector<SiteStatusRow> rows;
  bool allOk = true, anyHost = false;
  for (const sites::SiteCheck& check : checks) {
    rows.push_back(statusRow(check));
    if (check.verdict == core::SiteState::noHost) continue;
    anyHost = true;
    allOk = allOk && check.verdict == core::SiteState::done;
  }
  writeSiteStatusTable(out, rows, options.json);
  if (!out.flush()) {
    err << "quenbo check-sites: cannot write the table to standard output\n";
    return kExitSitesFailing;
  }
  if (!anyHost) {
    err << "quenbo check-sites: no checked site has a host; set them in sites.hosts\n";
    return kExitSitesFailing;
  }
  return allOk ? kExitSitesOk : kExitSitesFailing;
}

}  // namespace quenbo::app
