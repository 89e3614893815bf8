#include "ui/shell/com_apartment.h"

#include <windows.h>
#include <ole2.h>

namespace vudo {

void EnsureComApartment() {
  static bool done = false;
  if (done) return;
  done = true;
  // OleInitialize enters the single-threaded apartment itself.
  OleInitialize(nullptr);
}

}  // namespace vudo
