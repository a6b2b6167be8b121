#include "site_simulator/site_simulator.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>

#include "base/encoding.h"
#include "site_simulator/board_page.h"
#include "site_simulator/redesigned_page.h"
#include "site_simulator/site_template.h"
#include "site_simulator/url_pattern.h"
#include "http_server/http_test_server.h"

namespace quenbo::simulator {

using testing::HttpTestServer;
using testing::RecordedRequest;
using testing::ServerConnection;

struct SiteSimulator::HostGroup {
  std::string name;        // site label, or "A" / "B"
  bool tls = false;
  std::vector<int> sites;  // catalogue indexes answered here
  std::unique_ptr<HttpTestServer> server;
};

namespace {

constexpr std::string_view kServerErrorPage =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>500 Internal Server Error</title>"
    "</head><body><h1>500 Internal Server Error</h1><p>服务器内部错误，请稍后再试。</p></body></html>\n";
constexpr std::string_view kNotFoundPage =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>404 Not Found</title></head>"
    "<body><h1>404 Not Found</h1><p>页面不存在。</p></body></html>\n";
// What a JSON API sends when a protection page stands in front of it.
constexpr std::string_view kCheckingBrowserPage =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>请稍候…</title></head>"
    "<body><h1>正在检查您的浏览器</h1><p>请稍候，页面将自动跳转。</p></body></html>\n";

bool equalFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

int indexOfLabel(std::string_view name) {
  const auto& sites = siteTemplates();
  for (std::size_t i = 0; i < sites.size(); ++i) {
    if (equalFolded(sites[i].label, name)) return static_cast<int>(i);
  }
  return -1;
}

bool isGbkCharset(std::string_view charset) {
  return equalFolded(charset, "gbk") || equalFolded(charset, "gb2312");
}

// The board page and its posters. Poster URLs name the host the page was asked for.
void answerBoard(const RecordedRequest& request, ServerConnection& connection) {
  if (request.target == "/board") {
    std::string host = request.header("Host");
    connection.reply(200, "OK", {{"Content-Type", "text/html; charset=utf-8"}},
                     boardPage("https://" + host));
    return;
  }
  for (int n = 1; n <= static_cast<int>(boardEntries().size()); ++n) {
    if (request.target != posterPath(n)) continue;
    connection.reply(200, "OK", {{"Content-Type", n % 2 == 1 ? "image/png" : "image/jpeg"}},
                     posterPicture(n));
    return;
  }
  connection.reply(404, "Not Found", {{"Content-Type", "text/html; charset=utf-8"}},
                   kNotFoundPage);
}

}  // namespace

SiteSimulator::SiteSimulator(SimulatorOptions options) : options_(std::move(options)) {
  const auto& sites = siteTemplates();
  behaviours_.assign(sites.size(), options_.behaviour);
  auto apiA = std::make_unique<HostGroup>();
  auto apiB = std::make_unique<HostGroup>();
  apiA->name = "A";
  apiB->name = "B";
  for (const SiteTemplate& site : sites) {
    if (site.host == SiteHost::own) {
      auto group = std::make_unique<HostGroup>();
      group->name = std::string(site.label);
      group->tls = site.label == "Skrbt" ? options_.skrbtOverTls : site.tls;
      group->sites.push_back(site.index);
      groups_.push_back(std::move(group));
    } else {
      HostGroup& api = site.host == SiteHost::apiA ? *apiA : *apiB;
      api.tls = site.tls;
      api.sites.push_back(site.index);
    }
  }
  groups_.push_back(std::move(apiA));
  groups_.push_back(std::move(apiB));

  board_ = std::make_unique<HttpTestServer>(&answerBoard, HttpTestServer::Mode::tls);
  std::vector<std::string> hosts;
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    auto handler = [this, g](const RecordedRequest& request, ServerConnection& connection) {
      answer(g, request, connection);
    };
    groups_[g]->server = std::make_unique<HttpTestServer>(
        handler, groups_[g]->tls ? HttpTestServer::Mode::tls : HttpTestServer::Mode::plain);
    hosts.push_back(groups_[g]->server->hostAndPort());
  }
  setRoundTrip(std::chrono::milliseconds(options_.roundTripMs));
  std::lock_guard lock(mutex_);
  hosts_ = std::move(hosts);
  // Bound so that no other program takes the port, but never listening: refused.
  deadSocket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (deadSocket_ >= 0 &&
      ::bind(deadSocket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(deadSocket_);
    deadSocket_ = -1;
  }
}

std::string SiteSimulator::deadHost() const {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (deadSocket_ < 0 ||
      ::getsockname(deadSocket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return {};
  }
  return "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}

void SiteSimulator::setRoundTrip(std::chrono::milliseconds roundTrip) {
  board_->setRoundTrip(roundTrip);
  for (auto& group : groups_) group->server->setRoundTrip(roundTrip);
}

SiteSimulator::~SiteSimulator() {
  if (deadSocket_ >= 0) ::close(deadSocket_);
  board_.reset();
  for (auto& group : groups_) group->server.reset();
}

bool SiteSimulator::running() const {
  for (const auto& group : groups_) {
    if (!group->server || group->server->port() == 0) return false;
  }
  return board_ && board_->port() != 0;
}

std::vector<std::string> SiteSimulator::siteLabels() {
  std::vector<std::string> labels;
  for (const SiteTemplate& site : siteTemplates()) labels.emplace_back(site.label);
  return labels;
}

std::string SiteSimulator::canonicalLabel(std::string_view name) {
  int index = indexOfLabel(name);
  return index < 0 ? std::string() : std::string(siteTemplates()[index].label);
}

const SiteSimulator::HostGroup* SiteSimulator::groupOf(int site) const {
  for (const auto& group : groups_) {
    for (int member : group->sites) {
      if (member == site) return group.get();
    }
  }
  return nullptr;
}

std::string SiteSimulator::host(std::string_view label) const {
  const HostGroup* group = groupOf(indexOfLabel(label));
  return group != nullptr && group->server ? group->server->hostAndPort() : std::string();
}

std::string SiteSimulator::baseUrl(std::string_view label) const {
  const HostGroup* group = groupOf(indexOfLabel(label));
  if (group == nullptr) return std::string();
  return (group->tls ? "https://" : "http://") + host(label);
}

std::string SiteSimulator::markerHost(std::string_view label) const { return host(label); }

std::vector<ServerInfo> SiteSimulator::servers() const {
  std::vector<ServerInfo> out;
  for (const auto& group : groups_) {
    out.push_back({group->name, (group->tls ? "https://" : "http://") + group->server->hostAndPort()});
  }
  out.push_back({"board", "https://" + boardHost()});
  return out;
}

std::string SiteSimulator::boardHost() const { return board_->hostAndPort(); }

std::vector<RecordedRequest> SiteSimulator::boardRequests() const { return board_->requests(); }

void SiteSimulator::setBehaviour(std::string_view label, const SiteBehaviour& behaviour) {
  int index = indexOfLabel(label);
  if (index < 0) return;
  std::lock_guard lock(mutex_);
  behaviours_[index] = behaviour;
}

void SiteSimulator::setBehaviourForAll(const SiteBehaviour& behaviour) {
  std::lock_guard lock(mutex_);
  behaviours_.assign(behaviours_.size(), behaviour);
}

SiteBehaviour SiteSimulator::behaviour(std::string_view label) const {
  int index = indexOfLabel(label);
  std::lock_guard lock(mutex_);
  return index < 0 ? SiteBehaviour() : behaviours_[index];
}

std::vector<SimulatedItem> SiteSimulator::pageItems(int site, std::string_view keyword, int page,
                                                    const SiteBehaviour& behaviour) const {
  if (page < 1 || page > behaviour.pages) return {};
  const SiteTemplate& entry = siteTemplates()[site];
  return makePageItems(entry.label, entry.style, keyword, page, behaviour.perPage);
}

std::vector<SimulatedItem> SiteSimulator::itemsOnPage(std::string_view label,
                                                      std::string_view keyword, int page) const {
  int index = indexOfLabel(label);
  if (index < 0) return {};
  return pageItems(index, keyword, page, behaviour(label));
}

std::vector<SimulatedRequest> SiteSimulator::requests(std::string_view label) const {
  std::lock_guard lock(mutex_);
  if (label.empty()) return requests_;
  std::vector<SimulatedRequest> out;
  for (const SimulatedRequest& request : requests_) {
    if (equalFolded(request.site, label)) out.push_back(request);
  }
  return out;
}

void SiteSimulator::clearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

void SiteSimulator::answer(std::size_t g, const RecordedRequest& request,
                           ServerConnection& connection) {
  const HostGroup& group = *groups_[g];
  const auto& sites = siteTemplates();
  SimulatedRequest record;
  record.received = std::chrono::steady_clock::now();
  record.target = request.target;
  std::size_t question = request.target.find('?');
  record.path = request.target.substr(0, question);
  if (question != std::string::npos) record.query = request.target.substr(question + 1);

  int site = group.sites.size() == 1 ? group.sites.front() : -1;
  std::optional<PatternMatch> match;
  for (int member : group.sites) {
    match = matchUrlPattern(sites[member].urlPattern, request.target);
    if (match) {
      site = member;
      break;
    }
  }
  if (site >= 0) record.site = std::string(sites[site].label);
  if (match) {
    record.matched = true;
    record.keyword = match->keyword;
    record.page = match->page;
    record.timestamp = match->timestamp;
  }

  SiteBehaviour behaviour;
  std::string markerHost;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(record);
    if (site >= 0) behaviour = behaviours_[site];
    if (g < hosts_.size()) markerHost = hosts_[g];
  }
  if (behaviour.dead) {
    connection.reset();
    return;
  }
  if (behaviour.latencyMs > 0 && connection.pause(std::chrono::milliseconds(behaviour.latencyMs))) {
    return;  // the simulator is shutting down
  }
  const testing::HeaderList htmlType = {{"Content-Type", "text/html; charset=utf-8"}};
  if (behaviour.serverError) {
    connection.reply(500, "Internal Server Error", htmlType, kServerErrorPage);
    return;
  }
  if (!match) {
    connection.reply(404, "Not Found", htmlType, kNotFoundPage);
    return;
  }
  const SiteTemplate& entry = sites[site];
  bool json = entry.kind != SiteKind::html;
  if (json && behaviour.htmlInsteadOfJson) {
    connection.reply(200, "OK", htmlType, kCheckingBrowserPage);
    return;
  }

  std::vector<SimulatedItem> items = pageItems(site, match->keyword, match->page, behaviour);
  if (behaviour.layoutChanged) {
    if (json) {
      connection.reply(200, "OK", {{"Content-Type", "application/json; charset=utf-8"}},
                       redesignedJsonAnswer(items));
    } else {
      connection.reply(200, "OK", htmlType, redesignedHtmlPage(match->keyword, items));
    }
    return;
  }
  PageView view;
  view.keyword = match->keyword;
  view.encodedKeyword = match->encodedKeyword;
  view.page = match->page;
  view.items = &items;
  view.markerHost = markerHost;
  view.withoutList = json && behaviour.jsonWithoutList;
  std::string body = entry.render(view);
  if (isGbkCharset(entry.charset)) {
    std::string encoded;
    convertWithIconv(body, "UTF-8", "GBK", encoded);
    body = std::move(encoded);
  }
  std::string type = json ? std::string("application/json; charset=utf-8")
                          : "text/html; charset=" + std::string(entry.charset);
  connection.reply(200, "OK", {{"Content-Type", type}}, body);
}

}  // namespace quenbo::simulator
