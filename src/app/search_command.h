// "quenbo search": one search without windows, through the same application, search job,
// store and filter as the graphical program, with the hits printed when it ends.
#pragma once

#include <atomic>
#include <iosfwd>
#include <span>

#include "base/text.h"

namespace quenbo::app {

inline constexpr int kExitCannotStart = 1;
inline constexpr int kExitOutputFailed = 1;  // the hits could not be written
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

// `arguments` are those after "search". `installDirectory` (GBK) holds sites.hosts and,
// unless --settings names another, Clss.ini. When `interrupted` becomes true the search is
// stopped as the stop button would, and the hits found so far are printed.
int runSearchCommand(std::span<const char* const> arguments, const Text& installDirectory,
                     std::ostream& out, std::ostream& err,
                     const std::atomic<bool>* interrupted = nullptr);

}  // namespace quenbo::app
