#include "sites/site_mirrors.h"

#include <array>
#include <mutex>

#include "core/site_table.h"

namespace quenbo::sites {

namespace {

struct Choices {
  std::mutex mutex;
  std::array<Text, core::kSiteCount> hosts;  // guarded by mutex
};

Choices& choices() {
  static Choices shared;
  return shared;
}

bool valid(int site) { return site >= 0 && site < core::kSiteCount; }

}  // namespace

Text rememberedMirror(int site) {
  if (!valid(site)) return {};
  Choices& c = choices();
  std::lock_guard lock(c.mutex);
  return c.hosts[static_cast<std::size_t>(site)];
}

void rememberMirror(int site, const Text& host) {
  if (!valid(site)) return;
  Choices& c = choices();
  std::lock_guard lock(c.mutex);
  c.hosts[static_cast<std::size_t>(site)] = host;
}

void forgetMirrors() {
  Choices& c = choices();
  std::lock_guard lock(c.mutex);
  for (Text& host : c.hosts) host.clear();
}

std::vector<std::size_t> mirrorOrder(int site, const std::vector<Text>& hosts) {
  Text first = rememberedMirror(site);
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < hosts.size(); ++i) {
    if (!first.empty() && hosts[i] == first) {
      order.insert(order.begin(), i);
    } else {
      order.push_back(i);
    }
  }
  return order;
}

}  // namespace quenbo::sites
