// "quenbo search": one search on the engine, with the same settings file, sites and filter as
// the window, and the hits printed when it ends.
#pragma once

#include <atomic>
#include <filesystem>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "base/stop_bell.h"
#include "base/text.h"

namespace quenbo::app {

inline constexpr int kExitCannotStart = 1;
inline constexpr int kExitOutputFailed = 1;  // the hits could not be written
inline constexpr int kExitUsage = 2;
// Every site that ran failed (refused, no answer, TLS, time-out, ...), none gave a hit: the
// status check-sites gives for a failing site.
inline constexpr int kExitNothingSearched = 3;
inline constexpr int kExitInterrupted = 130;

// `arguments` are those after "search". `installDirectory` is the executable's directory,
// from which the hosts files and Clss.ini are found (unless --settings names another). When
// `interrupted` becomes true the search is stopped as the stop button would, and the hits
// found so far are printed; `interruptBell`, when given, is rung when it turns true. With
// `progressLine` (standard error is a terminal) one live line there shows the progress,
// unless --log or --quiet is given.
// Why the command cannot search for `keyword` (UTF-8): one line naming the characters GBK
// cannot hold; empty when it can.
std::string keywordProblem(std::string_view command, const std::string& keyword);

int runSearchCommand(std::span<const char* const> arguments,
                     const std::filesystem::path& installDirectory, std::ostream& out,
                     std::ostream& err, const std::atomic<bool>* interrupted = nullptr,
                     bool progressLine = false, StopBell* interruptBell = nullptr);

}  // namespace quenbo::app
