// The per-site table of `quenbo check-sites` and of `quenbo search --summary`: one row per
// site, as TSV or JSON (UTF-8).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "core/site_report.h"
#include "sites/site_check.h"

namespace quenbo::app {

struct SiteStatusRow {
  std::string label;    // the site's label
  std::string host;     // the host (mirror) used; empty: none
  std::string verdict;  // check: ok, 无结果, ...; summary: the final state (完成, 失败, ...)
  std::string status;   // check: the request's status text; summary: the reason
  std::uint32_t elapsedMs = 0;
  int hits = 0;         // check: hits of page 1; summary: hits found
  int listed = -1;      // summary: hits listed after filter and duplicates; -1: not shown
};

SiteStatusRow statusRow(const sites::SiteCheck& check);
SiteStatusRow statusRow(const core::SiteReport& report);

// TSV: label, host, verdict, status, milliseconds, hits (and listed when known), tab-separated,
// control characters as blanks; JSON: an array of objects with those members.
void writeSiteStatusTable(std::ostream& out, const std::vector<SiteStatusRow>& rows, bool json);

}  // namespace quenbo::app
