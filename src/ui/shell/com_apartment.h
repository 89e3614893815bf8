// COM for the shell services. The folder dialog, the shell's "Open" verb and
// its context menu are COM underneath and need their thread in a
// single-threaded apartment; dragging a file out, and the menu's Copy, need
// OLE on top of it.
#pragma once

namespace vudo {

// The first call puts its thread in a single-threaded apartment with OLE,
// which lasts as long as the process; later calls do nothing, since the shell
// services run on the one user-interface thread.
void EnsureComApartment();

}  // namespace vudo
