// The hosts of the search sites: configuration, never code. They are read from hosts files
// in INI syntax (UTF-8): [sites] holds one key per site label, [apis] the two shared JSON
// search APIs A and B, [markers] the hosts two sites write into their own markup, [board]
// the host of the film board page, [service] the update service, [network] how page requests
// use their connections. Files read later win key by key. A site's or API's value may list
// mirrors, separated by ",": a run tries them in order (see site_mirrors.h).
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/files.h"
#include "base/text.h"
#include "sites/hosts_files.h"
#include "sites/site_catalogue.h"

namespace quenbo {
class IniFile;
}

namespace quenbo::sites {

// The file shipped with the program, the user's own (beside the executable or in the
// configuration directory), and the option that names one more.
inline constexpr std::string_view kHostsFileName = "sites.hosts";
inline constexpr std::string_view kLocalHostsFileName = "sites.hosts.local";
inline constexpr std::string_view kHostsOption = "--hosts";

// What is wrong with one value of a hosts file, as the reader judges it: "" when it is fine
// (empty included: the key switches its site off), else one UTF-8 sentence for the user.
// `withScheme`: each host may start with http:// or https:// (a bare one is taken as https);
// otherwise host, host:port, [v6] or [v6]:port without scheme or slash. `severalAllowed`:
// the value may list mirrors separated by "," ([sites] and [apis]); [markers], [board] and
// [service] hold one host.
std::string hostValueProblem(std::string_view value, bool withScheme, bool severalAllowed = true);

// Why the hosts file at `path` could not be read, one UTF-8 line for the user.
std::string hostsFileProblem(const std::filesystem::path& path, ReadRefusal refusal);

// The parts of a value that lists mirrors, blanks around each trimmed, empty parts left out.
std::vector<Text> splitHostList(std::string_view value);

class SiteHosts final {
 public:
  // Takes every key the text holds, replacing what was read before; a key with an empty
  // value switches its site off. A value that is not a host (a scheme where none belongs, a
  // path, blanks) is refused: the site is switched off and a problem is noted.
  void read(std::string_view fileText);
  // As read, from a file; false (and a problem noted) when it cannot be read.
  bool readFile(const std::filesystem::path& path);

  // Reads the files in order. A file that is not required is read only when something is
  // there; one that is required and cannot be read is a problem, and so is anything other
  // than a regular file of at most 4 MiB in a file's place (named with its reason). A value
  // is read whole, however long.
  static SiteHosts load(const std::vector<HostsFile>& files);
  // The running program's files (hostsFileOrder) for an executable in `directory`, then
  // `extraFile` when not empty.
  static SiteHosts load(const std::filesystem::path& directory,
                        const std::filesystem::path& extraFile = {});

  // The host of the site at catalogue index `index`: its [sites] key, or its API's host, as
  // the file wrote it (mirrors and all). Skrbt's host carries its scheme. Empty when the site
  // is not to be requested.
  const Text& host(int index) const;
  // Its hosts in the order a run tries them: one, or its mirrors; none when not requested.
  std::vector<Text> hosts(int index) const;
  // Scheme and first host, ready for the path; empty when there is no host.
  Text baseUrl(int index) const;
  // Scheme and `host` (one of hosts(index)) for the site.
  Text baseUrl(int index, const Text& host) const;
  // The host the site writes into its own links, or its own first host when none is set.
  Text markerHost(int index) const;
  // The same for pages that came from `host`, one of hosts(index).
  Text markerHost(int index, const Text& host) const;
  // The update service's scheme and host from [service] update; empty: no service.
  const Text& updateService() const { return updateService_; }

  // The host (host or host:port) of the film board page; empty: no board is fetched.
  const Text& boardHost() const { return board_; }

  // [network] reuse: 1 (the default) keeps one connection per site run from page to page,
  // 0 opens a new connection for every page.
  bool reuseConnections() const { return reuseConnections_; }
  void setReuseConnections(bool reuse) { reuseConnections_ = reuse; }

  // What was refused or could not be read, one UTF-8 line each, for the user.
  const std::vector<std::string>& problems() const { return problems_; }

 private:
  // Stores `value` at `slot` when the file holds the key; refuses what is not a host.
  void take(const IniFile& file, std::string_view section, std::string_view key, bool withScheme,
            bool severalAllowed, Text& slot);

  std::array<Text, core::kSiteCount> sites_{};
  std::array<Text, core::kSiteCount> markers_{};
  Text apiA_, apiB_;
  Text board_;
  Text updateService_;
  bool reuseConnections_ = true;
  std::vector<std::string> problems_;
};

}  // namespace quenbo::sites
