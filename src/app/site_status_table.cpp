#include "app/site_status_table.h"

#include <nlohmann/json.hpp>
#include <ostream>

#include "app/result_output.h"
#include "base/encoding.h"
#include "core/site_table.h"

namespace quenbo::app {

namespace {

std::string labelOf(int site) {
  return site >= 0 && site < core::kSiteCount
             ? std::string(core::kSites[static_cast<std::size_t>(site)].label)
             : std::string();
}

}  // namespace

SiteStatusRow statusRow(const sites::SiteCheck& check) {
  return {labelOf(check.site),
          gbkToUtf8(check.host),
          gbkToUtf8(sites::siteVerdictText(check.verdict)),
          gbkToUtf8(check.status.empty() ? check.reason : check.status),
          check.elapsedMs,
          check.hits};
}

SiteStatusRow statusRow(const core::SiteReport& report) {
  return {labelOf(report.site),
          gbkToUtf8(report.mirror),
          gbkToUtf8(core::siteStateText(report.state, report.page)),
          gbkToUtf8(report.reason),
          report.elapsedMs,
          report.hitsFound,
          report.hitsListed};
}

void writeSiteStatusTable(std::ostream& out, const std::vector<SiteStatusRow>& rows, bool json) {
  if (json) {
    auto array = nlohmann::ordered_json::array();
    for (const SiteStatusRow& row : rows) {
      nlohmann::ordered_json item;
      item["site"] = row.label;
      item["host"] = row.host;
      item["verdict"] = row.verdict;
      item["status"] = row.status;
      item["ms"] = row.elapsedMs;
      item["hits"] = row.hits;
      if (row.listed >= 0) item["listed"] = row.listed;
      array.push_back(std::move(item));
    }
    out << array.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return;
  }
  for (const SiteStatusRow& row : rows) {
    out << withoutControls(row.label) << '\t' << withoutControls(row.host) << '\t'
        << withoutControls(row.verdict) << '\t' << withoutControls(row.status) << '\t'
        << row.elapsedMs << '\t' << row.hits;
    if (row.listed >= 0) out << '\t' << row.listed;
    out << '\n';
  }
}

}  // namespace quenbo::app
