#include "ui/shell/file_drag.h"

#include <ole2.h>
#include <shlobj.h>

#include <new>
#include <string>
#include <vector>

#include "platform/wide_path.h"
#include "ui/shell/com_apartment.h"
#include "ui/shell/file_formats.h"

namespace vudo {
namespace {

// The data a drag carries: a few fixed formats, each held as bytes and
// handed out as fresh global memory. What a target sets (some tell the
// source what they did) is kept beside them, as targets expect to read it
// back.
class FileData final : public IDataObject {
 public:
  void Add(CLIPFORMAT format, std::vector<char> bytes) {
    for (Format& held : formats_)
      if (held.format == format) {
        held.bytes = std::move(bytes);
        return;
      }
    formats_.push_back({format, std::move(bytes)});
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (!object) return E_POINTER;
    *object = (id == IID_IUnknown || id == IID_IDataObject) ? static_cast<IDataObject*>(this) : nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override {
    if (!wanted || !medium) return E_INVALIDARG;
    const Format* held = Find(*wanted);
    if (!held) return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = CopyToGlobal(held->bytes.data(), held->bytes.size());
    medium->pUnkForRelease = nullptr;
    return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override {
    return wanted && Find(*wanted) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override {
    if (!format || !medium) return E_INVALIDARG;
    if (format->tymed != TYMED_HGLOBAL || medium->tymed != TYMED_HGLOBAL) return DV_E_TYMED;
    const void* data = GlobalLock(medium->hGlobal);
    if (!data) return E_INVALIDARG;
    const char* bytes = static_cast<const char*>(data);
    try {
      Add(format->cfFormat, std::vector<char>(bytes, bytes + GlobalSize(medium->hGlobal)));
    } catch (const std::bad_alloc&) {
      GlobalUnlock(medium->hGlobal);
      return E_OUTOFMEMORY;
    }
    GlobalUnlock(medium->hGlobal);
    if (release) ReleaseStgMedium(medium);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC offered[kMostFormats];
    UINT count = 0;
    for (const Format& held : formats_)
      if (count < kMostFormats) offered[count++] = Describe(held.format);
    return SHCreateStdEnumFmtEtc(count, offered, out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  // What a drag offers (three) and what targets may set beside it.
  static constexpr UINT kMostFormats = 16;

  struct Format {
    CLIPFORMAT format;
    std::vector<char> bytes;
  };

  static FORMATETC Describe(CLIPFORMAT format) { return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

  const Format* Find(const FORMATETC& wanted) const {
    if (!(wanted.tymed & TYMED_HGLOBAL) || wanted.dwAspect != DVASPECT_CONTENT) return nullptr;
    for (const Format& held : formats_)
      if (held.format == wanted.cfFormat) return &held;
    return nullptr;
  }

  LONG references_ = 1;
  std::vector<Format> formats_;
};

// The drag follows the left button: released it drops, Escape cancels.
class LeftButtonDrag final : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (!object) return E_POINTER;
    *object = (id == IID_IUnknown || id == IID_IDropSource) ? static_cast<IDropSource*>(this) : nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  // Lives on the stack of the one drag it serves.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape) return DRAGDROP_S_CANCEL;
    if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

std::vector<char> Bytes(const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  return std::vector<char>(bytes, bytes + size);
}

}  // namespace

DWORD DragFileOut(std::string_view given) {
  const std::string path(given.substr(0, given.find('\0')));
  if (!NamesAFile(path)) return DROPEFFECT_NONE;
  EnsureComApartment();
  FileData* data = new (std::nothrow) FileData;
  if (!data) return DROPEFFECT_NONE;
  DWORD effect = DROPEFFECT_NONE;
  try {
    const std::wstring wide = platform::Widen(path);
    data->Add(CF_HDROP, DropFiles(wide));
    data->Add(CF_UNICODETEXT, Bytes(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t)));
    data->Add(CF_TEXT, Bytes(path.c_str(), path.size() + 1));
  } catch (const std::bad_alloc&) {
    data->Release();
    return DROPEFFECT_NONE;
  }
  LeftButtonDrag source;
  if (DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect) != DRAGDROP_S_DROP)
    effect = DROPEFFECT_NONE;
  data->Release();
  return effect;
}

}  // namespace vudo
