// quenbo-update-server: publishes a release folder to the program's update check until
// interrupted.
#include <pthread.h>
#include <signal.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "update_server/update_server.h"

using quenbo::updateserver::ServerOptions;
using quenbo::updateserver::UpdateServer;

namespace {

const char* kUsage =
    "usage: quenbo-update-server --release DIR [--log FILE] [--param TEXT] [--flush]\n"
    "                            [--port N] [--tls [--cert-out FILE]] [--public-url URL]\n"
    "                            [--throttle-ms N]\n"
    "Publishes every file below DIR: /check lists them with their MD5, /log sends FILE,\n"
    "/files/<path> serves them. Point the program at the printed address with\n"
    "[service] update = <address> in sites.hosts.local.\n";

}  // namespace

int main(int argc, char** argv) {
  ServerOptions options;
  std::string certOut;
  std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool hasValue = i + 1 < args.size();
    if (a == "--release" && hasValue) {
      options.release = args[++i];
    } else if (a == "--log" && hasValue) {
      options.changeLog = args[++i];
    } else if (a == "--param" && hasValue) {
      options.param = args[++i];
    } else if (a == "--flush") {
      options.flush = true;
    } else if (a == "--tls") {
      options.tls = true;
    } else if (a == "--cert-out" && hasValue) {
      certOut = args[++i];
    } else if (a == "--public-url" && hasValue) {
      options.publicUrl = args[++i];
    } else if (a == "--port" && hasValue) {
      options.port = std::atoi(args[++i].c_str());
    } else if (a == "--throttle-ms" && hasValue) {
      options.throttleMs = std::atoi(args[++i].c_str());
    } else if (a == "--help") {
      std::cout << kUsage;
      return 0;
    } else {
      std::cerr << "quenbo-update-server: unknown or incomplete option " << a << "\n" << kUsage;
      return 2;
    }
  }
  if (options.release.empty()) {
    std::cerr << "quenbo-update-server: --release DIR is needed\n" << kUsage;
    return 2;
  }
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  UpdateServer server(options);
  if (!server.running()) {
    std::cerr << "quenbo-update-server: could not start the server\n";
    return 1;
  }
  if (!certOut.empty()) {
    std::ofstream out(certOut, std::ios::binary);
    out << server.certificatePem();
    if (!out) {
      std::cerr << "quenbo-update-server: cannot write " << certOut << "\n";
      return 1;
    }
  }
  std::cout << "Update service: " << server.url() << "\n"
            << "Release folder: " << options.release.string() << "\n"
            << "Serving; stop with Ctrl-C." << std::endl;
  int received = 0;
  sigwait(&stopSignals, &received);
  return 0;
}
