#include "app/command_line.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <functional>
#include <map>
#include <optional>
#include <ostream>

#include "app/board_command.h"
#include "app/check_sites_command.h"
#include "app/search_command.h"
#include "app/search_options.h"
#include "app/update_command.h"

namespace quenbo::app {
namespace {

// An option's value that cannot be used. Thrown by the option's check while CLI11 reads the
// line, so that the reading stops at the first fault; caught in Reading::read.
struct Refusal {
  std::string message;
};

// Thrown by an option that ends the reading where it stands (--help of some commands,
// --version); caught in Reading::read.
struct Stop {};

// What a value option does when the line ends where its value should be.
enum class AtTheEnd {
  needsValue,  // "option --name needs a value"
  refused,     // an unknown argument
  ignored,     // as if it were not there
};

struct Rules {
  std::string_view unknown;  // empty: what the command does not take is left to another reader
  bool helpEndsReading = false;
};

std::string_view textOf(const char* argument) {
  return argument ? argument : "";
}

// One command line read by CLI11. CLI11 takes apart some arguments this program has always
// refused ("-qh", "--log=1", "-5" as a plain argument) and reads "--name=" as a name whose
// value is the next argument; so the arguments are first put in the one form both agree on
// ("--name" then its value as an argument of its own), and the first one this program
// refuses ends what CLI11 is given.
class Reading {
 public:
  explicit Reading(Rules rules) : rules_(rules) {
    app_.set_help_flag();
    app_.allow_extras();  // kept in order; read() looks at them
  }
  Reading(const Reading&) = delete;
  Reading& operator=(const Reading&) = delete;

  void flag(const std::string& names, bool& target) { app_.add_flag(names, target); }

  // A flag that sets `target` and ends the reading: what follows it is not looked at.
  void stop(const std::string& names, bool& target) {
    auto stopHere = [&target] {
      target = true;
      throw Stop{};
    };
    app_.add_flag_callback(names, stopHere)->trigger_on_parse();
  }

  void help(bool& wanted) {
    if (rules_.helpEndsReading) return stop("--help,-h", wanted);
    app_.set_help_flag("--help,-h");
    help_ = &wanted;
  }

  // `take` gets each value as soon as it is read, and throws a Refusal for one it cannot use.
  void value(const std::string& names, std::function<void(const std::string&)> take,
             AtTheEnd atTheEnd = AtTheEnd::needsValue) {
    CLI::Option* option = app_.add_option_function<std::string>(names, std::move(take));
    option->trigger_on_parse();
    atTheEnd_[option] = atTheEnd;
  }

  // The one plain (positional) argument: `missing` when none is given (and no --help), `extra`
  // for a second one.
  void plain(const std::string& name, std::string& target, std::string missing, std::string extra) {
    app_.add_option(name, target)->required();
    missingPlain_ = std::move(missing);
    extraPlain_ = std::move(extra);
  }

  // The argument that named the value option now being read, as written: "--format=xml" or
  // "--format".
  std::string optionArgument() const {
    std::size_t read = tokens_.size() - unread_.size();
    return arguments_[origins_[read - 2]];
  }

  // Reads `arguments`; returns the message of the first fault, empty when there is none.
  // The options' checks run as CLI11 reads, so a refused value, a missing one or a stop ends
  // the reading there, and only an argument CLI11 could not place before it comes first.
  // Otherwise the order is that of the line: the arguments not placed, the first refused
  // argument, and last what is known only at the end (--help, no plain argument).
  std::string read(std::span<const char* const> arguments) {
    takeApart(arguments);
    unread_.assign(tokens_.rbegin(), tokens_.rend());  // CLI11 reads from the back
    std::optional<std::string> atTheEnd;  // a fault found only once the whole line is read
    bool helpAsked = false;
    try {
      app_.parse(unread_);
    } catch (const Stop&) {
      return extrasFault().value_or("");
    } catch (const Refusal& refusal) {
      return extrasFault().value_or(refusal.message);
    } catch (const CLI::ArgumentMismatch&) {
      // Only the last argument can lack its value.
      return extrasFault().value_or("option " + arguments_[origins_.back()] + " needs a value");
    } catch (const CLI::CallForHelp&) {
      helpAsked = true;
    } catch (const CLI::RequiredError&) {
      atTheEnd = missingPlain_;
    } catch (const CLI::ParseError& error) {
      return extrasFault().value_or(error.what());
    }
    if (auto fault = extrasFault()) return *fault;
    if (refused_) return std::string(rules_.unknown) + " " + arguments_[*refused_];
    if (helpAsked && help_) *help_ = true;
    return atTheEnd.value_or("");
  }

 private:
  // Puts the arguments into tokens_, each with the index of the argument it came from, up to
  // the first one refused.
  void takeApart(std::span<const char* const> arguments) {
    for (const char* argument : arguments) arguments_.emplace_back(textOf(argument));
    bool plainOnly = false;
    auto keep = [this](std::string_view token, std::size_t origin) {
      tokens_.emplace_back(token);
      origins_.push_back(origin);
    };
    for (std::size_t i = 0; i < arguments_.size(); ++i) {
      std::string_view argument = arguments_[i];
      if (plainOnly || argument == "-" || !argument.starts_with('-')) {
        keep(argument, i);
        continue;
      }
      if (argument == "--") {
        keep(argument, i);
        plainOnly = true;
        continue;
      }
      std::string_view name = argument;
      std::optional<std::string_view> value;
      const CLI::Option* option = nullptr;
      if (argument.starts_with("--")) {
        std::size_t equals = argument.find('=');
        name = argument.substr(0, equals);
        if (equals != std::string_view::npos) value = argument.substr(equals + 1);
        option = app_.get_option_no_throw(std::string(name));
      } else if (argument.size() == 2) {
        option = app_.get_option_no_throw(std::string(argument));
      }
      const bool takesValue = option && option->get_items_expected_max() > 0;
      if (!option || (value && !takesValue)) {
        if (rules_.unknown.empty()) continue;  // not ours: left to the other reader
        refused_ = i;
        return;
      }
      keep(name, i);
      if (!takesValue) continue;
      if (value) {
        keep(*value, i);
      } else if (i + 1 < arguments_.size()) {
        keep(arguments_[i + 1], i + 1);
        ++i;
      } else if (AtTheEnd end = atTheEnd_.at(option); end != AtTheEnd::needsValue) {
        tokens_.pop_back();
        origins_.pop_back();
        if (end == AtTheEnd::refused) refused_ = i;
      }
    }
  }

  // The fault of the first argument CLI11 could not place: a second plain argument, or for a
  // command that takes none, any. The first "--" is where the options end.
  std::optional<std::string> extrasFault() const {
    if (rules_.unknown.empty()) return std::nullopt;
    bool endSeen = false;
    for (const std::string& extra : app_.remaining()) {
      if (extra == "--" && !endSeen && !extraPlain_.empty()) {
        endSeen = true;
        continue;
      }
      return extraPlain_.empty() ? std::string(rules_.unknown) + " " + extra : extraPlain_;
    }
    return std::nullopt;
  }

  Rules rules_;
  CLI::App app_;
  std::map<const CLI::Option*, AtTheEnd> atTheEnd_;
  bool* help_ = nullptr;  // set when --help is honoured after the whole line
  std::string missingPlain_, extraPlain_;
  std::vector<std::string> arguments_;  // as given
  std::vector<std::string> tokens_;     // as CLI11 is given them
  std::vector<std::size_t> origins_;    // for each token, its argument's index
  std::vector<std::string> unread_;     // the tokens CLI11 has yet to read, last first
  std::optional<std::size_t> refused_;  // the first argument refused
};

std::function<void(const std::string&)> store(std::string& target) {
  return [&target](const std::string& value) { target = value; };
}

std::function<void(const std::string&)> store(std::filesystem::path& target) {
  return [&target](const std::string& value) { target = value; };
}

std::optional<int> wholeNumber(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Whether a --format value asks for JSON.
bool jsonFormat(const std::string& format) {
  if (format != "tsv" && format != "json") {
    throw Refusal{"unknown format " + format + " (tsv or json)"};
  }
  return format == "json";
}

std::function<void(const std::string&)> sitesInto(std::vector<int>& sites) {
  return [&sites](const std::string& list) {
    if (auto unknown = addSites(list, sites)) throw Refusal{"unknown site " + *unknown};
  };
}

void defineSearch(Reading& r, SearchOptions& o) {
  r.plain("keyword", o.keyword, "no keyword given",
          "more than one keyword: put a keyword with blanks in quotes");
  r.help(o.help);
  r.value("--sites", sitesInto(o.sites));
  for (const auto& [option, field] : {std::pair{"--pages", &o.pages}, {"--timeout", &o.timeout}}) {
    r.value(option, [name = std::string(option), target = field](const std::string& value) {
      auto number = wholeNumber(value);
      if (!number || *number <= 0) {
        throw Refusal{"option " + name + " needs a whole number above 0, not \"" + value + "\""};
      }
      *target = number;
    });
  }
  r.value("--hosts", store(o.hostsFile));
  r.value("--settings", store(o.settingsFile));
  r.value("--format", [&o](const std::string& format) {
    o.format = jsonFormat(format) ? OutputFormat::Json : OutputFormat::Tsv;
  });
  r.value("--sort", [&o](const std::string& key) {
    if (key != "size" && key != "heat") throw Refusal{"unknown sort " + key + " (size or heat)"};
    o.sort = key == "size" ? core::SortKey::size : core::SortKey::heat;
  });
  r.value("--export", [&o](const std::string& file) {
    if (file.empty()) throw Refusal{"option --export needs a file name"};
    o.exportFile = file;
  });
  r.flag("--log", o.log);
  r.flag("--quiet,-q", o.quiet);
  r.flag("--summary", o.summary);
  r.flag("--new-connections", o.newConnections);
}

void defineBoard(Reading& r, BoardOptions& o) {
  r.help(o.help);
  r.value("--hosts", store(o.hostsFile), AtTheEnd::ignored);
  r.value(
      "--format",
      [&r, &o](const std::string& format) {
        if (format != "tsv" && format != "json") {
          throw Refusal{"unknown argument " + r.optionArgument()};
        }
        o.json = format == "json";
      },
      AtTheEnd::refused);
}

void defineCheckSites(Reading& r, CheckSitesOptions& o) {
  r.help(o.help);
  r.value("--sites", sitesInto(o.sites));
  r.value("--keyword", [&o](const std::string& keyword) {
    if (keyword.empty()) throw Refusal{"option --keyword needs a keyword"};
    o.keyword = keyword;
  });
  r.value("--format", [&o](const std::string& format) { o.json = jsonFormat(format); });
  r.value("--timeout", [&o](const std::string& value) {
    auto seconds = wholeNumber(value);
    if (!seconds || *seconds < 1 || *seconds > 60) {
      throw Refusal{"option --timeout needs a whole number of seconds from 1 to 60"};
    }
    o.timeout = *seconds;
  });
  r.value("--hosts", store(o.hostsFile));
}

void defineUpdate(Reading& r, UpdateOptions& o) {
  r.help(o.help);
  r.flag("--check", o.check);
  r.flag("--restart", o.restart);
  r.value("--hosts", store(o.hostsFile), AtTheEnd::ignored);
}

template <class Options, class Result = Parsed<Options>>
Result parseCommand(std::string_view command, void (*define)(Reading&, Options&),
                    std::span<const char* const> arguments) {
  const SubCommand& sub = *findSubCommand(command);
  Result parsed;
  Reading reading({sub.unknown, sub.helpEndsReading});
  define(reading, parsed.options);
  parsed.error = reading.read(arguments);
  return parsed;
}

// A new sub-command is one line here, with its options defined above.
constexpr SubCommand kSubCommands[] = {
    {"search", "unknown option", false, true,
     [](std::span<const char* const> arguments, const CommandContext& c) {
       return runSearchCommand(arguments, c.installDirectory, c.out, c.err, c.interrupted,
                               c.progressLine, c.interruptBell);
     }},
    {"board", "unknown argument", true, false,
     [](std::span<const char* const> arguments, const CommandContext& c) {
       return runBoardCommand(arguments, c.installDirectory, c.out, c.err);
     }},
    {"check-sites", "unknown argument", false, false,
     [](std::span<const char* const> arguments, const CommandContext& c) {
       return runCheckSitesCommand(arguments, c.installDirectory, c.out, c.err);
     }},
    {"update", "unknown argument", true, false,
     [](std::span<const char* const> arguments, const CommandContext& c) {
       return runUpdateCommand(arguments, c.installDirectory, c.out, c.err);
     }},
};

}  // namespace

std::span<const SubCommand> subCommands() {
  return kSubCommands;
}

const SubCommand* findSubCommand(std::string_view name) {
  for (const SubCommand& command : kSubCommands) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

void writeUsageError(std::ostream& err, std::string_view command, std::string_view message) {
  err << "quenbo " << command << ": " << message << "\n(quenbo " << command
      << " --help lists the options)\n";
}

WindowOptions parseWindowOptions(std::span<const char* const> arguments) {
  WindowOptions options;
  Reading reading({.unknown = "", .helpEndsReading = true});
  reading.help(options.help);
  reading.stop("--version", options.version);
  (void)reading.read(arguments);
  return options;
}

ParsedSearchOptions parseSearchOptions(std::span<const char* const> arguments) {
  return parseCommand<SearchOptions, ParsedSearchOptions>("search", defineSearch, arguments);
}

Parsed<BoardOptions> parseBoardOptions(std::span<const char* const> arguments) {
  return parseCommand("board", defineBoard, arguments);
}

Parsed<CheckSitesOptions> parseCheckSitesOptions(std::span<const char* const> arguments) {
  return parseCommand("check-sites", defineCheckSites, arguments);
}

Parsed<UpdateOptions> parseUpdateOptions(std::span<const char* const> arguments) {
  return parseCommand("update", defineUpdate, arguments);
}

}  // namespace quenbo::app
