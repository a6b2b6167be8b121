// The program built without its Qt front-end has no window to show.
#include <cstdio>

#include "app/gui_entry.h"

namespace quenbo {

int runGui(int, char**) {
  std::fprintf(stderr, "quenbo: this build has no graphical front-end (QUENBO_WITH_QT is OFF)\n");
  return 1;
}

}  // namespace quenbo
