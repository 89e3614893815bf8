// Label tips of a list: a cell too narrow for its text shows the whole text
// in a tip over the cell while the pointer rests on it, so a long directory
// can be read without widening its column. The layer draws the tips itself
// (a tracking tooltip), the same on every system.
#pragma once

#include <windows.h>

#include "ui/controls/layer_internal.h"

namespace vudo::layer {

// Gives `list` its tip window.
void AttachLabelTips(ControlRecord& list);
// Follows the pointer over the list: called with every message the list gets.
void FollowLabelTip(ControlRecord& list, UINT message, LPARAM lparam);

}  // namespace vudo::layer
