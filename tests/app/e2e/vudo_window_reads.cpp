// The parts of VudoRun that read the program's controls from outside: list
// rows, the recent list, places and sizes, the label tip, the painted list.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "app/e2e/remote_window.h"
#include "app/e2e/vudo_driver.h"
#include "support/window_driving.h"

namespace vudo::e2e {

std::pair<std::string, std::string> VudoRun::Row(int row) const {
  constexpr std::size_t kText = 32768;
  const RemoteBuffer remote(process_.hProcess, sizeof(LVITEMA) + kText);
  std::pair<std::string, std::string> texts;
  if (!remote) return texts;
  for (int column = 0; column < 2; ++column) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = remote.At(sizeof(LVITEMA));
    item.cchTextMax = static_cast<int>(kText);
    remote.Write(&item, sizeof item);
    const LRESULT length =
        SendMessageA(Control(kResultList), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), remote.Param());
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) remote.Read(text.data(), text.size(), sizeof(LVITEMA));
    (column == 0 ? texts.first : texts.second) = text;
  }
  return texts;
}

std::vector<std::string> VudoRun::RowPaths() const {
  std::vector<std::string> paths;
  const int count = RowCount();
  for (int i = 0; i < count; ++i) {
    const auto [name, directory] = Row(i);
    paths.push_back(directory + name);
  }
  return paths;
}

std::vector<std::string> VudoRun::RecentList() const {
  std::vector<std::string> entries;
  const HWND combo = Control(kStartDirectoryCombo);
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // Across processes the combo box answers in UTF-16.
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
    // The length may be counted in the program's 8-bit text, longer than
    // the UTF-16 it sends: the entry ends at its NUL.
    wide.resize(std::wcslen(wide.c_str()));
    std::string text(wide.size() * 3 + 1, '\0');
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(),
                                          static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
    entries.push_back(text);
  }
  return entries;
}

RECT VudoRun::ControlRect(int number) const {
  RECT rect{};
  GetWindowRect(Control(number), &rect);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

POINT VudoRun::RowPoint(int row) const {
  RECT rect{};
  const RemoteBuffer remote(process_.hProcess, sizeof rect);
  rect.left = LVIR_LABEL;
  remote.Write(&rect, sizeof rect);
  SendMessageA(Control(kResultList), LVM_GETITEMRECT, static_cast<WPARAM>(row), remote.Param());
  remote.Read(&rect, sizeof rect);
  POINT centre{rect.left + 20, (rect.top + rect.bottom) / 2};
  ClientToScreen(Control(kResultList), &centre);
  return centre;
}

POINT VudoRun::HeaderPoint(int column) const {
  const HWND header = reinterpret_cast<HWND>(SendMessageA(Control(kResultList), LVM_GETHEADER, 0, 0));
  RECT rect{};
  const RemoteBuffer remote(process_.hProcess, sizeof rect);
  SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), remote.Param());
  remote.Read(&rect, sizeof rect);
  POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(header, &centre);
  return centre;
}

int VudoRun::HeaderSortArrow(int column) const {
  const HWND header = reinterpret_cast<HWND>(SendMessageA(Control(kResultList), LVM_GETHEADER, 0, 0));
  HDITEMA item{};
  item.mask = HDI_FORMAT;
  const RemoteBuffer remote(process_.hProcess, sizeof item);
  remote.Write(&item, sizeof item);
  SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), remote.Param());
  remote.Read(&item, sizeof item);
  return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

int VudoRun::SelectedRow() const {
  return static_cast<int>(
      SendMessageA(Control(kResultList), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::pair<int, int> VudoRun::EditSelection(HWND edit) const {
  const auto range = static_cast<DWORD>(SendMessageA(edit, EM_GETSEL, 0, 0));
  return {LOWORD(range), HIWORD(range)};
}

std::string VudoRun::TipText() const {
  const HWND tip = VisibleWindowOf(process_.dwProcessId, [](HWND window) {
    return testing_windows::ClassOf(window) == TOOLTIPS_CLASSA;
  });
  if (!tip) return {};
  constexpr std::size_t kText = 4096;
  const RemoteBuffer remote(process_.hProcess, sizeof(TOOLINFOA) + kText);
  if (!remote) return {};
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = Control(kResultList);
  tool.uId = 1;
  tool.lpszText = remote.At(sizeof(TOOLINFOA));
  remote.Write(&tool, sizeof tool);
  SendMessageA(tip, TTM_GETTEXTA, kText, remote.Param());
  std::string text(kText, '\0');
  remote.Read(text.data(), kText, sizeof(TOOLINFOA));
  text.resize(text.find('\0'));
  return text;
}

std::vector<DWORD> ScreenPixels(HWND window, RECT area) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return {};
  POINT corner{area.left, area.top};
  ClientToScreen(window, &corner);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, corner.x, corner.y, SRCCOPY);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width * height);
  for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

int VudoRun::ListInk() const {
  const HWND list = Control(kResultList);
  RECT area{};
  GetClientRect(list, &area);
  RECT header{};
  GetWindowRect(reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)), &header);
  area.top += header.bottom - header.top + 1;
  const std::vector<DWORD> pixels = ScreenPixels(list, area);
  if (pixels.empty()) return 0;
  // The list's background is what most of it shows.
  const DWORD background = pixels.back();
  return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), [&](DWORD p) { return p != background; }));
}

}  // namespace vudo::e2e
