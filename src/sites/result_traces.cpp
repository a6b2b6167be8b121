#include "sites/result_traces.h"

#include "base/encoding.h"

namespace quenbo::sites {

namespace {

bool isAlphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isHexHash(std::string_view run) {
  if (run.size() != 40) return false;
  bool digit = false, letter = false;
  for (char c : run) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) {
      letter = true;
    } else {
      return false;
    }
  }
  return digit && letter;
}

bool isBase32Hash(std::string_view run) {
  if (run.size() != 32) return false;
  bool digit = false, upper = false, lower = false;
  for (char c : run) {
    if (c >= '2' && c <= '7') {
      digit = true;
    } else if (c >= 'A' && c <= 'Z') {
      upper = true;
    } else if (c >= 'a' && c <= 'z') {
      lower = true;
    } else {
      return false;
    }
  }
  return digit && !(upper && lower);
}

}  // namespace

bool holdsResultTraces(std::string_view page) {
  if (lowerAscii(page).find("magnet:?xt=") != std::string::npos) return true;
  std::size_t at = 0;
  while (at < page.size()) {
    if (!isAlphanumeric(page[at])) {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < page.size() && isAlphanumeric(page[end])) ++end;
    std::string_view run = page.substr(at, end - at);
    if (isHexHash(run) || isBase32Hash(run)) return true;
    at = end;
  }
  return false;
}

}  // namespace quenbo::sites
