// The command line of "quenbo search": what to search for, where, and how to print it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/row_sort.h"

namespace quenbo::app {

enum class OutputFormat { Tsv, Json };

struct SearchOptions {
  std::string keyword;             // UTF-8
  std::vector<int> sites;          // catalogue indexes; empty: the sites ticked in the settings
  std::optional<int> pages;        // pages per site; none: the settings' value
  std::optional<int> timeout;      // seconds per request; none: the settings' value
  std::string hostsFile;           // path as given; empty: none besides the program's own
  std::string settingsFile;        // path as given; empty: the program's usual Clss.ini
  OutputFormat format = OutputFormat::Tsv;
  std::optional<core::SortKey> sort;  // sort the listed hits as the list's menu does
  std::string exportFile;           // path as given; also write the list's text export there
  bool log = false;                // the log box's lines on standard error
  bool quiet = false;              // no progress line on a terminal
  bool summary = false;            // the per-site table on standard error at the end
  bool newConnections = false;     // a connection per page, whatever [network] reuse says
  bool help = false;
};

struct ParsedSearchOptions {
  SearchOptions options;
  std::string error;  // empty when the command line is sound
};

// Adds the sites of a comma-separated list of labels (ASCII case ignored) that are not in
// `sites` yet; returns the first unknown label, if any.
std::optional<std::string> addSites(std::string_view list, std::vector<int>& sites);

// Parses the arguments after "search" by the rules of the program's command line
// (command_line.h; defined in command_line.cpp). Site labels are matched without regard to
// ASCII case.
ParsedSearchOptions parseSearchOptions(std::span<const char* const> arguments);

// The usage text, UTF-8, ending in a line feed.
const char* searchUsage();

}  // namespace quenbo::app
