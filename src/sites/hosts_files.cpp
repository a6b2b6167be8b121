#include "sites/hosts_files.h"

#include "sites/site_hosts.h"

namespace quenbo::sites {

std::vector<HostsFile> hostsFileOrder(const ProgramFiles& program,
                                      const std::filesystem::path& systemConfig,
                                      const std::filesystem::path& userConfig,
                                      const std::filesystem::path& optionFile) {
  std::vector<HostsFile> files{{program.dataDirectory / kHostsFileName, true}};
  if (!program.installed) files.push_back({program.executableDirectory / kLocalHostsFileName});
  if (!systemConfig.empty()) files.push_back({systemConfig / kHostsFileName});
  if (!userConfig.empty()) files.push_back({userConfig / "quenbo" / kLocalHostsFileName});
  if (!optionFile.empty()) files.push_back({optionFile, true});
  return files;
}

std::vector<HostsFile> hostsFileOrder(const std::filesystem::path& executableDirectory,
                                      const std::filesystem::path& optionFile) {
  return hostsFileOrder(locateProgramFiles(executableDirectory), systemConfigDirectory(),
                        userConfigDirectory(), optionFile);
}

}  // namespace quenbo::sites
