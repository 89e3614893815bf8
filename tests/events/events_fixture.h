// Windows for tests of the event binding layer: a top-level window and child
// windows of a class whose own procedure logs what reaches it, and recording
// event procedures.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "events/event_binding.h"
#include "support/window_driving.h"

namespace vudo::testing_events {

// An event as a procedure saw it.
struct Seen {
  char who;  // which recording procedure: 'A' or 'B'
  HWND window;
  std::int32_t code, x, y, button, item, detail;
  std::string text;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  std::size_t arrived_before;  // messages the windows' own procedures had had by then
};
extern std::vector<Seen> seen;

// A message as the window's own procedure received it.
struct Arrived;
extern std::vector<Arrived> arrived;
struct Arrived {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};
extern std::vector<Arrived> arrived;

std::int32_t RecordA(EventRecord* record);  // returns EVT_DEFAULT
std::int32_t RecordB(EventRecord* record);  // returns EVT_DEFAULT

// The logging window procedure and its class.
LRESULT CALLBACK OwnProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
constexpr const char* kClass = "VudoEventsTest";

// Messages of one kind that reached the window's own procedure.
int ArrivedCount(HWND window, UINT message);

class EventsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  HWND Child(int id, int x, int y, int width, int height, const char* window_class = kClass, DWORD style = 0,
             const char* text = "");

  HWND top_ = nullptr;
};

}  // namespace vudo::testing_events
