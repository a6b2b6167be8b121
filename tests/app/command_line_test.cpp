// The one command-line parser: every sub-command through the executable, and the forms of
// argument its parser (CLI11) would read otherwise than the program always has.
#include "app/command_line.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/search_options.h"

namespace quenbo::app {
namespace {

TEST(CommandLine, EverySubCommandRefusesAnUnknownOptionWithItsOwnMessage) {
  struct Case {
    const char* command;
    const char* unknown;
  } cases[] = {{"search", "unknown option"},
               {"board", "unknown argument"},
               {"check-sites", "unknown argument"},
               {"update", "unknown argument"}};
  ASSERT_EQ(subCommands().size(), std::size(cases)) << "a sub-command without a row here";
  for (const Case& c : cases) {
    ASSERT_NE(findSubCommand(c.command), nullptr) << c.command;
    std::string line = std::string(QUENBO_EXECUTABLE) + " " + c.command + " --bogus 2>&1";
    FILE* pipe = popen(line.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status)) << c.command;
    EXPECT_EQ(WEXITSTATUS(status), 2) << c.command;
    EXPECT_EQ(output, "quenbo " + std::string(c.command) + ": " + c.unknown + " --bogus\n(quenbo " +
                          c.command + " --help lists the options)\n");
  }
}

// The message for `arguments` after the sub-command `command`, empty when they are sound;
// "help" when they ask for the usage.
std::string readingOf(std::string_view command, std::vector<const char*> arguments) {
  auto outcome = [](const auto& parsed) {
    return !parsed.error.empty() ? parsed.error : parsed.options.help ? "help" : "";
  };
  if (command == "search") return outcome(parseSearchOptions(arguments));
  if (command == "board") return outcome(parseBoardOptions(arguments));
  if (command == "check-sites") return outcome(parseCheckSitesOptions(arguments));
  return outcome(parseUpdateOptions(arguments));
}

TEST(CommandLine, ReadsArgumentsAsTheProgramAlwaysHasNotAsCli11Would) {
  struct Case {
    const char* command;
    std::vector<const char*> arguments;
    const char* outcome;
  } cases[] = {
      // No grouped or attached short options, no value on a flag, no "-5" as a keyword.
      {"search", {"a", "-qh"}, "unknown option -qh"},
      {"search", {"a", "-q=1"}, "unknown option -q=1"},
      {"search", {"a", "--log="}, "unknown option --log="},
      {"search", {"a", "--log=true"}, "unknown option --log=true"},
      {"search", {"-5"}, "unknown option -5"},
      {"search", {"---x"}, "unknown option ---x"},
      {"check-sites", {"--help=1"}, "unknown argument --help=1"},
      {"update", {"--check=1"}, "unknown argument --check=1"},
      // An empty "--name=" value is a value: the next argument stays the keyword.
      {"search", {"--hosts=", "a"}, ""},
      {"search", {"--pages=", "a"}, "option --pages needs a whole number above 0, not \"\""},
      // The first fault in the line wins, whichever kind it is.
      {"search", {"a", "--verbose", "--pages=0"}, "unknown option --verbose"},
      {"search",
       {"a", "--pages=0", "--verbose"},
       "option --pages needs a whole number above 0, not \"0\""},
      {"search",
       {"a", "b", "--pages=0"},
       "more than one keyword: put a keyword with blanks in quotes"},
      {"search", {"a", "--", "-x"}, "more than one keyword: put a keyword with blanks in quotes"},
      {"search", {"a", "--"}, ""},
      {"search", {"--"}, "no keyword given"},
      {"check-sites", {"x", "--timeout=0"}, "unknown argument x"},
      {"check-sites", {"--timeout"}, "option --timeout needs a value"},
      {"board", {"--"}, "unknown argument --"},
      // --help: after a sound line for search and check-sites; where it stands for board and
      // update, which do not read on.
      {"search", {"--help"}, "help"},
      {"search", {"--help", "--verbose"}, "unknown option --verbose"},
      {"check-sites", {"--help", "--sites=Nope"}, "unknown site Nope"},
      {"board", {"--help", "--format=xml"}, "help"},
      {"board", {"--format=xml", "--help"}, "unknown argument --format=xml"},
      {"board", {"x", "--help"}, "unknown argument x"},
      {"update", {"--check", "-h", "--bogus"}, "help"},
      {"update", {"--bogus", "-h"}, "unknown argument --bogus"},
      // What board and update do with a value option that ends the line.
      {"board", {"--format", "xml"}, "unknown argument --format"},
      {"board", {"--format"}, "unknown argument --format"},
      {"board", {"--hosts"}, ""},
      {"update", {"--hosts"}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(readingOf(c.command, c.arguments), c.outcome)
        << c.command << " " << c.arguments.front();
  }
}

TEST(CommandLine, AValueIsTheNextArgumentWhateverItLooksLike) {
  std::vector<const char*> line = {"a", "--hosts", "--log", "--export", "-q"};
  ParsedSearchOptions search = parseSearchOptions(line);
  ASSERT_EQ(search.error, "");
  EXPECT_EQ(search.options.hostsFile, "--log");
  EXPECT_EQ(search.options.exportFile, "-q");
  EXPECT_FALSE(search.options.log);
  EXPECT_FALSE(search.options.quiet);
  line = {"--keyword", "-x", "--hosts=h"};
  Parsed<CheckSitesOptions> check = parseCheckSitesOptions(line);
  ASSERT_EQ(check.error, "");
  EXPECT_EQ(check.options.keyword, "-x");
  EXPECT_EQ(check.options.hostsFile, "h");
  line = {"--hosts", "--format=json"};
  Parsed<BoardOptions> board = parseBoardOptions(line);
  ASSERT_EQ(board.error, "");
  EXPECT_EQ(board.options.hostsFile, "--format=json");
  EXPECT_FALSE(board.options.json);
}

TEST(CommandLine, TheWindowLeavesWhatItDoesNotTakeToQt) {
  struct Case {
    std::vector<const char*> arguments;
    bool help, version;
  } cases[] = {
      {{"-stylesheet", "my.qss"}, false, false},  // holds an "h": no short-option groups
      {{"-platform", "offscreen", "--hosts", "x", "--version"}, false, true},
      {{"--version", "--help"}, false, true},
      {{"--hosts", "--help"}, true, false},
      {{"--", "--help"}, false, false},
      {{"-hx"}, false, false},
  };
  for (const Case& c : cases) {
    WindowOptions options = parseWindowOptions(c.arguments);
    EXPECT_EQ(options.help, c.help) << c.arguments.front();
    EXPECT_EQ(options.version, c.version) << c.arguments.front();
  }
}

}  // namespace
}  // namespace quenbo::app
