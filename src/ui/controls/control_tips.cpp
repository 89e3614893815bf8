// Tips for whole controls: the text shows while the pointer rests on the
// control. Each control is a tool of a tooltip window, which follows the
// pointer by taking over the control's messages (TTF_SUBCLASS). The window
// is the one a list's label tips already use, where there is one: under
// Wine, a second tooltip window of the process keeps a click on a label tip
// from passing through it to the list below.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/controls/control_layer.h"
#include "ui/controls/layer_internal.h"

namespace vudo {
namespace {

HWND tips = nullptr;

// A tip's own line breaks count once it has a maximum width; the screen's
// keeps a list's cell tips, which share the window, on one line.
int TipWidth() { return GetSystemMetrics(SM_CXVIRTUALSCREEN); }

HWND TipWindow(HWND owner) {
  for (const auto& entry : layer::controls)
    if (entry.second.label_tip) {
      SendMessageA(entry.second.label_tip, TTM_SETMAXTIPWIDTH, 0, TipWidth());
      return entry.second.label_tip;
    }
  if (tips && IsWindow(tips)) return tips;
  tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
  if (tips) SendMessageA(tips, TTM_SETMAXTIPWIDTH, 0, TipWidth());
  return tips;
}

}  // namespace

void ControlSetTip(int number, std::string_view text) {
  const layer::ControlRecord* record = layer::FindControl(number);
  if (!record || !record->handle) return;
  const HWND control = record->handle;
  const HWND owner = GetAncestor(control, GA_ROOT);
  const HWND window = TipWindow(owner);
  if (!window) return;
  std::string copy(text.substr(0, text.find('\0')));
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  TOOLINFOA known = tool;
  const bool added = SendMessageA(window, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&known)) != 0;
  if (copy.empty()) {
    if (added) SendMessageA(window, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    return;
  }
  // A static control lets the mouse through to its parent unless it asks
  // for notifications; the tip needs the pointer's messages.
  char window_class[16] = {};
  GetClassNameA(control, window_class, sizeof window_class);
  if (lstrcmpiA(window_class, "Static") == 0)
    SetWindowLongA(control, GWL_STYLE, GetWindowLongA(control, GWL_STYLE) | SS_NOTIFY);
  tool.lpszText = copy.data();
  SendMessageA(window, added ? TTM_UPDATETIPTEXTA : TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace vudo
