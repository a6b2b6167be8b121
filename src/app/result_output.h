// The listed hits of the result list as text for other programs.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "core/search_events.h"

namespace quenbo::app {

// The list's rows, in list order (GBK).
using ListedRows = std::vector<core::ResultRow>;

// One hit a line, UTF-8: title, magnet, site, size, popularity and date separated by tabs;
// every control character inside a field (tabs, line breaks, escapes, DEL, C1) becomes a
// blank.
void writeTsv(std::ostream& out, const ListedRows& rows);

// The text with every control character (C0, DEL and C1) turned into a blank: a field from
// a site must not move the cursor, clear the screen or retitle the terminal it is printed to.
std::string withoutControls(const std::string& utf8);

// A JSON array of objects with the members title, magnet, site, size, popularity and date.
void writeJson(std::ostream& out, const ListedRows& rows);

}  // namespace quenbo::app
