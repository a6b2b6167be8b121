// "quenbo update": the update check and the self-update without windows, through the same
// service client, file rows and update run as the update window.
#pragma once

#include <iosfwd>
#include <span>

#include "base/text.h"

namespace quenbo::app {

inline constexpr int kExitUpdatesListed = 10;

// `arguments` are those after "update": "--check" only lists (exit 0 nothing due, 10
// updates listed, 1 check failed); without it the updates are applied where the
// installation may update itself, with progress printed (exit 0 done, 1 failed or not
// allowed). "--restart" starts the program again afterwards; "--hosts FILE" as for search.
int runUpdateCommand(std::span<const char* const> arguments, const Text& installDirectory,
                     std::ostream& out, std::ostream& err);

}  // namespace quenbo::app
