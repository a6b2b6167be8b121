#include "sites/site_hosts.h"

#include "base/encoding.h"
#include "base/files.h"
#include "base/ini_file.h"

namespace quenbo {

namespace {

constexpr std::string_view kSkrbt = "Skrbt";

bool isHostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == ':' || c == '[' || c == ']';
}

// host, host:port or [v6]:port; nothing that would change the URL around it.
bool isHost(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!isHostCharacter(c)) return false;
  }
  return true;
}

std::string_view schemeOf(std::string_view value) {
  for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
    if (lowerAscii(value.substr(0, scheme.size())) == scheme) return value.substr(0, scheme.size());
  }
  return {};
}

}  // namespace

void SiteHosts::take(const IniFile& file, std::string_view section, std::string_view key,
                     bool withScheme, Text& slot) {
  Text gbkKey = utf8ToGbk(key);
  if (!file.contains(section, gbkKey)) return;
  Text value = file.value(section, gbkKey);
  // A bare host where a scheme belongs is taken as an https one.
  if (withScheme && !value.empty() && schemeOf(value).empty()) value = "https://" + value;
  std::string_view host = value;
  if (withScheme) host.remove_prefix(schemeOf(value).size());
  if (value.empty() || isHost(host)) {
    slot = value;
    return;
  }
  slot.clear();
  problems_.push_back("[" + std::string(section) + "] " + std::string(key) + ": \"" +
                      gbkToUtf8(value) + "\" is not a host" +
                      (withScheme ? " (http:// or https:// followed by host or host:port)"
                                  : " (host or host:port, without scheme or slash)") +
                      "; the site is switched off");
}

void SiteHosts::read(std::string_view fileText) {
  IniFile file{Bytes(fileText)};
  for (const SiteRow& row : SiteCatalogue::rows()) {
    if (row.host != HostSource::own) continue;
    auto index = static_cast<std::size_t>(row.index);
    take(file, "sites", row.label, row.label == kSkrbt, sites_[index]);
    take(file, "markers", row.label, false, markers_[index]);
  }
  take(file, "apis", "A", false, apiA_);
  take(file, "apis", "B", false, apiB_);
}

bool SiteHosts::readFile(const std::filesystem::path& path) {
  std::optional<Bytes> content = quenbo::readFile(path);
  if (!content) {
    problems_.push_back("cannot read the hosts file " + path.string());
    return false;
  }
  read(*content);
  return true;
}

SiteHosts SiteHosts::load(const std::vector<HostsFile>& files) {
  SiteHosts hosts;
  for (const HostsFile& file : files) {
    if (file.required || fileExists(file.path)) hosts.readFile(file.path);
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

Text SiteHosts::baseUrl(int index) const {
  const Text& value = host(index);
  if (value.empty()) return {};
  return Text(SiteCatalogue::row(index).scheme) + value;
}

Text SiteHosts::markerHost(int index) const {
  const Text& marker = markers_[static_cast<std::size_t>(index)];
  return marker.empty() ? host(index) : marker;
}

}  // namespace quenbo
