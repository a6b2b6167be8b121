// quenbo-site-simulator: serves every search site on 127.0.0.1 until interrupted.
#include <pthread.h>
#include <signal.h>

#include <filesystem>
#include <iostream>

#include "site_simulator/simulator_command_line.h"

using namespace quenbo::simulator;

int main(int argc, char** argv) {
  CommandLine line;
  std::string message;
  if (!parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), line, message)) {
    std::cerr << "quenbo-site-simulator: " << message << "\n" << usageText();
    return 2;
  }
  if (line.help) {
    std::cout << usageText();
    return 0;
  }
  // Blocked before any server thread starts, so every thread inherits the mask and the
  // signals wait for sigwait below.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  SiteSimulator simulator(line.options);
  if (!simulator.running()) {
    std::cerr << "quenbo-site-simulator: could not start the servers\n";
    return 1;
  }
  applySwitches(line, simulator);
  if (!simulator.writeHostsFile(line.hostsOut, line.mirrorDead)) {
    std::cerr << "quenbo-site-simulator: cannot write " << line.hostsOut << "\n";
    return 1;
  }
  std::error_code error;
  std::filesystem::path hostsPath = std::filesystem::absolute(line.hostsOut, error);
  const SiteBehaviour& behaviour = line.options.behaviour;
  std::cout << "Hosts file: " << (error ? line.hostsOut : hostsPath.string()) << "\n"
            << "Pages per keyword: " << behaviour.pages << ", results per page: "
            << behaviour.perPage << ", latency: " << behaviour.latencyMs
            << " ms, round trip: " << line.options.roundTripMs << " ms\n";
  for (const ServerInfo& server : simulator.servers()) {
    std::cout << "  " << server.name << " " << server.url << "\n";
  }
  std::cout << "Serving; stop with Ctrl-C." << std::endl;

  int received = 0;
  sigwait(&stopSignals, &received);
  std::cout << "Stopping." << std::endl;
  return 0;
}
