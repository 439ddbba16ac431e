// The browser control's container. Index:
//   arguments   reading the events' DISPPARAMS the way the control fills them
//   WebSite     the one COM object the control talks to: client site, in-place
//               site and frame, UI handler, and the DWebBrowserEvents2 sink
//   WebHost     creation, the program's own moves, size, and tear-down
#include "ui/backend/win32/win32_web_host.h"

#include <exdisp.h>
#include <exdispid.h>
#include <idispids.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <oleidl.h>

#include <algorithm>
#include <deque>

#include "platform/windows/wide_text.h"

namespace ui::win32 {

namespace {

using platform::windows::Narrow;
using platform::windows::Wide;

constexpr wchar_t kHostProperty[] = L"Orvane.WebHost";

// --- arguments ------------------------------------------------------------------------
// The control passes arguments last first; strings come by value or by
// reference to a variant, the cancel flag always by reference.

const VARIANT* Argument(const DISPPARAMS* params, UINT fromLast) {
  if (!params || fromLast >= params->cArgs) return nullptr;
  return &params->rgvarg[fromLast];
}

std::string TextOf(const VARIANT* v) {
  while (v && v->vt == (VT_BYREF | VT_VARIANT)) v = v->pvarVal;
  if (!v) return {};
  const BSTR text = v->vt == VT_BSTR                               ? v->bstrVal
                    : v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal ? *v->pbstrVal
                                                                   : nullptr;
  return text ? Narrow(std::wstring_view(text, SysStringLen(text))) : std::string();
}

VARIANT_BOOL* CancelFlagOf(const VARIANT* v) {
  return v && v->vt == (VT_BYREF | VT_BOOL) ? v->pboolVal : nullptr;
}

// Another interface of `object`, with its own reference; null when it has none.
template <class Interface>
Interface* Query(IUnknown* object, REFIID iid) {
  Interface* found = nullptr;
  if (object && FAILED(object->QueryInterface(iid, reinterpret_cast<void**>(&found)))) {
    found = nullptr;
  }
  return found;
}

IUnknown* IdentityOf(IUnknown* object) {
  IUnknown* identity = Query<IUnknown>(object, IID_IUnknown);
  if (identity) identity->Release();  // only compared, never called
  return identity;
}

IUnknown* FrameOf(const VARIANT* v) {
  while (v && v->vt == (VT_BYREF | VT_VARIANT)) v = v->pvarVal;
  if (v && v->vt == VT_DISPATCH) return IdentityOf(v->pdispVal);
  if (v && v->vt == VT_UNKNOWN) return IdentityOf(v->punkVal);
  return nullptr;
}

// "http://a" and "http://a/" are the same page to the control.
bool SameAddress(const std::string& a, const std::string& b) {
  if (a == b) return true;
  const std::string& shorter = a.size() < b.size() ? a : b;
  const std::string& longer = a.size() < b.size() ? b : a;
  return longer.size() == shorter.size() + 1 && longer.back() == '/' &&
         longer.compare(0, shorter.size(), shorter) == 0;
}

}  // namespace

// --- WebSite --------------------------------------------------------------------------

class WebSite final : public IOleClientSite,
                      public IOleInPlaceSite,
                      public IOleInPlaceFrame,
                      public IDocHostUIHandler,
                      public IDispatch {
 public:
  WebSite(HWND window, WebHostEvents events) : window_(window), events_(std::move(events)) {}

  // What the host tells the site.
  void SetBrowser(IUnknown* browser) { browser_ = IdentityOf(browser); }
  void Expect(std::string url) {
    if (expected_.size() == kExpectedAtMost) expected_.pop_front();
    expected_.push_back(std::move(url));
  }
  void Forget() {
    events_ = {};
    browser_ = nullptr;
    window_ = nullptr;
  }
  // The program's own call is under way: what the control reports meanwhile is ours.
  struct OwnCall {
    explicit OwnCall(WebSite& site) : site_(site) { ++site_.ownCalls_; }
    ~OwnCall() { --site_.ownCalls_; }
    OwnCall(const OwnCall&) = delete;
    OwnCall& operator=(const OwnCall&) = delete;
    WebSite& site_;
  };

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
      *out = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
      *out = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
      *out = static_cast<IOleInPlaceFrame*>(this);
    } else if (iid == IID_IDocHostUIHandler) {
      *out = static_cast<IDocHostUIHandler*>(this);
    } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
      *out = static_cast<IDispatch*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IOleClientSite: a site with no container, nothing to save.
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow, for the in-place site and the frame alike.
  STDMETHODIMP GetWindow(HWND* hwnd) override {
    if (!hwnd) return E_POINTER;
    *hwnd = window_;
    return window_ ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite: the control lives in place over the whole window.
  STDMETHODIMP CanInPlaceActivate() override { return window_ ? S_OK : S_FALSE; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;  // the frame serves as the document window
    GetClientRect(window_, position);
    *clip = *position;
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(window_, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }  // the window decides

  // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, toolbars or status bar.
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IDocHostUIHandler: the page's own context menu never opens; the rest is
  // the control's default.
  STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
  STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override {
    if (!info) return E_POINTER;
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DPI_AWARE;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
  }
  STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                      IOleInPlaceUIWindow*) override {
    return S_FALSE;
  }
  STDMETHODIMP HideUI() override { return S_OK; }
  STDMETHODIMP UpdateUI() override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
  STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override {
    if (key) *key = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override {
    if (target) *target = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetExternal(IDispatch** external) override {
    if (external) *external = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
    if (out) *out = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override {
    if (out) *out = nullptr;
    return S_FALSE;
  }

  // IDispatch: the events of DWebBrowserEvents2, by dispatch id only.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override {
    // The control also asks its site for ambient properties: it is to stay
    // silent (no script error boxes); the rest are its defaults.
    if (flags & DISPATCH_PROPERTYGET) {
      if (id != DISPID_AMBIENT_SILENT || !result) return DISP_E_MEMBERNOTFOUND;
      VariantInit(result);
      result->vt = VT_BOOL;
      result->boolVal = VARIANT_TRUE;
      return S_OK;
    }
    AddRef();  // a handler may close the host under us
    switch (id) {
      case DISPID_BEFORENAVIGATE2:
        BeforeNavigate(params);
        break;
      case DISPID_NEWWINDOW3:
        NewWindow(params);
        break;
      case DISPID_DOCUMENTCOMPLETE:
        DocumentComplete(params);
        break;
      default:
        break;
    }
    Release();
    return S_OK;
  }

 private:
  ~WebSite() = default;

  // BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
  void BeforeNavigate(DISPPARAMS* params) {
    VARIANT_BOOL* cancel = CancelFlagOf(Argument(params, 0));
    const std::string url = TextOf(Argument(params, 5));
    // Frames inside the page navigate on their own; only the page itself counts.
    if (!cancel || FrameOf(Argument(params, 6)) != browser_) return;
    if (IsOwnMove(url)) return;
    if (!events_.decide || !events_.decide(url, false)) *cancel = VARIANT_TRUE;
  }

  // NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl): the page may
  // follow the address itself, but no window of the control's opens.
  void NewWindow(DISPPARAMS* params) {
    VARIANT_BOOL* cancel = CancelFlagOf(Argument(params, 3));
    if (!cancel) return;
    *cancel = VARIANT_TRUE;
    const std::string url = TextOf(Argument(params, 0));
    if (events_.decide) events_.decide(url, true);
  }

  // DocumentComplete(pDisp, URL): the page's last frame completes last.
  void DocumentComplete(DISPPARAMS* params) {
    if (FrameOf(Argument(params, 1)) != browser_ || !events_.loaded) return;
    events_.loaded(TextOf(Argument(params, 0)));
  }

  // The control reports a move from inside the call or, while another one
  // is still under way, some time after it: a move is ours while the call
  // runs or when it is one we made and have not heard of yet.
  bool IsOwnMove(const std::string& url) {
    auto it = std::find_if(expected_.begin(), expected_.end(),
                           [&](const std::string& ours) { return SameAddress(url, ours); });
    const bool expected = it != expected_.end();
    // Ours that were never reported (cancelled, superseded) go with it.
    if (expected) expected_.erase(expected_.begin(), it + 1);
    return ownCalls_ > 0 || expected;
  }

  ULONG references_ = 1;
  HWND window_;
  WebHostEvents events_;
  IUnknown* browser_ = nullptr;  // identity of the control's top level, not held
  static constexpr std::size_t kExpectedAtMost = 8;
  std::deque<std::string> expected_;  // the program's moves the control has not reported yet
  int ownCalls_ = 0;
};

// --- WebHost --------------------------------------------------------------------------

const CLSID& BrowserControlClass() {
  return CLSID_WebBrowser;
}

WebHost::WebHost(HWND window) : window_(window) {}

WebHost::~WebHost() {
  Close();
}

std::unique_ptr<WebHost> WebHost::Create(HWND window, WebHostEvents events, const CLSID& classId) {
  if (!window) return nullptr;
  std::unique_ptr<WebHost> host(new WebHost(window));
  if (!host->Start(classId, std::move(events))) return nullptr;
  return host;
}

bool WebHost::Start(const CLSID& classId, WebHostEvents events) {
  if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                              reinterpret_cast<void**>(&object_)))) {
    return false;
  }
  site_ = new WebSite(window_, std::move(events));
  browser_ = Query<IWebBrowser2>(object_, IID_IWebBrowser2);
  if (!browser_ || FAILED(object_->SetClientSite(static_cast<IOleClientSite*>(site_)))) {
    Close();
    return false;
  }
  site_->SetBrowser(browser_);
  // The control's window lives inside ours: its size and its end follow ours.
  SetPropW(window_, kHostProperty, this);
  oldProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WebHost::WindowProc)));
  RECT area;
  GetClientRect(window_, &area);
  if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site_),
                             0, window_, &area))) {
    Close();
    return false;
  }
  if (auto* points = Query<IConnectionPointContainer>(browser_, IID_IConnectionPointContainer)) {
    if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &events_)) &&
        FAILED(events_->Advise(static_cast<IDispatch*>(site_), &cookie_))) {
      events_->Release();
      events_ = nullptr;
    }
    points->Release();
  }
  return true;
}

void WebHost::Navigate(const std::string& url) {
  if (!browser_) return;
  site_->Expect(url);
  WebSite::OwnCall own(*site_);
  VARIANT address;
  VariantInit(&address);
  address.vt = VT_BSTR;
  address.bstrVal = SysAllocString(Wide(url).c_str());
  VARIANT none;
  VariantInit(&none);
  browser_->Navigate2(&address, &none, &none, &none, &none);
  VariantClear(&address);
}

bool WebHost::Go(int delta, const std::string& expected) {
  if (!browser_) return false;
  site_->Expect(expected);
  WebSite::OwnCall own(*site_);
  return SUCCEEDED(delta < 0 ? browser_->GoBack() : browser_->GoForward());
}

void WebHost::Refresh() {
  if (!browser_) return;
  WebSite::OwnCall own(*site_);
  browser_->Refresh();
}

std::string WebHost::Location() {
  BSTR location = nullptr;
  if (!browser_ || FAILED(browser_->get_LocationURL(&location)) || !location) return {};
  std::string url = Narrow(std::wstring_view(location, SysStringLen(location)));
  SysFreeString(location);
  return url;
}

bool WebHost::TranslateKey(MSG& msg) {
  auto* active = Query<IOleInPlaceActiveObject>(browser_, IID_IOleInPlaceActiveObject);
  if (!active) return false;
  const bool taken = active->TranslateAccelerator(&msg) == S_OK;
  active->Release();
  return taken;
}

HWND WebHost::ControlWindow() {
  auto* inPlace = Query<IOleInPlaceObject>(object_, IID_IOleInPlaceObject);
  if (!inPlace) return nullptr;
  HWND hwnd = nullptr;
  inPlace->GetWindow(&hwnd);
  inPlace->Release();
  return hwnd;
}

IWebBrowser2* WebHost::Browser() {
  return browser_;
}

IDispatch* WebHost::EventSink() {
  return site_ ? static_cast<IDispatch*>(site_) : nullptr;
}

void WebHost::FitToWindow() {
  auto* inPlace = Query<IOleInPlaceObject>(object_, IID_IOleInPlaceObject);
  if (!inPlace) return;
  RECT area;
  GetClientRect(window_, &area);
  inPlace->SetObjectRects(&area, &area);
  inPlace->Release();
}

void WebHost::Close() {
  if (site_) site_->Forget();  // from here on no event reaches the port
  if (events_) {
    events_->Unadvise(cookie_);
    events_->Release();
    events_ = nullptr;
  }
  if (browser_) {
    browser_->Stop();
    browser_->Release();
    browser_ = nullptr;
  }
  if (object_) {
    if (auto* inPlace = Query<IOleInPlaceObject>(object_, IID_IOleInPlaceObject)) {
      inPlace->InPlaceDeactivate();
      inPlace->Release();
    }
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_->Release();
    object_ = nullptr;
  }
  if (oldProc_) {
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
    RemovePropW(window_, kHostProperty);
    oldProc_ = nullptr;
  }
  if (site_) {
    site_->Release();
    site_ = nullptr;
  }
}

LRESULT CALLBACK WebHost::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* host = static_cast<WebHost*>(GetPropW(hwnd, kHostProperty));
  if (!host) return DefWindowProcW(hwnd, message, wParam, lParam);
  const WNDPROC old = host->oldProc_;
  switch (message) {
    case WM_SIZE:
      host->FitToWindow();
      break;
    case WM_DESTROY:
      // The control must let go while its window still exists.
      host->Close();
      break;
    default:
      break;
  }
  return CallWindowProcW(old, hwnd, message, wParam, lParam);
}

}  // namespace ui::win32
