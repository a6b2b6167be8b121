#include "app/search_options.h"

#include <string_view>

#include "core/site_table.h"

namespace quenbo::app {

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
         "Exit status: 0 when the search ran and a site answered (with hits or none), 1\n"
         "when it could not start or the export could not be written, 2 for a bad command\n"
         "line (a keyword GBK cannot hold among them) or an unreadable --hosts file, 3 when\n"
         "every site that ran failed without a\n"
         "hit (one line on standard error gives each site's reason), 130 when interrupted\n"
         "(the hits so far are printed).\n";
}

}  // namespace quenbo::app
