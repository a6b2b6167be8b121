// The hosts file that points the program at a running simulator, in the agreed INI format.
#include <fstream>

#include "site_simulator/site_simulator.h"
#include "site_simulator/site_template.h"

namespace quenbo::simulator {

std::string SiteSimulator::hostsFileText() const {
  std::string out =
      "; Hosts of the search sites, all pointing at the local site simulator.\n"
      "; Written by quenbo-site-simulator; valid only while it runs.\n"
      "[sites]\n";
  for (const SiteTemplate& site : siteTemplates()) {
    if (site.host != SiteHost::own) continue;
    std::string value = host(site.label);
    // Skrbt carries its scheme with its host.
    if (site.label == "Skrbt") value = baseUrl(site.label);
    out += std::string(site.label) + " = " + value + "\n";
  }
  out += "\n; The two shared JSON search APIs.\n[apis]\n";
  out += "; host A: 种子搜, BT蚂蚁, Torrentz, Sunyaa, idopea (https)\n";
  out += "A = " + host("Torrentz") + "\n";
  out += "; host B: 磁力果, Kickass (http)\n";
  out += "B = " + host("Kickass") + "\n";
  out += "\n; Hosts that appear inside the page markup of two sites.\n[markers]\n";
  out += "Btsow = " + markerHost("Btsow") + "\n";
  out += "Monova = " + markerHost("Monova") + "\n";
  out += "\n; The film board: its page is https://host/board.\n[board]\n";
  out += "host = " + boardHost() + "\n";
  return out;
}

bool SiteSimulator::writeHostsFile(const std::string& path) const {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << hostsFileText();
  file.close();
  return !file.fail();
}

}  // namespace quenbo::simulator
