// What a site answers after it has changed its markup: a valid page of the same results, but
// in markup no site adapter knows, so nothing is cut while info hashes and magnet links
// remain. HTML sites get an HTML page, JSON sites a JSON answer whose list has a new name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "site_simulator/site_content.h"

namespace quenbo::simulator {

std::string redesignedHtmlPage(std::string_view keyword, const std::vector<SimulatedItem>& items);
std::string redesignedJsonAnswer(const std::vector<SimulatedItem>& items);

}  // namespace quenbo::simulator
