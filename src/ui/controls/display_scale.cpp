// Display scale: the DPI of a window's monitor, the controls' font at that
// DPI, and a window's move to a monitor of another scale.
//
// The program declares itself per-monitor aware, so Windows never stretches
// it: every pixel value is the program's to scale. The functions that tell a
// window's DPI came with Windows 10 1607 and are looked up at run time; before
// that, every monitor has the system's DPI.
#include <windows.h>

#include "ui/controls/control_layer.h"
#include "ui/controls/layer_internal.h"

namespace vudo {
namespace {

DpiChangeHandler dpi_change_handler = nullptr;

template <class Function>
Function User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleA("user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

int ScaledTo(int dpi, int pixels) { return dpi == kDefaultDpi ? pixels : MulDiv(pixels, dpi, kDefaultDpi); }

int SystemDpi() {
  static const int dpi = [] {
    if (const auto get = User32Function<UINT(WINAPI*)()>("GetDpiForSystem")) return static_cast<int>(get());
    const HDC screen = GetDC(nullptr);
    const int answer = screen ? GetDeviceCaps(screen, LOGPIXELSX) : kDefaultDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return answer;
  }();
  return dpi > 0 ? dpi : kDefaultDpi;
}

int layer::DpiOf(HWND window) {
  static const auto get = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const int dpi = window && get ? static_cast<int>(get(window)) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

int WindowDpi(int number) { return layer::DpiOf(WindowHandle(number)); }

void WindowSetInnerSize(int number, int width, int height) {
  const HWND window = WindowHandle(number);
  if (!window) return;
  const SIZE frame = WindowFrameAt(number, WindowDpi(number));
  SIZE outer{width + frame.cx, height + frame.cy};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  const RECT& area = monitor.rcMonitor;
  const POINT at = CentreIn(outer, SIZE{area.right - area.left, area.bottom - area.top});
  SetWindowPos(window, nullptr, area.left + at.x, area.top + at.y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE WindowFrameAt(int number, int dpi) {
  static const auto adjust = User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  const HWND window = WindowHandle(number);
  if (!window) return {};
  const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
  const DWORD extended = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
  const BOOL menu = GetMenu(window) != nullptr;
  RECT frame{};
  if (!adjust || !adjust(&frame, style, menu, extended, static_cast<UINT>(dpi))) {
    frame = RECT{};
    AdjustWindowRectEx(&frame, style, menu, extended);
  }
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void ControlFontSetDpi(int dpi) {
  StartControlLayer();
  const HFONT stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HFONT font = stock;
  LOGFONTA face{};
  // The stock font is made for the system's DPI; the same point size at
  // another DPI is its height scaled by the ratio of the two.
  if (dpi != SystemDpi() && GetObjectA(stock, sizeof face, &face) == sizeof face) {
    face.lfHeight = MulDiv(face.lfHeight, dpi, SystemDpi());
    face.lfWidth = MulDiv(face.lfWidth, dpi, SystemDpi());
    if (const HFONT scaled = CreateFontIndirectA(&face)) font = scaled;
  }
  const HFONT old = layer::ControlFont();
  layer::SetControlFont(font);
  for (const auto& [number, record] : layer::controls) {
    if (!record.handle) continue;
    SendMessageA(record.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    RedrawWindow(record.handle, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    // A list's tip shows a cut-off cell in the list's own font.
    if (record.label_tip) SendMessageA(record.label_tip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  if (old && old != stock && old != font) DeleteObject(old);
}

void OnDpiChange(DpiChangeHandler handler) { dpi_change_handler = handler; }

namespace {

// The program's icon in the two sizes a window at `dpi` shows: the title
// bar's and the one of Alt+Tab. The class's icon was taken at the system's.
void SetIconsFor(HWND window, int dpi) {
  static const auto metric = User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  if (!metric) return;
  const struct {
    WPARAM which;
    int size;
  } icons[] = {{ICON_SMALL, metric(SM_CXSMICON, static_cast<UINT>(dpi))},
               {ICON_BIG, metric(SM_CXICON, static_cast<UINT>(dpi))}};
  for (const auto& icon : icons) {
    // Not shared: a shared icon is the first one loaded, whatever its size.
    // The one it replaces was loaded here too; the last go with the window.
    if (const HANDLE image = LoadImageA(layer::Instance(), MAKEINTRESOURCEA(1), IMAGE_ICON, icon.size, icon.size, 0)) {
      const LRESULT old = SendMessageA(window, WM_SETICON, icon.which, reinterpret_cast<LPARAM>(image));
      if (old) DestroyIcon(reinterpret_cast<HICON>(old));
    }
  }
}

}  // namespace

void layer::FollowDpiChange(HWND window, WPARAM wparam, LPARAM lparam) {
  SetIconsFor(window, HIWORD(wparam));
  if (dpi_change_handler) dpi_change_handler(HIWORD(wparam));
  const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
  if (suggested)
    SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vudo
