// Process entry of the quenbo executable: "quenbo search ..." searches without windows,
// "quenbo board" prints the film board, "quenbo check-sites" checks the sites, "quenbo update
// ..." checks for and applies updates;
// --help and --version print; anything else starts the graphical program.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <iostream>
#include <span>

#include "app/board_command.h"
#include "app/check_sites_command.h"
#include "app/gui_entry.h"
#include "app/program_options.h"
#include "app/search_command.h"
#include "app/update_command.h"
#include "base/files.h"

namespace {

std::atomic<bool> interrupted{false};

void onInterrupt(int) { interrupted = true; }

int runSearch(int argc, char** argv) {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  // The first Ctrl-C stops the search and prints what was found; a second one ends the
  // process at once.
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::span<const char* const> arguments(const_cast<const char* const*>(argv) + 2, argc - 2);
  return quenbo::app::runSearchCommand(arguments, quenbo::executableDirectory(), std::cout,
                                       std::cerr, &interrupted, ::isatty(STDERR_FILENO) == 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "search") == 0) return runSearch(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "board") == 0) {
    std::span<const char* const> arguments(const_cast<const char* const*>(argv) + 2, argc - 2);
    return quenbo::app::runBoardCommand(arguments, quenbo::executableDirectory(), std::cout,
                                        std::cerr);
  }
  if (argc >= 2 && std::strcmp(argv[1], "check-sites") == 0) {
    std::span<const char* const> arguments(const_cast<const char* const*>(argv) + 2, argc - 2);
    return quenbo::app::runCheckSitesCommand(arguments, quenbo::executableDirectory(), std::cout,
                                             std::cerr);
  }
  if (argc >= 2 && std::strcmp(argv[1], "update") == 0) {
    std::span<const char* const> arguments(const_cast<const char* const*>(argv) + 2, argc - 2);
    return quenbo::app::runUpdateCommand(arguments, quenbo::executableDirectory(), std::cout,
                                         std::cerr);
  }
  std::span<const char* const> arguments(const_cast<const char* const*>(argv) + 1, argc - 1);
  if (auto status = quenbo::app::handleProgramOptions(arguments, std::cout, std::cerr))
    return *status;
  return quenbo::runGui(argc, argv);
}
