// The window's layout as the tests expect it: where the resize rule puts each
// control for an inner size, at a display scale, and the reads that compare it
// with the real window.
#pragma once

#include <windows.h>

#include <vector>

#include "app/e2e/vudo_driver.h"

namespace vudo::e2e {

struct Place {
  int number, x, y, width, height;  // height -1: not compared
};

// Every control and the status text as the resize rule places them for an
// inner size of w x h at `dpi`, each pixel value of 96 DPI scaled as Windows
// rounds (MulDiv). A width or height below zero reaches the control as it is,
// and the platform shows such a control with no size. The combo box's window
// is only its closed part, so its height is not compared. At 300 x 300 (96
// DPI) this is the layout as created.
std::vector<Place> RuleLayout(int dpi, int w, int h);
// Each control where `places` says, give or take `tolerance` pixels.
void ExpectPlaces(const VudoRun& vudo, const std::vector<Place>& places, int tolerance = 0);
// The outer size that gives the window an inner area of width x height.
SIZE OuterFor(const VudoRun& vudo, int width, int height);
// Sizes the window so that its inner area is width x height, as dragging its
// border would; the layout follows in the program's own time.
void SizeInner(const VudoRun& vudo, int width, int height);
// The smallest rectangle, in control `number`'s client coordinates, that holds
// every pixel of it that differs from its background (the colour of its
// bottom-right pixel): its text as drawn. Empty when nothing is drawn.
RECT InkBounds(const VudoRun& vudo, int number);

}  // namespace vudo::e2e
