#include "window/interactions.h"

#include "base/encoding.h"

namespace quenbo::window {

Text defaultMessageTitle() { return "信息："_gbk; }

bool isOpenableLink(const Text& url) {
  return url.starts_with("magnet:") || url.starts_with("http://") || url.starts_with("https://");
}

}  // namespace quenbo::window
