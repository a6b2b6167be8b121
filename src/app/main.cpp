// Process entry of the quenbo executable: picks the front-end and hands over.
#include "app/gui_entry.h"

int main(int argc, char** argv) {
  return quenbo::runGui(argc, argv);
}
