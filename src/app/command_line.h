// The command line of the quenbo executable, read by one parser (CLI11, in command_line.cpp):
// the window's own options and every sub-command's, each sub-command registered once there.
//
// Every command reads its arguments by the same rules: an option is written as registered
// ("--name", "-x"), one that takes a value as "--name=value" or "--name value" (then the next
// argument, whatever it is); nothing else that starts with "-" is an option (no "-qh", no
// "--log=1"), and after "--" every argument is a plain one. The first argument that breaks
// the rules gives the message.
#pragma once

#include <atomic>
#include <filesystem>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/stop_bell.h"
#include "sites/site_check.h"

namespace quenbo::app {

// What a sub-command runs with besides its arguments.
struct CommandContext {
  std::filesystem::path installDirectory;  // the executable's directory
  std::ostream& out;
  std::ostream& err;
  const std::atomic<bool>* interrupted = nullptr;  // set for a sub-command that takes interrupts
  bool progressLine = false;                       // standard error is a terminal
  StopBell* interruptBell = nullptr;               // rung when `interrupted` turns true
};

struct SubCommand {
  std::string_view name;
  // The words before an argument it does not take, in its error message.
  std::string_view unknown;
  // --help counts where it stands, and what follows is not read; otherwise the whole line
  // must be sound first.
  bool helpEndsReading = false;
  // Ctrl-C and SIGTERM stop it gently (see main.cpp) instead of ending the process.
  bool takesInterrupts = false;
  // `arguments` are those after the sub-command's name.
  int (*run)(std::span<const char* const> arguments, const CommandContext& context) = nullptr;
};

// Every sub-command, in the order `quenbo --help` lists them.
std::span<const SubCommand> subCommands();

// The sub-command called `name`; none when the arguments are the window's.
const SubCommand* findSubCommand(std::string_view name);

// A command line read: the options, or the message for its first fault.
template <class Options>
struct Parsed {
  Options options;
  std::string error;  // empty when the command line is sound
};

// Writes "quenbo COMMAND: MESSAGE" and where the options are listed, to standard error.
void writeUsageError(std::ostream& err, std::string_view command, std::string_view message);

// The window's command line: everything besides its own options is left to Qt.
struct WindowOptions {
  bool help = false;
  bool version = false;
};
WindowOptions parseWindowOptions(std::span<const char* const> arguments);

struct BoardOptions {
  std::filesystem::path hostsFile;  // as given; empty: none besides the program's own
  bool json = false;
  bool help = false;
};
Parsed<BoardOptions> parseBoardOptions(std::span<const char* const> arguments);

struct CheckSitesOptions {
  std::vector<int> sites;              // catalogue indexes; empty: every site with a host
  std::string keyword{sites::kCheckKeyword};  // UTF-8
  int timeout = 10;                    // seconds per request
  std::filesystem::path hostsFile;
  bool json = false;
  bool help = false;
};
Parsed<CheckSitesOptions> parseCheckSitesOptions(std::span<const char* const> arguments);

struct UpdateOptions {
  std::filesystem::path hostsFile;
  bool check = false;    // only list
  bool restart = false;  // start the program again afterwards
  bool help = false;
};
Parsed<UpdateOptions> parseUpdateOptions(std::span<const char* const> arguments);

}  // namespace quenbo::app
