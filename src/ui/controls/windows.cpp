// Top-level windows: opening, geometry, showing and hiding.
#include <string>

#include "ui/controls/layer_internal.h"
#include "ui/controls/control_layer.h"

namespace vudo {
namespace {

std::string ClassNameFor(int number) { return "Vudo.Window." + std::to_string(number); }

DWORD StyleFor(unsigned options) {
  DWORD style = 0;
  if (options & kWindowTitleBar) style |= WS_CAPTION;
  if (options & kWindowSystemMenu) style |= WS_SYSMENU;
  if (options & kWindowSizingBorder) style |= WS_THICKFRAME;
  if (options & kWindowMinimizeBox) style |= WS_MINIMIZEBOX;
  if (options & kWindowMaximizeBox) style |= WS_MAXIMIZEBOX;
  if (options & kWindowMaximized) style |= WS_MAXIMIZE;
  // The platform gives every overlapped window a caption whatever it is asked
  // for, so the frame is measured with one: the inner size then comes out as
  // asked.
  return style | WS_CAPTION;
}

HACCEL CreateTabAccelerators() {
  ACCEL keys[2] = {
      {FVIRTKEY, VK_TAB, static_cast<WORD>(kCommandNextTabStop)},
      {FVIRTKEY | FSHIFT, VK_TAB, static_cast<WORD>(kCommandPreviousTabStop)},
  };
  return CreateAcceleratorTableA(keys, 2);
}

}  // namespace

void layer::DropWindow(int number) {
  auto it = layer::windows.find(number);
  if (it == layer::windows.end()) return;
  const layer::WindowRecord record = it->second;
  layer::windows.erase(it);
  if (record.handle && IsWindow(record.handle)) DestroyWindow(record.handle);
  if (record.accelerators) DestroyAcceleratorTable(record.accelerators);
  UnregisterClassA(record.class_name.c_str(), layer::Instance());
}

POINT CentreIn(SIZE& outer, SIZE area) {
  if (outer.cx > area.cx) outer.cx = area.cx;
  if (outer.cy > area.cy) outer.cy = area.cy;
  return POINT{(area.cx - outer.cx) / 2, (area.cy - outer.cy) / 2};
}

HWND WindowOpen(int number, int x, int y, int inner_width, int inner_height, std::string_view title,
                unsigned options, HWND parent) {
  if (number < 0) return nullptr;
  StartControlLayer();
  layer::DropWindow(number);

  layer::WindowRecord record;
  record.class_name = ClassNameFor(number);
  // A class left behind by a window destroyed from outside would make the
  // registration fail.
  UnregisterClassA(record.class_name.c_str(), layer::Instance());
  WNDCLASSA window_class{};
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = layer::LayerWindowProc;
  window_class.hInstance = layer::Instance();
  window_class.hIcon = layer::ProgramIcon();
  window_class.hCursor = layer::ArrowCursor();
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = record.class_name.c_str();
  if (!RegisterClassA(&window_class)) return nullptr;

  const DWORD style = StyleFor(options);
  RECT frame{0, 0, inner_width, inner_height};
  AdjustWindowRect(&frame, style, FALSE);
  SIZE outer{frame.right - frame.left, frame.bottom - frame.top};

  if (options & kWindowCentredOnScreen) {
    const POINT at = CentreIn(outer, SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    x = at.x;
    y = at.y;
  } else if ((options & kWindowCentredOnParent) && (parent || GetActiveWindow())) {
    RECT area{};
    GetWindowRect(parent ? parent : GetActiveWindow(), &area);
    x = area.left + (area.right - area.left - outer.cx) / 2;
    y = area.top + (area.bottom - area.top - outer.cy) / 2;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
  } else if (x == KeepCurrent || y == KeepCurrent) {
    x = y = CW_USEDEFAULT;
  }

  const std::string title_text(title);
  record.handle = CreateWindowExA(0, record.class_name.c_str(), title_text.c_str(), style, x, y, outer.cx,
                                  outer.cy, parent, nullptr, layer::Instance(), nullptr);
  if (!record.handle) {
    UnregisterClassA(record.class_name.c_str(), layer::Instance());
    return nullptr;
  }
  record.accelerators = CreateTabAccelerators();
  layer::windows[number] = record;
  if (!(options & kWindowHidden)) ShowWindow(record.handle, (options & kWindowMaximized) ? SW_MAXIMIZE : SW_SHOWNORMAL);
  return record.handle;
}

HWND WindowHandle(int number) {
  auto it = layer::windows.find(number);
  return it == layer::windows.end() ? nullptr : it->second.handle;
}

int WindowInnerWidth(int number) {
  RECT client{};
  const HWND window = WindowHandle(number);
  if (!window || !GetClientRect(window, &client)) return 0;
  return client.right - client.left;
}

int WindowInnerHeight(int number) {
  RECT client{};
  const HWND window = WindowHandle(number);
  if (!window || !GetClientRect(window, &client)) return 0;
  return client.bottom - client.top + (GetMenu(window) ? GetSystemMetrics(SM_CYMENU) : 0);
}

void WindowSetHidden(int number, bool hidden) {
  const HWND window = WindowHandle(number);
  if (!window) return;
  if (hidden) {
    // Hand activation to the owner first, so that hiding an owned window does
    // not leave the program without an active window.
    if (const HWND owner = GetWindow(window, GW_OWNER)) SetActiveWindow(owner);
    ShowWindow(window, SW_HIDE);
  } else {
    const layer::WindowRecord* record = layer::FindWindowRecord(window);
    const bool maximized = IsZoomed(window) || (record && record->show_maximized);
    ShowWindow(window, maximized ? SW_MAXIMIZE : SW_SHOWNORMAL);
  }
}

bool WindowFrame(int number, RECT& normal, bool& maximized) {
  const HWND window = WindowHandle(number);
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!window || !GetWindowPlacement(window, &placement)) return false;
  normal = placement.rcNormalPosition;
  maximized = placement.showCmd == SW_SHOWMAXIMIZED || IsZoomed(window);
  return true;
}

void WindowSetFrame(int number, const RECT& normal, bool maximized) {
  const HWND window = WindowHandle(number);
  auto it = layer::windows.find(number);
  if (!window || it == layer::windows.end()) return;
  it->second.show_maximized = maximized;
  const int width = normal.right - normal.left, height = normal.bottom - normal.top;
  // A monitor that was there when the place was saved may be gone now.
  if (MonitorFromRect(&normal, MONITOR_DEFAULTTONULL)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    placement.rcNormalPosition = normal;
    placement.showCmd = IsWindowVisible(window) ? SW_SHOWNORMAL : SW_HIDE;
    SetWindowPlacement(window, &placement);
  } else {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace vudo
