// The hosts file that points the program at a running simulator, in the agreed INI format.
#include <fstream>

#include "site_simulator/site_simulator.h"
#include "site_simulator/site_template.h"

namespace quenbo::simulator {

std::string SiteSimulator::hostsFileText(bool deadMirrorFirst) const {
  const std::string dead = deadMirrorFirst ? deadHost() : std::string();
  // A mirror list: the dead host (with the scheme where the live one has it) first.
  auto listed = [&dead](const std::string& live) {
    if (dead.empty()) return live;
    std::size_t scheme = live.find("://");
    return (scheme == std::string::npos ? "" : live.substr(0, scheme + 3)) + dead + "," + live;
  };
  std::string out =
      "; Hosts of the search sites, all pointing at the local site simulator.\n"
      "; Written by quenbo-site-simulator; valid only while it runs.\n"
      "[sites]\n";
  for (const SiteTemplate& site : siteTemplates()) {
    if (site.host != SiteHost::own) continue;
    std::string value = host(site.label);
    // Skrbt carries its scheme with its host.
    if (site.label == "Skrbt") value = baseUrl(site.label);
    out += std::string(site.label) + " = " + listed(value) + "\n";
  }
  out += "\n; The two shared JSON search APIs.\n[apis]\n";
  out += "; host A: 种子搜, BT蚂蚁, Torrentz, Sunyaa, idopea (https)\n";
  out += "A = " + listed(host("Torrentz")) + "\n";
  out += "; host B: 磁力果, Kickass (http)\n";
  out += "B = " + listed(host("Kickass")) + "\n";
  out += "\n; Hosts that appear inside the page markup of two sites.\n[markers]\n";
  out += "Btsow = " + markerHost("Btsow") + "\n";
  out += "Monova = " + markerHost("Monova") + "\n";
  out += "\n; The film board: its page is https://host/board.\n[board]\n";
  out += "host = " + boardHost() + "\n";
  return out;
}

bool SiteSimulator::writeHostsFile(const std::string& path, bool deadMirrorFirst) const {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << hostsFileText(deadMirrorFirst);
  file.close();
  return !file.fail();
}

}  // namespace quenbo::simulator
