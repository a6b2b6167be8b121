#include "site_simulator/simulator_command_line.h"

#include <charconv>

namespace quenbo::simulator {
namespace {

bool readCount(const std::string& text, int& out) {
  int value = -1;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return false;
  out = value;
  return true;
}

// "Btdad,Sobt" or "all" into catalogue labels.
bool readSites(const std::string& text, std::vector<std::string>& out, std::string& message) {
  if (text == "all") {
    out = SiteSimulator::siteLabels();
    return true;
  }
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    std::string name = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!name.empty()) {
      std::string label = SiteSimulator::canonicalLabel(name);
      if (label.empty()) {
        message = "unknown site: " + name;
        return false;
      }
      out.push_back(label);
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

}  // namespace

bool parseCommandLine(const std::vector<std::string>& arguments, CommandLine& out,
                      std::string& message) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string option = arguments[i];
    std::string value;
    bool hasValue = false;
    if (std::size_t equals = option.find('='); option.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = option.substr(equals + 1);
      option.resize(equals);
      hasValue = true;
    }
    if (option == "--help" || option == "-h") {
      out.help = true;
      continue;
    }
    if (option == "--skrbt-https") {
      out.options.skrbtOverTls = true;
      continue;
    }
    if (option == "--mirror-dead") {
      out.mirrorDead = true;
      continue;
    }
    if (!hasValue) {
      if (i + 1 >= arguments.size()) {
        message = option.rfind("--", 0) == 0 ? option + " needs a value" : "unknown argument: " + option;
        return false;
      }
      value = arguments[++i];
    }
    SiteBehaviour& behaviour = out.options.behaviour;
    bool ok = true;
    if (option == "--pages") {
      ok = readCount(value, behaviour.pages);
    } else if (option == "--per-page") {
      ok = readCount(value, behaviour.perPage);
    } else if (option == "--latency") {
      ok = readCount(value, behaviour.latencyMs);
    } else if (option == "--rtt") {
      ok = readCount(value, out.options.roundTripMs);
    } else if (option == "--hosts-out") {
      ok = !value.empty();
      out.hostsOut = value;
    } else if (option == "--dead") {
      if (!readSites(value, out.dead, message)) return false;
    } else if (option == "--error") {
      if (!readSites(value, out.serverError, message)) return false;
    } else if (option == "--html") {
      if (!readSites(value, out.htmlInsteadOfJson, message)) return false;
    } else if (option == "--no-list") {
      if (!readSites(value, out.jsonWithoutList, message)) return false;
    } else if (option == "--layout-changed") {
      if (!readSites(value, out.layoutChanged, message)) return false;
    } else if (option == "--slow") {
      std::vector<std::string> sites;
      if (!readSites(value, sites, message)) return false;
      int wait = 0;
      if (i + 1 >= arguments.size() || !readCount(arguments[i + 1], wait)) {
        message = "--slow needs sites and a number of milliseconds";
        return false;
      }
      ++i;
      for (const std::string& site : sites) out.slow.emplace_back(site, wait);
    } else {
      message = "unknown option: " + option;
      return false;
    }
    if (!ok) {
      message = "bad value for " + option + ": " + value;
      return false;
    }
  }
  return true;
}

void applySwitches(const CommandLine& line, SiteSimulator& simulator) {
  auto turnOn = [&](const std::vector<std::string>& labels, bool SiteBehaviour::*flag) {
    for (const std::string& label : labels) {
      SiteBehaviour behaviour = simulator.behaviour(label);
      behaviour.*flag = true;
      simulator.setBehaviour(label, behaviour);
    }
  };
  turnOn(line.dead, &SiteBehaviour::dead);
  turnOn(line.serverError, &SiteBehaviour::serverError);
  turnOn(line.htmlInsteadOfJson, &SiteBehaviour::htmlInsteadOfJson);
  turnOn(line.jsonWithoutList, &SiteBehaviour::jsonWithoutList);
  turnOn(line.layoutChanged, &SiteBehaviour::layoutChanged);
  for (const auto& [label, wait] : line.slow) {
    SiteBehaviour behaviour = simulator.behaviour(label);
    behaviour.latencyMs = wait;
    simulator.setBehaviour(label, behaviour);
  }
}

std::string usageText() {
  return "Usage: quenbo-site-simulator [options]\n"
         "Serves the search sites on 127.0.0.1 and writes a hosts file pointing at them.\n"
         "  --pages N          result pages per keyword (default 3); later pages are empty\n"
         "  --per-page N       results per page (default 10)\n"
         "  --latency MS       wait before every answer (default 0)\n"
         "  --rtt MS           network round trip: one per new connection, one or two more\n"
         "                     per TLS handshake (resumed or not), one per request (default 0)\n"
         "  --hosts-out FILE   where to write the hosts file (default ./sites.simulated.hosts)\n"
         "  --dead SITES       reset every connection to these sites\n"
         "  --error SITES      answer these sites with HTTP 500\n"
         "  --html SITES       JSON sites: answer with an HTML page instead\n"
         "  --no-list SITES    JSON sites: answer without the item list\n"
         "  --layout-changed SITES  a valid page in markup the program does not know:\n"
         "                     nothing is cut, but hashes and magnet links remain\n"
         "  --slow SITES MS    these sites wait MS milliseconds before every answer\n"
         "  --mirror-dead      the hosts file lists a dead host before each live one\n"
         "  --skrbt-https      serve Skrbt over TLS (default plain HTTP)\n"
         "SITES is a comma-separated list of site labels, or \"all\".\n"
         "Runs until interrupted (Ctrl-C or SIGTERM).\n";
}

}  // namespace quenbo::simulator
