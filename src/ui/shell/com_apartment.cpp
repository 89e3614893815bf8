#include "ui/shell/com_apartment.h"

#include <windows.h>
#include <objbase.h>

namespace vudo {

void EnsureComApartment() {
  static bool done = false;
  if (done) return;
  done = true;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

}  // namespace vudo
