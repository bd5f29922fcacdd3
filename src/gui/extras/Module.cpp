// The entry point of pelmora-extras.so, which the window program loads on first use.
#include "gui/Extras.h"

extern "C" __attribute__((visibility("default"))) const pelmora::gui::extras::Table* pelmora_extras_table() {
  return pelmora::gui::extras::LinkedParts();
}
