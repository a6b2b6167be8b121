// What the hosts editor edits: every key of the hosts files with the value the program uses
// and the file that value comes from. Edited values are checked with the reader's own rule
// (hostValueProblem); saving writes the user's hosts file (sites.hosts.local in the user's
// configuration directory), which the program reads after the shipped and machine files, so
// the next search uses it. No toolkit here: the dialog draws these rows.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "base/text.h"
#include "sites/hosts_files.h"
#include "sites/site_hosts.h"

namespace quenbo::sites {

struct HostsRow {
  std::string section;   // "sites", "apis", "markers", "board" or "service"
  std::string key;       // UTF-8, as the files spell it
  bool withScheme = false;  // the value carries http:// or https://
  Text sites;            // GBK: the sites that use the value ("种子搜、BT蚂蚁" for an API)
  int site = -1;         // the site a check of this row asks; -1: none (board, service)
  Text value;            // GBK: as edited, or as the files give it
  Text shipped;          // GBK: the shipped file's value; empty when it has none
  std::filesystem::path source;  // the file the value comes from; empty: none holds the key
  bool edited = false;   // changed in the editor since the last load or save
};

class HostsEditing final {
 public:
  // Reads `files` in the program's order; the first is the shipped file. Saving writes
  // `localFile`, which should be one of `files` (an empty path: saving is refused).
  HostsEditing(std::vector<HostsFile> files, std::filesystem::path localFile);

  // The user's file of the running program: quenbo/sites.hosts.local in the user's
  // configuration directory; empty when there is none.
  static std::filesystem::path userHostsFile();

  const std::vector<HostsRow>& rows() const { return rows_; }
  const std::filesystem::path& localFile() const { return localFile_; }

  // Re-reads every file; edits are dropped.
  void load();
  void setValue(std::size_t row, const Text& value);
  // Why the row's value cannot be taken (UTF-8), empty when it can.
  std::string problem(std::size_t row) const;
  // Whether anything was edited, and whether every edited value can be taken.
  bool edited() const;
  bool savable() const;

  // The hosts as the rows stand now (what a check of one row asks).
  SiteHosts hosts() const;

  // Writes the edited keys whose value differs from the shipped file's, and those the
  // user's file already holds, into the user's file as one atomic replacement; its other
  // lines (comments, unknown keys) stay. Then reads every file again, so `source` shows
  // which file now decides each key. False, with the reason (UTF-8), when nothing could be
  // written; the files are then as they were.
  [[nodiscard]] bool save(std::string& error);

 private:
  std::vector<HostsFile> files_;
  std::filesystem::path localFile_;
  std::vector<HostsRow> rows_;
};

}  // namespace quenbo::sites
