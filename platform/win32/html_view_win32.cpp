#include "platform/win32/html_view_win32.h"

#include <exdisp.h>
#include <ole2.h>

#include <memory>
#include <vector>

#include "platform/win32/handles.h"

namespace win32 {
namespace {

// The container's side of the browser: its client site, in-place site and
// in-place frame in one object, alive while anyone holds a reference. It
// answers no IDispatch, so the browser asks it for no ambient properties.
class Site final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
 public:
  explicit Site(HWND host) : host_(host) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
      *out = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
      *out = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame))
      *out = static_cast<IOleInPlaceFrame*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow, for the in-place site and the frame alike
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
    if (!out) return E_POINTER;
    *out = host_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos,
                                             RECT* clip, OLEINPLACEFRAMEINFO* info) override {
    if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
    AddRef();
    *frame = this;
    *doc = nullptr;
    GetClientRect(host_, pos);
    *clip = *pos;
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(host_, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }  // the view keeps filling its window

  // IOleInPlaceUIWindow: no room for the browser's own tool bars.
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override {
    return widths ? OLE_E_INVALIDRECT : S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }

  // IOleInPlaceFrame: no menus, status line or accelerators of ours.
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 private:
  ~Site() = default;  // only Release deletes it
  HWND host_;
  ULONG refs_ = 1;
};

template <typename T>
Com<T> Query(IUnknown* from, REFIID iid) {
  void* found = nullptr;
  if (FAILED(from->QueryInterface(iid, &found))) found = nullptr;
  return Com<T>(static_cast<T*>(found));
}

class HtmlView {
 public:
  explicit HtmlView(HWND host) : host_(host) {}
  ~HtmlView() { Close(); }
  HtmlView(const HtmlView&) = delete;
  HtmlView& operator=(const HtmlView&) = delete;

  void Create() {
    site_.reset(new Site(host_));
    IOleObject* object = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&object))))
      return;
    object_.reset(object);
    IOleClientSite* site = site_.get();
    if (FAILED(object->SetClientSite(site))) return;
    RECT r;
    GetClientRect(host_, &r);
    if (FAILED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, host_, &r))) return;
    inPlace_ = Query<IOleInPlaceObject>(object, IID_IOleInPlaceObject);
    browser_ = Query<IWebBrowser2>(object, IID_IWebBrowser2);
    Fit();
  }

  void Navigate(const frame::Text& address) {
    if (!browser_) return;
    const int n = MultiByteToWideChar(CP_ACP, 0, address.data(), static_cast<int>(address.size()), nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(n) + 1);
    MultiByteToWideChar(CP_ACP, 0, address.data(), static_cast<int>(address.size()), wide.data(), n);
    Bstr text(SysAllocStringLen(wide.data(), static_cast<UINT>(n)));
    if (!text) return;
    VARIANT url;
    VariantInit(&url);
    url.vt = VT_BSTR;
    url.bstrVal = text.get();  // still owned by `text`
    VARIANT none;  // VT_EMPTY: no flags, target frame, post data or headers
    VariantInit(&none);
    browser_.get()->Navigate2(&url, &none, &none, &none, &none);
  }

  void Fit() {
    if (!inPlace_) return;
    RECT r;
    GetClientRect(host_, &r);
    inPlace_.get()->SetObjectRects(&r, &r);
  }

  // Deactivates and closes the browser and drops every reference to it and
  // to the site, while its windows still exist.
  void Close() {
    browser_.reset();
    if (inPlace_) inPlace_.get()->InPlaceDeactivate();
    inPlace_.reset();
    if (object_) {
      object_.get()->Close(OLECLOSE_NOSAVE);
      object_.get()->SetClientSite(nullptr);
    }
    object_.reset();
    site_.reset();
  }

 private:
  HWND host_;
  Com<Site> site_;
  Com<IOleObject> object_;
  Com<IOleInPlaceObject> inPlace_;
  Com<IWebBrowser2> browser_;
};

HtmlView* ViewOf(HWND host) { return reinterpret_cast<HtmlView*>(GetWindowLongPtrA(host, GWLP_USERDATA)); }

}  // namespace

LRESULT CALLBACK HtmlViewProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(h, &r);
      FillRect(reinterpret_cast<HDC>(w), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      return 1;
    }
    case WM_SIZE:
      if (HtmlView* view = ViewOf(h)) view->Fit();
      break;
    case WM_DESTROY:
      // The browser's own windows, children of this one, are destroyed after
      // this message: close it while they exist.
      if (HtmlView* view = ViewOf(h)) view->Close();
      break;
    case WM_NCDESTROY:
      delete ViewOf(h);
      SetWindowLongPtrA(h, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcA(h, msg, w, l);
}

void AttachHtmlView(HWND host) {
  auto view = std::make_unique<HtmlView>(host);
  view->Create();
  SetWindowLongPtrA(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view.release()));
}

void NavigateHtmlView(HWND host, const frame::Text& address) {
  if (HtmlView* view = ViewOf(host)) view->Navigate(address);
}

}  // namespace win32
