// A small program that takes drops as Explorer does: a window titled
// "Drop Here" (topmost, at the screen point and size given on its command
// line) registered as an OLE drop target. While a drag is over it its title
// reads "Drop Here: over"; a drop leaves a mark (see probe_mark.h) and ends
// the program. The mark's lines: the files of CF_HDROP (one per line, UTF-8),
// then "effects N" with the effects the source allowed, "text T" (CF_TEXT)
// and "unicode U" (CF_UNICODETEXT in UTF-8).
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HWND window = nullptr;

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

// The global memory of `format` in `data`, handed to `read`; nothing when it
// has none.
template <typename Read>
void WithFormat(IDataObject* data, CLIPFORMAT format, Read read) {
  FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (FAILED(data->GetData(&wanted, &medium))) return;
  if (void* memory = GlobalLock(medium.hGlobal)) {
    read(memory);
    GlobalUnlock(medium.hGlobal);
  }
  ReleaseStgMedium(&medium);
}

void WriteMark(IDataObject* data, DWORD allowed) {
  char mark[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("VUDO_PROBE_MARK", mark, sizeof mark)) return;
  std::string lines;
  FORMATETC wanted{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (SUCCEEDED(data->GetData(&wanted, &medium))) {
    const auto drop = static_cast<HDROP>(medium.hGlobal);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      wchar_t file[4096] = {};
      DragQueryFileW(drop, i, file, 4096);
      lines += Utf8(file) + "\n";
    }
    ReleaseStgMedium(&medium);
  }
  lines += "effects " + std::to_string(allowed) + "\n";
  std::string text, unicode;
  WithFormat(data, CF_TEXT, [&](void* memory) { text = static_cast<const char*>(memory); });
  WithFormat(data, CF_UNICODETEXT, [&](void* memory) { unicode = Utf8(static_cast<const wchar_t*>(memory)); });
  lines += "text " + text + "\nunicode " + unicode + "\n";
  const std::string part = std::string(mark) + ".part";
  if (FILE* out = std::fopen(part.c_str(), "wb")) {
    std::fwrite(lines.data(), 1, lines.size(), out);
    std::fclose(out);
    MoveFileExA(part.c_str(), mark, MOVEFILE_REPLACE_EXISTING);
  }
}

class Target final : public IDropTarget {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    *object = (id == IID_IUnknown || id == IID_IDropTarget) ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    SetWindowTextA(window, "Drop Here: over");
    *effect &= DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect &= DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    SetWindowTextA(window, "Drop Here");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    SetWindowTextA(window, "Drop Here: dropped");
    WriteMark(data, *effect);
    *effect &= DROPEFFECT_COPY;
    PostQuitMessage(0);
    return S_OK;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  OleInitialize(nullptr);
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = DefWindowProcA;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = "VudoDropTarget";
  RegisterClassA(&window_class);
  window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_NOACTIVATE, "VudoDropTarget", "Drop Here", WS_POPUP | WS_BORDER,
                           std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), nullptr,
                           nullptr, window_class.hInstance, nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  Target target;
  if (!window || FAILED(RegisterDragDrop(window, &target))) return 1;
  // Never outlives its test by much.
  SetTimer(nullptr, 0, 60000, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) DispatchMessageA(&message);
  RevokeDragDrop(window);
  OleUninitialize();
  return 0;
}
