// Taking a window over: procedures stacked on one window each reach the one
// they replaced, the window stays ANSI, and an undone takeover leaves the
// window as it was.
#include "platform/window_procedures.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace vudo::platform {
namespace {

// Which procedures a message passed through, in order.
std::string passed;

LRESULT CALLBACK OwnProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_USER) passed += "own";
  return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT CALLBACK Inner(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_USER) passed += "inner,";
  return CallWindowProcA(ReplacedProcedure(window, Inner), window, message, wparam, lparam);
}

LRESULT CALLBACK Outer(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_USER) passed += "outer,";
  return CallWindowProcA(ReplacedProcedure(window, Outer), window, message, wparam, lparam);
}

class WindowProcedures : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = OwnProc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "VudoWindowProceduresTest";
    RegisterClassA(&window_class);  // fails harmlessly from the second test on
    window_ = CreateWindowExA(0, window_class.lpszClassName, "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    passed.clear();
  }
  void TearDown() override {
    ForgetReplacedProcedure(window_, Outer);
    ForgetReplacedProcedure(window_, Inner);
    DestroyWindow(window_);
  }
  WNDPROC Current() const { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window_, GWLP_WNDPROC)); }

  HWND window_ = nullptr;
};

TEST_F(WindowProcedures, StackedTakeoversEachReachTheProcedureTheyReplaced) {
  EXPECT_EQ(ReplaceWindowProcedure(window_, Inner), OwnProc);
  EXPECT_EQ(ReplaceWindowProcedure(window_, Outer), Inner);
  EXPECT_EQ(Current(), Outer);
  SendMessageA(window_, WM_USER, 0, 0);
  EXPECT_EQ(passed, "outer,inner,own");
  EXPECT_FALSE(IsWindowUnicode(window_));
}

TEST_F(WindowProcedures, AnUndoneTakeoverLeavesTheWindowAsItWas) {
  ASSERT_EQ(ReplaceWindowProcedure(window_, Inner), OwnProc);
  RestoreWindowProcedure(window_, Inner);
  EXPECT_EQ(Current(), OwnProc);
  EXPECT_EQ(ReplacedProcedure(window_, Inner), nullptr);
  SendMessageA(window_, WM_USER, 0, 0);
  EXPECT_EQ(passed, "own");
}

TEST_F(WindowProcedures, AForgottenOrNeverMadeTakeoverHasNoProcedure) {
  ASSERT_EQ(ReplaceWindowProcedure(window_, Inner), OwnProc);
  EXPECT_EQ(ReplacedProcedure(window_, Outer), nullptr);  // another procedure's takeover
  ForgetReplacedProcedure(window_, Inner);
  EXPECT_EQ(ReplacedProcedure(window_, Inner), nullptr);
  KeepReplacedProcedure(window_, Inner, OwnProc);  // as recorded elsewhere
  EXPECT_EQ(ReplacedProcedure(window_, Inner), OwnProc);
}

TEST_F(WindowProcedures, NothingIsTakenOverWithoutAWindow) {
  const HWND gone = reinterpret_cast<HWND>(0x1234);
  EXPECT_EQ(ReplaceWindowProcedure(gone, Inner), nullptr);
  EXPECT_EQ(ReplacedProcedure(gone, Inner), nullptr);
  EXPECT_EQ(ReplaceWindowProcedure(nullptr, Inner), nullptr);
}

}  // namespace
}  // namespace vudo::platform
