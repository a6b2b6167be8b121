// The host each site's runs try first: once a mirror has answered a run's page 1, every later
// run of the process starts with it. Shared by every thread of the process.
#pragma once

#include <vector>

#include "base/text.h"

namespace quenbo::sites {

// The host that last answered page 1 for the site; empty when none has yet.
Text rememberedMirror(int site);
void rememberMirror(int site, const Text& host);
// Forgets every choice (tests, and a hosts file saved anew).
void forgetMirrors();

// The order a run tries `hosts` in: the remembered one first when it is still listed, then
// the others as listed. Gives positions into `hosts`.
std::vector<std::size_t> mirrorOrder(int site, const std::vector<Text>& hosts);

}  // namespace quenbo::sites
