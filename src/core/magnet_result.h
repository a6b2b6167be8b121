// One hit as a site adapter reports it.
#pragma once

#include "base/text.h"

namespace quenbo::core {

// Six GBK texts, always in this order. Only `size`, `magnet` and `title` are ever
// interpreted; the others are carried as text.
struct MagnetResult {
  Text title;   // resource title, already cleaned by the adapter
  Text magnet;  // "magnet:?xt=urn:btih:" followed by the info hash
  Text site;    // label of the adapter that found the hit
  Text size;    // a number followed by "KB", "MB" or "GB", as the site shows it
  Text heat;    // popularity, site-specific
  Text date;    // date, site-specific
  bool operator==(const MagnetResult&) const = default;
};

}  // namespace quenbo::core
