// The search sites of the running program: its hosts files (see hostsFileOrder) and the
// one named on the command line, made into the workers the search job starts.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/text.h"
#include "core/search.h"

namespace quenbo::sites {
class SiteDirectory;
}

namespace quenbo::app {

struct SiteSetup {
  std::array<core::SiteWorker, core::kSiteCount> workers;
  // The hosts the workers use; replace its hosts and the next search uses the new ones.
  std::shared_ptr<sites::SiteDirectory> directory;
  // Asks the directory; for AppConfig::siteHasHost.
  std::function<bool(int site)> hasHost;
  std::vector<std::string> problems;  // hosts refused or files not read, UTF-8 lines
  Text boardHost;                     // the film board's host; empty: no board
  Text updateService;                 // scheme and host of the update service; empty: none
  // The file named by --hosts could not be read: the command line stops, the window says so.
  bool hostsOptionUnreadable = false;
};

// Reads the hosts files of the program whose executable is in `executableDirectory`, then
// `hostsFile` when it is not empty. `newConnections` overrides their [network] reuse: every
// page opens a connection of its own.
SiteSetup setUpSites(const std::filesystem::path& executableDirectory,
                     const std::filesystem::path& hostsFile = {}, bool newConnections = false);

// The file named by "--hosts FILE" or "--hosts=FILE" (the last one given), as given (native
// bytes); empty when there is none.
std::filesystem::path hostsFileOption(std::span<const char* const> arguments);

}  // namespace quenbo::app
