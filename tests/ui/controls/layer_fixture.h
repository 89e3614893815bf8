// A fixture for tests of the control layer: window 0 opened through the layer
// and made the control parent; every window, control and menu goes at the end.
#pragma once

#include <gtest/gtest.h>

#include "support/window_driving.h"
#include "ui/controls/control_layer.h"

namespace vudo::testing_windows {

class LayerTest : public ::testing::Test {
 protected:
  static constexpr unsigned kFrame = kWindowTitleBar | kWindowSystemMenu | kWindowSizingBorder;

  void SetUp() override {
    // Messages go through the layer, so its accelerators and its own events
    // take part as they do in the program.
    SetMessageHandler([] { return EventPoll() != 0; });
    window_ = WindowOpen(0, KeepCurrent, KeepCurrent, 300, 300, "Layer test", kFrame | kWindowCentredOnScreen);
    ASSERT_NE(window_, nullptr);
    ASSERT_EQ(ControlParentSet(window_), window_);
  }
  void TearDown() override {
    CloseControlLayer();
    SetMessageHandler(nullptr);
  }

  HWND window_ = nullptr;
};

}  // namespace vudo::testing_windows
