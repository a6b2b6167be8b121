// A local stand-in for the 26 search sites: every HTML site and each of Ciliwang and 磁小鸭 on
// a server of its own on 127.0.0.1, the seven sites of the two shared JSON search APIs on two
// more servers, which tell their sites apart by the "source" parameter, and the film board
// (its page and posters) on one more. Pages are generated
// from (site, keyword, page, item); tests can ask what a page holds, see every request, and
// switch latency, server errors and dead sites at run time.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "site_simulator/site_content.h"

namespace quenbo::testing {
struct RecordedRequest;
class ServerConnection;
class HttpTestServer;
}  // namespace quenbo::testing

namespace quenbo::simulator {

// How one site answers. Can be changed while the servers run.
struct SiteBehaviour {
  int pages = 3;     // result pages per keyword; every later page is empty
  int perPage = 10;  // results on each of those pages
  int latencyMs = 0;  // wait before every answer
  bool serverError = false;  // HTTP 500 with an HTML error page
  bool dead = false;         // the connection is reset instead of answered
  bool htmlInsteadOfJson = false;  // JSON sites: an HTML page with status 200
  bool jsonWithoutList = false;    // JSON sites: a valid answer without its item list
  // A valid page of the same results in markup the program does not know (a JSON site: its
  // list under another name): nothing is cut, but hashes and magnet links remain.
  bool layoutChanged = false;
};

struct SimulatorOptions {
  SiteBehaviour behaviour;  // every site's behaviour at start
  bool skrbtOverTls = false;  // Skrbt's scheme is configurable; plain HTTP by default
  int roundTripMs = 0;  // the network round trip every server charges (HttpTestServer)
};

// One request as a site saw it. For a target that fits none of the host's URL patterns the
// site is the one the host serves (or empty on a shared API host) and `matched` is false.
struct SimulatedRequest {
  std::string site;    // label, UTF-8
  std::string target;  // path and query as received
  std::string path, query;  // the target split at its first "?"
  std::chrono::steady_clock::time_point received;
  bool matched = false;
  std::string keyword;    // decoded from the URL
  int page = 0;
  std::string timestamp;  // the "_" parameter of Ciliwang and 磁小鸭
};

struct ServerInfo {
  std::string name;  // the site label, or "A" / "B" for the shared APIs
  std::string url;   // scheme, host and port
};

class SiteSimulator final {
 public:
  explicit SiteSimulator(SimulatorOptions options = {});
  ~SiteSimulator();
  SiteSimulator(const SiteSimulator&) = delete;
  SiteSimulator& operator=(const SiteSimulator&) = delete;

  // Whether every server is listening.
  bool running() const;

  // The 26 labels in catalogue order (UTF-8).
  static std::vector<std::string> siteLabels();
  // The label as spelled in the catalogue for a name given in any ASCII case; empty if none.
  static std::string canonicalLabel(std::string_view name);

  // "127.0.0.1:<port>" of the server that answers for the site; empty for an unknown label.
  std::string host(std::string_view label) const;
  // Scheme plus host.
  std::string baseUrl(std::string_view label) const;
  // The host Btsow and Monova write into their own markup.
  std::string markerHost(std::string_view label) const;
  std::vector<ServerInfo> servers() const;
  // "127.0.0.1:<port>" of the film board, served over HTTPS: /board and the posters.
  std::string boardHost() const;
  // The requests the board server received, headers included, oldest first.
  std::vector<testing::RecordedRequest> boardRequests() const;

  // The hosts file that points every site at this simulator. With `deadMirrorFirst` every
  // site and API lists deadHost() first and its server second, as mirrors.
  std::string hostsFileText(bool deadMirrorFirst = false) const;
  bool writeHostsFile(const std::string& path, bool deadMirrorFirst = false) const;
  // "127.0.0.1:<port>" of a port kept bound but never listening: connections are refused.
  std::string deadHost() const;

  // Every server's round trip from now on: one for a new connection, one or two more for a
  // TLS handshake (resumed or not), one per request on top of its latency.
  void setRoundTrip(std::chrono::milliseconds roundTrip);

  void setBehaviour(std::string_view label, const SiteBehaviour& behaviour);
  void setBehaviourForAll(const SiteBehaviour& behaviour);
  SiteBehaviour behaviour(std::string_view label) const;

  // What the site shows on that page for that keyword (UTF-8), under its current behaviour;
  // empty past the last page.
  std::vector<SimulatedItem> itemsOnPage(std::string_view label, std::string_view keyword,
                                         int page) const;

  // The requests a site received, oldest first; all sites when `label` is empty.
  std::vector<SimulatedRequest> requests(std::string_view label = {}) const;
  void clearRequests();

 private:
  struct HostGroup;
  // Runs on the connection's thread of the group's server.
  void answer(std::size_t group, const testing::RecordedRequest& request,
              testing::ServerConnection& connection);
  std::vector<SimulatedItem> pageItems(int site, std::string_view keyword, int page,
                                       const SiteBehaviour& behaviour) const;
  const HostGroup* groupOf(int site) const;

  SimulatorOptions options_;
  mutable std::mutex mutex_;  // guards behaviours_, requests_ and hosts_; held only briefly
  std::vector<SiteBehaviour> behaviours_;  // by catalogue index
  std::vector<SimulatedRequest> requests_;
  std::vector<std::string> hosts_;  // "127.0.0.1:<port>" by group, set once all servers listen
  std::unique_ptr<testing::HttpTestServer> board_;  // answers from static content only
  int deadSocket_ = -1;  // bound, never listening; owned, closed by the destructor
  // Last member, so its servers (whose threads call answer) stop before the rest goes.
  std::vector<std::unique_ptr<HostGroup>> groups_;
};

}  // namespace quenbo::simulator
