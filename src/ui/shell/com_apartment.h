// COM for the shell services. The folder dialog and the shell's "Open" verb
// are COM underneath and need their thread in a single-threaded apartment.
#pragma once

namespace vudo {

// The first call puts its thread in a single-threaded apartment, which lasts
// as long as the process; later calls do nothing, since the shell services
// run on the one user-interface thread.
void EnsureComApartment();

}  // namespace vudo
