// The graphical front-end's entry, defined by the Qt front-end when it is built and by a
// fallback that explains its absence otherwise.
#pragma once

namespace quenbo {

// Runs the program with its windows until the main window is gone; returns the exit code.
int runGui(int argc, char** argv);

}  // namespace quenbo
