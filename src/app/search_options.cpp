#include "app/search_options.h"

#include <charconv>
#include <string_view>

#include "core/site_table.h"

namespace quenbo::app {
namespace {

std::optional<int> positiveInteger(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value <= 0) return std::nullopt;
  return value;
}

}  // namespace

OptionParts splitOption(std::string_view argument) {
  auto equals = argument.find('=');
  if (equals == std::string_view::npos) return {argument, std::nullopt};
  return {argument.substr(0, equals), argument.substr(equals + 1)};
}

std::optional<std::string> addSites(std::string_view list, std::vector<int>& sites) {
  while (!list.empty()) {
    std::size_t comma = list.find(',');
    std::string_view label = list.substr(0, comma);
    list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    if (label.empty()) continue;
    auto index = core::siteIndex(label);
    if (!index) return std::string(label);
    bool known = false;
    for (int site : sites) known = known || site == *index;
    if (!known) sites.push_back(*index);
  }
  return std::nullopt;
}

ParsedSearchOptions parseSearchOptions(std::span<const char* const> arguments) {
  ParsedSearchOptions parsed;
  SearchOptions& o = parsed.options;
  auto fail = [&parsed](std::string message) {
    parsed.error = std::move(message);
    return parsed;
  };
  bool keywordSeen = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view argument = arguments[i] ? arguments[i] : "";
    if (optionsEnded || !argument.starts_with("-") || argument == "-") {
      if (keywordSeen) return fail("more than one keyword: put a keyword with blanks in quotes");
      o.keyword = std::string(argument);
      keywordSeen = true;
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (argument == "--help" || argument == "-h") {
      o.help = true;
      continue;
    }
    if (argument == "--log") {
      o.log = true;
      continue;
    }
    if (argument == "--quiet" || argument == "-q") {
      o.quiet = true;
      continue;
    }
    if (argument == "--summary") {
      o.summary = true;
      continue;
    }
    if (argument == "--new-connections") {
      o.newConnections = true;
      continue;
    }
    auto [name, value] = splitOption(argument);
    bool takesValue = name == "--sites" || name == "--pages" || name == "--timeout" ||
                      name == "--hosts" || name == "--settings" || name == "--format" ||
                      name == "--sort" || name == "--export";
    if (!takesValue) return fail("unknown option " + std::string(argument));
    if (!value) {
      if (i + 1 >= arguments.size() || !arguments[i + 1])
        return fail("option " + std::string(name) + " needs a value");
      value = arguments[++i];
    }
    if (name == "--sites") {
      if (auto unknown = addSites(*value, o.sites)) return fail("unknown site " + *unknown);
    } else if (name == "--pages" || name == "--timeout") {
      auto number = positiveInteger(*value);
      if (!number)
        return fail("option " + std::string(name) + " needs a whole number above 0, not \"" +
                    std::string(*value) + "\"");
      (name == "--pages" ? o.pages : o.timeout) = number;
    } else if (name == "--hosts") {
      o.hostsFile = std::string(*value);
    } else if (name == "--settings") {
      o.settingsFile = std::string(*value);
    } else if (name == "--export") {
      if (value->empty()) return fail("option --export needs a file name");
      o.exportFile = std::string(*value);
    } else if (name == "--sort") {
      if (*value == "size") {
        o.sort = core::SortKey::size;
      } else if (*value == "heat") {
        o.sort = core::SortKey::heat;
      } else {
        return fail("unknown sort " + std::string(*value) + " (size or heat)");
      }
    } else if (*value == "tsv") {
      o.format = OutputFormat::Tsv;
    } else if (*value == "json") {
      o.format = OutputFormat::Json;
    } else {
      return fail("unknown format " + std::string(*value) + " (tsv or json)");
    }
  }
  if (!keywordSeen && !o.help) return fail("no keyword given");
  return parsed;
}

const char* searchUsage() {
  return "usage: quenbo search KEYWORD [options]\n"
         "  --sites=A,B      search these sites (labels as on the settings tab); default:\n"
         "                   the sites ticked in the settings\n"
         "  --pages=N        result pages per site, 1 to 30; default: the settings' value\n"
         "  --timeout=S      seconds per request, 3 to 10; default: the settings' value\n"
         "                   (a value outside the range is clamped, and said so)\n"
         "  --hosts=FILE     a hosts file read after the program's own; its keys win\n"
         "  --settings=FILE  the settings file to read instead of Clss.ini\n"
         "  --format=F       tsv (default): title, magnet, site, size, popularity and date,\n"
         "                   tab-separated, one hit a line; json: an array of objects\n"
         "  --sort=K         size or heat: largest first, as the list's menu sorts\n"
         "  --export=FILE    also write the list as the window's text export does (six\n"
         "                   fields joined by &&, CR LF line ends, GBK) to FILE\n"
         "  --new-connections\n"
         "                   a new connection for every page, as [network] reuse = 0 in\n"
         "                   a hosts file asks; by default each site keeps one for its pages\n"
         "  --log            the search log on standard error\n"
         "  --quiet, -q      no progress line on standard error (shown only on a terminal)\n"
         "  --summary        after the search, one line per ticked site on standard error:\n"
         "                   label, host, state, reason, milliseconds, hits found and\n"
         "                   listed (as quenbo check-sites prints its rows)\n"
         "  --help, -h       this text\n"
         "The hits are those the result list would show, after filtering and duplicates.\n"
         "Exit status: 0 when the search ran, 1 when it could not start or the export\n"
         "could not be written, 2 for a bad command line or an unreadable --hosts file,\n"
         "130 when interrupted (the hits so far are printed).\n";
}

}  // namespace quenbo::app
