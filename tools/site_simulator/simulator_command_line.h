// The command line of quenbo-site-simulator.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "site_simulator/site_simulator.h"

namespace quenbo::simulator {

struct CommandLine {
  SimulatorOptions options;
  std::string hostsOut = "sites.simulated.hosts";
  // Catalogue labels; "all" expands to every site.
  std::vector<std::string> dead, serverError, htmlInsteadOfJson, jsonWithoutList, layoutChanged;
  // --slow SITES MS: each named site waits that long before every answer.
  std::vector<std::pair<std::string, int>> slow;
  bool mirrorDead = false;  // the hosts file lists a dead host before every live one
  bool help = false;
};

// Reads the arguments after the program name. False, with `message` saying why, for an
// unknown option, a missing or negative number, or an unknown site label.
bool parseCommandLine(const std::vector<std::string>& arguments, CommandLine& out,
                      std::string& message);

// Turns on the per-site switches the command line named.
void applySwitches(const CommandLine& line, SiteSimulator& simulator);

std::string usageText();

}  // namespace quenbo::simulator
