// "quenbo board": the films of the film board, as its ten tiles show them, for scripts.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <span>

namespace quenbo::app {

// `arguments` are those after "board". The board's host comes from the hosts files of the
// program in `installDirectory` and --hosts. Prints title, stars, release date, score and poster
// URL of each film, as TSV (UTF-8, one film a line) or with --format=json as a JSON array.
// Returns 0 when films were printed, 1 when there is no board host or no film could be
// read, 2 for a bad command line or an unreadable --hosts file.
int runBoardCommand(std::span<const char* const> arguments,
                    const std::filesystem::path& installDirectory,
                    std::ostream& out, std::ostream& err);

const char* boardUsage();

}  // namespace quenbo::app
