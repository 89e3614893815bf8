#include "ui/shell/shell_menu.h"

#include <shlobj.h>

#include <string>

#include "platform/wide_path.h"
#include "ui/shell/com_apartment.h"

namespace vudo {
namespace {

// The menu's command identifiers: the shell's items take this range.
constexpr UINT kFirstCommand = 1;
constexpr UINT kLastCommand = 0x7FFF;

template <typename Interface>
struct Released {
  Interface* pointer = nullptr;
  ~Released() {
    if (pointer) pointer->Release();
  }
};

struct ItemIdList {
  PIDLIST_ABSOLUTE pointer = nullptr;
  ~ItemIdList() { ILFree(pointer); }
};

struct PopupMenu {
  HMENU handle = CreatePopupMenu();
  ~PopupMenu() {
    if (handle) DestroyMenu(handle);
  }
};

// Submenus such as "Send to" and "Open with" are filled, and some items
// drawn, only when the menu's owner passes their messages to the shell. The
// menu is owned by this hidden window, which does that, so the program's own
// window needs to know nothing of it.
class MenuRelay {
 public:
  MenuRelay(HWND owner, IContextMenu* menu) {
    menu->QueryInterface(IID_IContextMenu3, reinterpret_cast<void**>(&third_.pointer));
    if (!third_.pointer) menu->QueryInterface(IID_IContextMenu2, reinterpret_cast<void**>(&second_.pointer));
    static const ATOM kClass = [] {
      WNDCLASSA window_class{};
      window_class.lpfnWndProc = Procedure;
      window_class.hInstance = GetModuleHandleA(nullptr);
      window_class.lpszClassName = "VudoShellMenuRelay";
      return RegisterClassA(&window_class);
    }();
    if (kClass)
      window_ = CreateWindowExA(WS_EX_TOOLWINDOW, MAKEINTATOM(kClass), "", WS_POPUP, 0, 0, 0, 0, owner, nullptr,
                                GetModuleHandleA(nullptr), this);
  }
  ~MenuRelay() {
    if (window_) DestroyWindow(window_);
  }
  MenuRelay(const MenuRelay&) = delete;
  MenuRelay& operator=(const MenuRelay&) = delete;

  // The menu's owner: the relay, or `fallback` when it could not be made.
  HWND Owner(HWND fallback) const { return window_ ? window_ : fallback; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lparam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* relay = reinterpret_cast<MenuRelay*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const bool for_menu = message == WM_INITMENUPOPUP || message == WM_DRAWITEM || message == WM_MEASUREITEM ||
                          message == WM_MENUCHAR;
    if (relay && for_menu) {
      LRESULT result = 0;
      if (relay->third_.pointer &&
          SUCCEEDED(relay->third_.pointer->HandleMenuMsg2(message, wparam, lparam, &result)))
        return result;
      if (relay->second_.pointer && SUCCEEDED(relay->second_.pointer->HandleMenuMsg(message, wparam, lparam)))
        return message == WM_INITMENUPOPUP ? 0 : TRUE;
    }
    return DefWindowProcA(window, message, wparam, lparam);
  }

  Released<IContextMenu3> third_;
  Released<IContextMenu2> second_;
  HWND window_ = nullptr;
};

}  // namespace

int ShellMenuShow(HWND owner, std::string_view given, POINT at, bool extended) {
  // The shell takes no extended path: a long one goes by its short form.
  const std::string path = platform::ShellPath(std::string(given.substr(0, given.find('\0'))));
  if (path.empty()) return 0;
  EnsureComApartment();
  ItemIdList item;
  item.pointer = ILCreateFromPathA(path.c_str());
  if (!item.pointer) return 0;
  Released<IShellFolder> folder;
  PCUITEMID_CHILD child = nullptr;
  if (FAILED(SHBindToParent(item.pointer, IID_IShellFolder, reinterpret_cast<void**>(&folder.pointer), &child)))
    return 0;
  Released<IContextMenu> menu;
  if (FAILED(folder.pointer->GetUIObjectOf(owner, 1, &child, IID_IContextMenu, nullptr,
                                           reinterpret_cast<void**>(&menu.pointer))))
    return 0;
  PopupMenu popup;
  if (!popup.handle) return 0;
  const UINT flags = CMF_NORMAL | (extended ? CMF_EXTENDEDVERBS : 0);
  if (FAILED(menu.pointer->QueryContextMenu(popup.handle, 0, kFirstCommand, kLastCommand, flags))) return 0;

  MenuRelay relay(owner, menu.pointer);
  // Without the foreground the menu would not close on a click elsewhere.
  SetForegroundWindow(owner);
  const UINT chosen = static_cast<UINT>(TrackPopupMenuEx(popup.handle, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y,
                                                         relay.Owner(owner), nullptr));
  PostMessageA(owner, WM_NULL, 0, 0);
  if (chosen < kFirstCommand) return 0;

  CMINVOKECOMMANDINFOEX invoke{};
  invoke.cbSize = sizeof invoke;
  invoke.fMask = CMIC_MASK_PTINVOKE;
  if (GetKeyState(VK_CONTROL) < 0) invoke.fMask |= CMIC_MASK_CONTROL_DOWN;
  if (GetKeyState(VK_SHIFT) < 0) invoke.fMask |= CMIC_MASK_SHIFT_DOWN;
  invoke.hwnd = owner;
  invoke.lpVerb = MAKEINTRESOURCEA(chosen - kFirstCommand);
  invoke.nShow = SW_SHOWNORMAL;
  invoke.ptInvoke = at;
  return SUCCEEDED(menu.pointer->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&invoke))) ? 1 : 0;
}

}  // namespace vudo
