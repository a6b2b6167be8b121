// "quenbo update": the update check and the self-update without windows, through the same
// service client, file rows and update run as the update window.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <span>

namespace quenbo::app {

inline constexpr int kExitUpdatesListed = 10;

// `arguments` are those after "update": "--check" only lists (exit 0 nothing due, 10
// updates listed, 1 check failed); without it the updates are applied where the
// installation may update itself, with progress printed (exit 0 done, 1 failed or not
// allowed). "--restart" starts the program again afterwards; "--hosts FILE" as for search
// (2 when it cannot be read, as for a bad command line); "--help" prints the usage.
int runUpdateCommand(std::span<const char* const> arguments,
                     const std::filesystem::path& installDirectory,
                     std::ostream& out, std::ostream& err);

const char* updateUsage();

}  // namespace quenbo::app
