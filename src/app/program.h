// The program: Main builds the window, restores the settings, applies the
// first command-line parameter, shows the window and handles events until the
// user closes it, then saves the settings.
#pragma once

namespace vudo {

void Main();

}  // namespace vudo
