// "quenbo check-sites": page 1 of each chosen site, fetched and judged as a search would,
// one row per site.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <span>

namespace quenbo::app {

// Every site with a host is ok.
inline constexpr int kExitSitesOk = 0;
// A site with a host is not ok, or no chosen site has a host.
inline constexpr int kExitSitesFailing = 3;

// `arguments` are those after "check-sites". The sites are checked at the same time, each
// on a thread of its own; the rows come in catalogue order. Returns kExitSitesOk,
// kExitSitesFailing, or 2 for a bad command line or an unreadable --hosts file.
int runCheckSitesCommand(std::span<const char* const> arguments,
                         const std::filesystem::path& installDirectory, std::ostream& out,
                         std::ostream& err);

const char* checkSitesUsage();

}  // namespace quenbo::app
