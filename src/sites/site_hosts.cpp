#include "sites/site_hosts.h"

#include <algorithm>

#include "base/encoding.h"
#include "base/files.h"
#include "base/ini_file.h"

namespace quenbo::sites {

namespace {

constexpr std::string_view kSkrbt = "Skrbt";

bool isHostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == ':' || c == '[' || c == ']';
}

// The longest host name DNS can carry.
constexpr std::size_t kLongestName = 253;

// Digits only, 1 to 65535.
bool isPort(std::string_view text) {
  if (text.empty() || text.size() > 5) return false;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value >= 1 && value <= 65535;
}

// host, host:port, [v6] or [v6]:port; nothing that would change the URL around it, and
// nothing libcurl could not connect to.
bool isHost(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!isHostCharacter(c)) return false;
  }
  std::string_view name = text, port;
  bool hasPort = false;
  if (text.front() == '[') {
    std::size_t close = text.find(']');
    if (close == std::string_view::npos || close < 2) return false;
    name = text.substr(1, close - 1);
    if (name.find_first_not_of("0123456789abcdefABCDEF:.") != std::string_view::npos) {
      return false;
    }
    std::string_view rest = text.substr(close + 1);
    if (!rest.empty() && rest.front() != ':') return false;
    hasPort = !rest.empty();
    if (hasPort) port = rest.substr(1);
  } else {
    if (text.find_first_of("[]") != std::string_view::npos) return false;
    std::size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
      name = text.substr(0, colon);
      port = text.substr(colon + 1);
      hasPort = true;
    }
  }
  if (name.empty() || name.size() > kLongestName) return false;
  return !hasPort || isPort(port);
}

std::string_view schemeOf(std::string_view value) {
  for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
    if (lowerAscii(value.substr(0, scheme.size())) == scheme) return value.substr(0, scheme.size());
  }
  return {};
}

// The value as stored: each host with its scheme where one belongs (a bare one as https),
// joined by ",". Call only for a value without problem.
Text normalizedValue(std::string_view value, bool withScheme) {
  std::vector<Text> parts = splitHostList(value);
  Text out;
  for (const Text& part : parts) {
    if (!out.empty()) out += ',';
    out += withScheme && schemeOf(part).empty() ? "https://" + part : part;
  }
  return out;
}

}  // namespace

std::vector<Text> splitHostList(std::string_view value) {
  std::vector<Text> parts;
  while (!value.empty()) {
    std::size_t comma = value.find(',');
    std::string_view part = value.substr(0, comma);
    value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
    while (!part.empty() && (part.front() == ' ' || part.front() == '\t')) part.remove_prefix(1);
    while (!part.empty() && (part.back() == ' ' || part.back() == '\t')) part.remove_suffix(1);
    if (!part.empty()) parts.emplace_back(part);
  }
  return parts;
}

std::string hostValueProblem(std::string_view value, bool withScheme, bool severalAllowed) {
  if (value.empty()) return {};
  const std::string shown = "\"" + gbkToUtf8(value) + "\"";
  const char* rule = withScheme ? " (http:// or https:// followed by host or host:port)"
                                : " (host or host:port, without scheme or slash)";
  std::size_t commas = static_cast<std::size_t>(std::count(value.begin(), value.end(), ','));
  if (commas > 0 && !severalAllowed) return shown + " lists several hosts; this key takes one";
  std::vector<Text> parts = splitHostList(value);
  if (parts.size() != commas + 1) return shown + " has an empty host between its commas";
  for (const Text& part : parts) {
    std::string_view host = part;
    if (withScheme) host.remove_prefix(schemeOf(part).size());
    if (isHost(host)) continue;
    return (parts.size() > 1 ? shown + ": \"" + gbkToUtf8(part) + "\"" : shown) +
           " is not a host" + rule;
  }
  return {};
}

void SiteHosts::take(const IniFile& file, std::string_view section, std::string_view key,
                     bool withScheme, bool severalAllowed, Text& slot) {
  Text gbkKey = utf8ToGbk(key);
  if (!file.contains(section, gbkKey)) return;
  // Never cut: a cut inside a list of mirrors would drop hosts or blame the wrong one.
  Text value = file.wholeValue(section, gbkKey);
  std::string problem = hostValueProblem(value, withScheme, severalAllowed);
  if (problem.empty()) {
    slot = normalizedValue(value, withScheme);
    return;
  }
  slot.clear();
  problems_.push_back("[" + std::string(section) + "] " + std::string(key) + ": " + problem +
                      (section == "board"     ? "; the film board is switched off"
                       : section == "service" ? "; no update service is asked"
                                              : "; the site is switched off"));
}

void SiteHosts::read(std::string_view fileText) {
  IniFile file{Bytes(fileText)};
  for (const SiteRow& row : SiteCatalogue::rows()) {
    if (row.host != HostSource::own) continue;
    auto index = static_cast<std::size_t>(row.index);
    take(file, "sites", row.label, row.label == kSkrbt, true, sites_[index]);
    take(file, "markers", row.label, false, false, markers_[index]);
  }
  take(file, "apis", "A", false, true, apiA_);
  take(file, "apis", "B", false, true, apiB_);
  take(file, "board", "host", false, false, board_);
  take(file, "service", "update", true, false, updateService_);
  if (file.contains("network", "reuse")) {
    Text reuse = file.value("network", "reuse");
    if (reuse == "0" || reuse == "1") {
      reuseConnections_ = reuse == "1";
    } else {
      problems_.push_back("[network] reuse: \"" + gbkToUtf8(reuse) +
                          "\" is neither 0 nor 1; it is left as it was");
    }
  }
}

std::string hostsFileProblem(const std::filesystem::path& path, ReadRefusal refusal) {
  std::string problem = "cannot read the hosts file " + path.string();
  switch (refusal) {
    case ReadRefusal::notRegularFile:
      return problem + ": not a regular file; its hosts are not used";
    case ReadRefusal::tooLarge:
      return problem + ": larger than 4 MiB; its hosts are not used";
    default:
      return problem;
  }
}

bool SiteHosts::readFile(const std::filesystem::path& path) {
  ReadRefusal refusal;
  std::optional<Bytes> content = quenbo::readFile(path, refusal);
  if (!content) {
    problems_.push_back(hostsFileProblem(path, refusal));
    return false;
  }
  read(*content);
  return true;
}

SiteHosts SiteHosts::load(const std::vector<HostsFile>& files) {
  SiteHosts hosts;
  for (const HostsFile& file : files) {
    // A file that is not required is read when anything is there (a link is followed): a
    // directory, a FIFO or a device in its place is a problem to show, not nothing.
    std::error_code missing;
    if (file.required || std::filesystem::exists(file.path, missing)) hosts.readFile(file.path);
  }
  return hosts;
}

SiteHosts SiteHosts::load(const std::filesystem::path& directory,
                          const std::filesystem::path& extraFile) {
  return load(hostsFileOrder(directory, extraFile));
}

const Text& SiteHosts::host(int index) const {
  switch (SiteCatalogue::row(index).host) {
    case HostSource::apiA:
      return apiA_;
    case HostSource::apiB:
      return apiB_;
    default:
      return sites_[static_cast<std::size_t>(index)];
  }
}

std::vector<Text> SiteHosts::hosts(int index) const { return splitHostList(host(index)); }

Text SiteHosts::baseUrl(int index) const {
  std::vector<Text> all = hosts(index);
  return all.empty() ? Text() : baseUrl(index, all.front());
}

Text SiteHosts::baseUrl(int index, const Text& host) const {
  if (host.empty()) return {};
  return Text(SiteCatalogue::row(index).scheme) + host;
}

Text SiteHosts::markerHost(int index) const {
  std::vector<Text> all = hosts(index);
  return markerHost(index, all.empty() ? Text() : all.front());
}

Text SiteHosts::markerHost(int index, const Text& host) const {
  const Text& marker = markers_[static_cast<std::size_t>(index)];
  return marker.empty() ? host : marker;
}

}  // namespace quenbo::sites
