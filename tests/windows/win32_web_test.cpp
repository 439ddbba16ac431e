// Web views on Win32, under Wine: the browser control hosted in place in the
// view's window, its events as the control delivers them, and the label that
// stands in where no control can be made. Wine has no browser engine here, so
// pages neither render nor complete: what the control does up to that point
// is real, the page's own events are played through the sink.
#include <gtest/gtest.h>

#include "platform/windows/win32.h"

#include <exdisp.h>
#include <exdispid.h>

#include "tests/ui/test_dialogs.h"
#include "ui/backend/win32/win32_backend.h"
#include "ui/backend/win32/win32_port.h"
#include "ui/backend/win32/win32_web_host.h"

namespace uitest {
namespace {

using Heard = std::vector<std::pair<int, std::string>>;

struct WebHarness {
  std::unique_ptr<ui::win32::Win32Backend> backend = ui::win32::CreateWin32Backend();
  ui::win32::Win32Port& port = *ui::win32::CurrentPort();
  WebHarness() {
    ui::Backend::SetCurrent(backend.get());
    RegisterTestTemplates();
  }
  ~WebHarness() { ui::Backend::SetCurrent(nullptr); }
  // Lets the control's own late events (download, error) arrive.
  void Settle() {
    backend->WaitUntil([] { return false; }, 300);
  }
};

// A page with a web view that records what it hears and may refuse.
class WebDlg : public TestDlg {
 public:
  WebDlg() : TestDlg(kWebTemplate) {
    OnNotify(ui::notify::kWebBeforeNavigate, kWeb, &WebDlg::Hear);
    OnNotify(ui::notify::kWebNewWindow, kWeb, &WebDlg::Hear);
    OnNotify(ui::notify::kWebDocumentComplete, kWeb, &WebDlg::Hear);
  }
  bool refuse = false;
  Heard heard;

 private:
  void Hear(const ui::Notification& n) {
    heard.emplace_back(n.code, n.url ? n.url : "");
    if (n.cancel && refuse) *n.cancel = true;
  }
};

ui::Size ClientSize(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return {r.right, r.bottom};
}

// The arguments of one event, last first, the way the control fills them.
class ControlEvent {
 public:
  static ControlEvent BeforeNavigate2(IDispatch* frame, const wchar_t* url) {
    ControlEvent e(7);
    e.Dispatch(6, frame);
    e.ByRefText(5, url);
    e.ByRefText(3, L"");
    e.CancelFlag(0);
    return e;
  }
  static ControlEvent NewWindow3(const wchar_t* url) {
    ControlEvent e(5);
    e.args_[4].vt = VT_BYREF | VT_DISPATCH;
    e.args_[4].ppdispVal = &e.newWindow_;
    e.CancelFlag(3);
    e.args_[2].vt = VT_I4;
    e.args_[2].lVal = 0x6;  // user initiated, first in this event
    e.Text(1, L"http://a.example/start");
    e.Text(0, url);
    return e;
  }
  static ControlEvent DocumentComplete(IDispatch* frame, const wchar_t* url) {
    ControlEvent e(2);
    e.Dispatch(1, frame);
    e.ByRefText(0, url);
    return e;
  }

  ControlEvent(ControlEvent&& other) = default;
  ~ControlEvent() {
    for (VARIANT& v : args_) VariantClear(&v);
    for (VARIANT& v : referred_) VariantClear(&v);
  }

  void SendTo(IDispatch* sink, DISPID id) {
    DISPPARAMS params{args_.data(), nullptr, static_cast<UINT>(args_.size()), 0};
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                 nullptr);
  }
  bool Cancelled() const { return cancel_ == VARIANT_TRUE; }

 private:
  explicit ControlEvent(std::size_t count) : args_(count), referred_(count) {
    for (VARIANT& v : args_) VariantInit(&v);
    for (VARIANT& v : referred_) VariantInit(&v);
  }
  void Text(std::size_t at, const wchar_t* text) {
    args_[at].vt = VT_BSTR;
    args_[at].bstrVal = SysAllocString(text);
  }
  void ByRefText(std::size_t at, const wchar_t* text) {
    referred_[at].vt = VT_BSTR;
    referred_[at].bstrVal = SysAllocString(text);
    args_[at].vt = VT_BYREF | VT_VARIANT;
    args_[at].pvarVal = &referred_[at];
  }
  void Dispatch(std::size_t at, IDispatch* frame) {
    args_[at].vt = VT_DISPATCH;
    args_[at].pdispVal = frame;
    frame->AddRef();
  }
  void CancelFlag(std::size_t at) {
    args_[at].vt = VT_BYREF | VT_BOOL;
    args_[at].pboolVal = &cancel_;
  }

  std::vector<VARIANT> args_;
  std::vector<VARIANT> referred_;  // what by-reference arguments point to
  VARIANT_BOOL cancel_ = VARIANT_FALSE;
  IDispatch* newWindow_ = nullptr;
};

constexpr const char* kStart = "http://127.0.0.1:9/start";
constexpr const char* kLater = "http://127.0.0.1:9/later";

TEST(Win32WebView, TheBrowserControlLivesInPlaceAndTheProgramsOwnMovesAreNotReported) {
  WebHarness h;
  WebDlg dlg;
  ASSERT_TRUE(dlg.Create());
  ui::win32::Win32Control* c = h.port.FindControl(dlg.GetSafeHwnd(), kWeb);
  ASSERT_NE(c, nullptr);
  ASSERT_NE(c->web, nullptr) << "the system's browser control was not made";
  HWND inner = c->web->ControlWindow();
  ASSERT_NE(inner, nullptr) << "not activated in place";
  EXPECT_TRUE(IsChild(c->hwnd, inner));
  EXPECT_EQ(ClientSize(inner), ClientSize(c->hwnd));
  ui::WebView view(&dlg, kWeb);
  view.MoveWindow({4, 4, 184, 124});
  EXPECT_EQ(ClientSize(inner), (ui::Size{180, 120})) << "follows its window";

  // The control reports each of these before it goes (Wine's does, from
  // inside the call); they are the program's and the page hears nothing.
  view.Navigate(kStart);
  h.Settle();
  EXPECT_EQ(c->web->Location(), kStart) << "the control went there";
  view.Navigate(kLater);
  EXPECT_EQ(view.LocationUrl(), kLater);
  EXPECT_TRUE(view.GoBack());
  EXPECT_EQ(view.LocationUrl(), kStart);
  EXPECT_FALSE(view.GoBack()) << "the history's first address";
  view.Refresh();
  h.Settle();
  EXPECT_EQ(dlg.heard, Heard{});
}

TEST(Win32WebView, ThePagesOwnEventsAskTheDialogAndNewWindowsAreAlwaysCancelled) {
  using ui::notify::kWebBeforeNavigate;
  using ui::notify::kWebDocumentComplete;
  using ui::notify::kWebNewWindow;
  const std::string next = "http://b.example/页面";
  const wchar_t* nextWide = L"http://b.example/\u9875\u9762";
  enum class From { Page, Frame };
  struct Case {
    const char* name;
    DISPID event;
    From from;
    bool refuse;
    int heard;       // what the page hears about `next` (0: nothing)
    bool cancelled;  // the control is told to stop
    bool moves;      // the view's address becomes `next`
  };
  const Case cases[] = {
      {"a link the page lets go", DISPID_BEFORENAVIGATE2, From::Page, false, kWebBeforeNavigate,
       false, true},
      {"a link the page refuses", DISPID_BEFORENAVIGATE2, From::Page, true, kWebBeforeNavigate,
       true, false},
      {"a frame inside the page goes on its own", DISPID_BEFORENAVIGATE2, From::Frame, true, 0,
       false, false},
      {"a new window the page takes", DISPID_NEWWINDOW3, From::Page, false, kWebNewWindow, true,
       false},
      {"a new window the page refuses", DISPID_NEWWINDOW3, From::Page, true, kWebNewWindow, true,
       false},
      {"the page has loaded", DISPID_DOCUMENTCOMPLETE, From::Page, false, kWebDocumentComplete,
       false, true},
      {"a frame has loaded", DISPID_DOCUMENTCOMPLETE, From::Frame, false, 0, false, false},
  };
  WebHarness h;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    WebDlg dlg;
    ASSERT_TRUE(dlg.Create());
    ui::win32::Win32Control* c = h.port.FindControl(dlg.GetSafeHwnd(), kWeb);
    ASSERT_TRUE(c && c->web);
    ui::WebView view(&dlg, kWeb);
    view.Navigate(kStart);
    h.Settle();
    dlg.refuse = k.refuse;
    IDispatch* sink = c->web->EventSink();
    // Any dispatch object that is not the control stands for a frame in it.
    IDispatch* frame = k.from == From::Page ? c->web->Browser() : sink;
    ControlEvent e = k.event == DISPID_NEWWINDOW3 ? ControlEvent::NewWindow3(nextWide)
                     : k.event == DISPID_DOCUMENTCOMPLETE
                         ? ControlEvent::DocumentComplete(frame, nextWide)
                         : ControlEvent::BeforeNavigate2(frame, nextWide);
    e.SendTo(sink, k.event);
    const Heard heard = k.heard ? Heard{{k.heard, next}} : Heard{};
    EXPECT_EQ(dlg.heard, heard);
    EXPECT_EQ(e.Cancelled(), k.cancelled);
    EXPECT_EQ(view.LocationUrl(), k.moves ? next : kStart);
  }
}

// A page that keeps the right button and the context-menu key from its web
// view, as the browser pages do, and notes whose they were.
class FilterWebDlg : public WebDlg {
 public:
  std::vector<std::pair<unsigned, int>> kept;  // message, control

 protected:
  bool PreTranslateMessage(const ui::Message& m) override {
    const bool key = m.message == ui::msg::kKeyDown && m.wParam == ui::key::kApps;
    if (m.message != ui::msg::kRButtonDown && !key) return false;
    kept.emplace_back(m.message, m.controlId);
    return true;
  }
};

TEST(Win32WebView, PressesAndKeysInTheBrowsersOwnWindowsAreTheWebViews) {
  WebHarness h;
  FilterWebDlg dlg;
  ASSERT_TRUE(dlg.Create());
  dlg.ShowWindow(ui::ShowCommand::Show);
  ui::win32::Win32Control* c = h.port.FindControl(dlg.GetSafeHwnd(), kWeb);
  ASSERT_TRUE(c && c->web);
  bool taken = false;
  ASSERT_TRUE(h.backend->RightClick(dlg.GetSafeHwnd(), kWeb, taken)) << h.backend->ActionError();
  EXPECT_TRUE(taken);
  // Typed while the page inside has the focus.
  PostMessageW(c->web->ControlWindow(), WM_KEYDOWN, VK_APPS, 1);
  h.backend->Pump();
  using Kept = std::vector<std::pair<unsigned, int>>;
  EXPECT_EQ(dlg.kept, (Kept{{ui::msg::kRButtonDown, kWeb}, {ui::msg::kKeyDown, kWeb}}));
}

TEST(Win32WebView, ClosingThePageReleasesTheControlAndItsEventsReachNobody) {
  WebHarness h;
  IDispatch* sink = nullptr;
  {
    WebDlg dlg;
    ASSERT_TRUE(dlg.Create());
    ui::win32::Win32Control* c = h.port.FindControl(dlg.GetSafeHwnd(), kWeb);
    ASSERT_TRUE(c && c->web);
    HWND inner = c->web->ControlWindow();
    sink = c->web->EventSink();
    sink->AddRef();
    ui::WebView(&dlg, kWeb).Navigate(kStart);
    dlg.DestroyWindow();
    EXPECT_FALSE(IsWindow(inner));
    // An event the control had under way when the page closed.
    ControlEvent late = ControlEvent::NewWindow3(L"http://b.example/");
    late.SendTo(sink, DISPID_NEWWINDOW3);
    EXPECT_TRUE(late.Cancelled());
    EXPECT_EQ(dlg.heard, Heard{});
  }
  h.Settle();
  EXPECT_EQ(sink->Release(), 0u) << "the control still holds its site";
}

TEST(Win32WebView, WhereNoBrowserControlCanBeMadeALabelShowsTheAddress) {
  WebHarness h;
  // A class nobody registered: creation fails as on a system without the control.
  h.port.UseWebControlClass(
      GUID{0x6f72b4a1, 0x7d12, 0x4c8e, {0x9a, 0x31, 0x2b, 0x5e, 0x00, 0x6d, 0x41, 0x07}});
  WebDlg dlg;
  ASSERT_TRUE(dlg.Create());
  ui::win32::Win32Control* c = h.port.FindControl(dlg.GetSafeHwnd(), kWeb);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->web, nullptr);
  dlg.ShowWindow(ui::ShowCommand::Show);
  ui::WebView view(&dlg, kWeb);
  view.Navigate(kStart);
  EXPECT_EQ(dlg.GetDlgItemText(kWeb), kStart);
  ASSERT_TRUE(h.backend->WebNavigateByUser(dlg.GetSafeHwnd(), kWeb, kLater, false))
      << h.backend->ActionError();
  EXPECT_EQ(view.LocationUrl(), kLater);
  EXPECT_EQ(dlg.GetDlgItemText(kWeb), kLater);
  EXPECT_EQ(dlg.heard, (Heard{{ui::notify::kWebBeforeNavigate, kLater}}));
}

}  // namespace
}  // namespace uitest
