// Hosts saved while the program runs (the hosts editor) reach the next search.
#pragma once

#include <filesystem>

#include "app/site_setup.h"

namespace quenbo::app {

// Reads the hosts files again (hostsFileOrder, then `hostsFile`) into the site directory of
// `sites`; runs that start from now on use them, running ones keep theirs. Returns the
// problems of the new reading (UTF-8 lines).
std::vector<std::string> reloadHosts(SiteSetup& sites,
                                     const std::filesystem::path& executableDirectory,
                                     const std::filesystem::path& hostsFile);

}  // namespace quenbo::app
