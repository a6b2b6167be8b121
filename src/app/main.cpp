// Process entry of the quenbo executable.
#include <cstdio>

int main() {
  // The Qt front-end is not part of this build yet; until it is, the program has no
  // window to show.
  std::fprintf(stderr, "quenbo: the graphical front-end is not built yet\n");
  return 1;
}
