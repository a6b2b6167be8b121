#include "app/program_options.h"

#include <cstdlib>
#include <ostream>
#include <string_view>

#include "app/command_line.h"
#include "app/search_command.h"

#ifndef QUENBO_VERSION
#define QUENBO_VERSION "unknown"
#endif

namespace quenbo::app {
namespace {

bool setInEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0] != '\0';
}

}  // namespace

const char* programVersion() {
  return QUENBO_VERSION;
}

const char* programUsage() {
  return "usage: quenbo [--hosts FILE]           open the search window\n"
         "       quenbo search KEYWORD [options] search without a window; the hits go to\n"
         "                                       standard output (quenbo search --help)\n"
         "       quenbo board [options]          print the film board (quenbo board --help)\n"
         "       quenbo check-sites [options]    fetch page 1 of each site and say what it\n"
         "                                       gave (quenbo check-sites --help)\n"
         "       quenbo update [options]         check for and apply an update\n"
         "                                       (quenbo update --help)\n"
         "       quenbo --help | --version\n"
         "\n"
         "  --hosts FILE   a hosts file read after the program's own; its keys win. A file\n"
         "                 that cannot be read is shown in a message box.\n"
         "  --help, -h     this text\n"
         "  --version      the version\n"
         "Qt's own options (-platform, -style, ...) are passed on to Qt. The window needs a\n"
         "display; quenbo search does not. Files and exit statuses: man quenbo.\n";
}

bool displayAvailable(std::span<const char* const> arguments) {
  for (const char* argument : arguments) {
    std::string_view a = argument ? argument : "";
    if (a == "-platform" || a == "--platform" || a.starts_with("-platform=")) return true;
  }
  return setInEnvironment("DISPLAY") || setInEnvironment("WAYLAND_DISPLAY") ||
         setInEnvironment("QT_QPA_PLATFORM");
}

std::optional<int> handleProgramOptions(std::span<const char* const> arguments, std::ostream& out,
                                        std::ostream& err) {
  WindowOptions options = parseWindowOptions(arguments);
  if (options.help) {
    out << programUsage();
    return 0;
  }
  if (options.version) {
    out << "quenbo " << programVersion() << '\n';
    return 0;
  }
  if (!displayAvailable(arguments)) {
    err << "quenbo: no display found; `quenbo search` works without one\n";
    return kExitCannotStart;
  }
  return std::nullopt;
}

}  // namespace quenbo::app
