#include "sites/hosts_editing.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "base/encoding.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "base/program_files.h"
#include "sites/site_catalogue.h"

namespace quenbo::sites {

namespace {

constexpr std::string_view kSkrbt = "Skrbt";

// The sites a key serves, joined with "、".
Text sitesUsing(HostSource source) {
  Text names;
  for (const SiteRow& row : SiteCatalogue::rows()) {
    if (row.host != source) continue;
    if (!names.empty()) names += "、"_gbk;
    names += utf8ToGbk(row.label);
  }
  return names;
}

int firstSiteUsing(HostSource source) {
  for (const SiteRow& row : SiteCatalogue::rows()) {
    if (row.host == source) return row.index;
  }
  return -1;
}

HostsRow keyRow(std::string section, std::string key, bool withScheme, Text sites, int site) {
  HostsRow row;
  row.section = std::move(section);
  row.key = std::move(key);
  row.withScheme = withScheme;
  row.sites = std::move(sites);
  row.site = site;
  return row;
}

// Every key the editor knows: the sites with their own host, the two APIs, then the marker,
// board and service keys (those only when a file holds them).
std::vector<HostsRow> knownKeys() {
  std::vector<HostsRow> rows;
  for (const SiteRow& site : SiteCatalogue::rows()) {
    if (site.host != HostSource::own) continue;
    rows.push_back(keyRow("sites", std::string(site.label), site.label == kSkrbt,
                          utf8ToGbk(site.label), site.index));
  }
  rows.push_back(keyRow("apis", "A", false, sitesUsing(HostSource::apiA),
                        firstSiteUsing(HostSource::apiA)));
  rows.push_back(keyRow("apis", "B", false, sitesUsing(HostSource::apiB),
                        firstSiteUsing(HostSource::apiB)));
  for (const SiteRow& site : SiteCatalogue::rows()) {
    if (site.host != HostSource::own) continue;
    rows.push_back(keyRow("markers", std::string(site.label), false, utf8ToGbk(site.label),
                          site.index));
  }
  rows.push_back(keyRow("board", "host", false, "院线热映"_gbk, -1));
  rows.push_back(keyRow("service", "update", true, "软件更新"_gbk, -1));
  return rows;
}

bool optionalSection(const HostsRow& row) {
  return row.section == "markers" || row.section == "board" || row.section == "service";
}

std::optional<IniFile> readIni(const std::filesystem::path& path, ReadRefusal& refusal) {
  std::optional<Bytes> content = readFile(path, refusal);
  if (!content) return std::nullopt;
  return IniFile(std::move(*content));
}

std::optional<IniFile> readIni(const std::filesystem::path& path) {
  ReadRefusal refusal;
  return readIni(path, refusal);
}

// Why a file that is there could not be read.
std::string refusalReason(ReadRefusal refusal) {
  switch (refusal) {
    case ReadRefusal::notRegularFile:
      return ": not a regular file";
    case ReadRefusal::tooLarge:
      return ": larger than 4 MiB";
    case ReadRefusal::cannotOpen:
      return ": it cannot be opened (no permission?)";
    case ReadRefusal::cannotRead:
      return ": a read failed";
    default:
      return "";
  }
}

}  // namespace

HostsEditing::HostsEditing(std::vector<HostsFile> files, std::filesystem::path localFile)
    : files_(std::move(files)), localFile_(std::move(localFile)) {
  load();
}

std::filesystem::path HostsEditing::userHostsFile() {
  std::filesystem::path config = userConfigDirectory();
  return config.empty() ? config : config / "quenbo" / kLocalHostsFileName;
}

void HostsEditing::load() {
  rows_ = knownKeys();
  std::vector<bool> held(rows_.size(), false);
  for (std::size_t f = 0; f < files_.size(); ++f) {
    std::optional<IniFile> file = readIni(files_[f].path);
    if (!file) continue;
    for (std::size_t r = 0; r < rows_.size(); ++r) {
      HostsRow& row = rows_[r];
      Text key = utf8ToGbk(row.key);
      if (!file->contains(row.section, key)) continue;
      row.value = file->wholeValue(row.section, key);
      row.source = files_[f].path;
      if (f == 0) row.shipped = row.value;
      held[r] = true;
    }
  }
  // A marker, board or service key no file holds is not offered: the site uses its own host.
  std::vector<HostsRow> kept;
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    if (held[r] || !optionalSection(rows_[r])) kept.push_back(std::move(rows_[r]));
  }
  rows_ = std::move(kept);
}

void HostsEditing::setValue(std::size_t row, const Text& value) {
  if (row >= rows_.size()) return;
  rows_[row].value = value;
  rows_[row].edited = true;
}

std::string HostsEditing::problem(std::size_t row) const {
  if (row >= rows_.size()) return {};
  const HostsRow& r = rows_[row];
  // Only a site's own key and the APIs may list mirrors.
  return hostValueProblem(r.value, r.withScheme, r.section == "sites" || r.section == "apis");
}

bool HostsEditing::edited() const {
  return std::ranges::any_of(rows_, &HostsRow::edited);
}

bool HostsEditing::savable() const {
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    if (rows_[r].edited && !problem(r).empty()) return false;
  }
  return !localFile_.empty();
}

SiteHosts HostsEditing::hosts() const {
  IniFile file(Bytes("\xEF\xBB\xBF"));  // UTF-8, as the hosts files are
  for (const HostsRow& row : rows_) file.setValue(row.section, utf8ToGbk(row.key), row.value);
  SiteHosts hosts;
  hosts.read(file.content());
  return hosts;
}

bool HostsEditing::save(std::string& error) {
  if (localFile_.empty()) {
    error = "no configuration directory to write the hosts file into (HOME is not set)";
    return false;
  }
  if (!savable()) {
    error = "a changed value is not a host";
    return false;
  }
  std::optional<IniFile> local;
  std::error_code missing;
  if (std::filesystem::symlink_status(localFile_, missing).type() !=
      std::filesystem::file_type::not_found) {
    ReadRefusal refusal = ReadRefusal::none;
    local = readIni(localFile_, refusal);
    if (!local) {
      // Never overwrite a file that could not be read with a few keys.
      error = "cannot read " + localFile_.string() + refusalReason(refusal) + "; nothing was saved";
      return false;
    }
  } else {
    local = IniFile(Bytes("\xEF\xBB\xBF; Hosts of the search sites set in the hosts editor; keys "
                          "here win over the shipped sites.hosts.\n"));
  }
  for (const HostsRow& row : rows_) {
    if (!row.edited) continue;
    Text key = utf8ToGbk(row.key);
    // A key changed back to the shipped value is still written when this file holds it, or
    // its old value here would keep winning.
    if (row.value != row.shipped || local->contains(row.section, key)) {
      local->setValue(row.section, key, row.value);
    }
  }
  std::error_code reason;
  if (!makeDirectories(localFile_.parent_path()) ||
      !replaceFile(localFile_, local->content(), reason)) {
    error = "cannot write " + localFile_.string() + (reason ? ": " + reason.message() : "");
    return false;
  }
  load();
  return true;
}

}  // namespace quenbo::sites
