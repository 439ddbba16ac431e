// The web-view control: the system's browser control when it can be made,
// else a label that shows where it would go. The window book's address and
// history are what the program reads back either way.
#include "ui/backend/win32/win32_port.h"
#include "ui/backend/win32/win32_web_host.h"

namespace ui::win32 {

void Win32Port::StartWebView(Win32Window& w, Win32Control& c) {
  if (!c.hwnd) return;
  if (!oleTried_) {
    // In-place activation wants OLE, not only COM, on this thread.
    oleTried_ = true;
    oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
  }
  const WindowId window = w.id;
  const int id = c.id;
  WebHostEvents events;
  events.decide = [this, window, id](const std::string& url, bool newWindow) {
    return WebDecide(window, id, url, newWindow);
  };
  events.loaded = [this, window, id](const std::string& url) { WebLoaded(window, id, url); };
  c.web = WebHost::Create(c.hwnd, std::move(events), webClass_);
}

void Win32Port::UseWebControlClass(const GUID& classId) {
  webClass_ = classId;
}

void Win32Port::WebNavigate(WindowId window, int id, std::string_view url) {
  Win32Control* c = FindControl(window, id);
  if (!c) return;
  common::WebVisit(*c, std::string(url));
  if (c->hwnd) SetWindowTextW(c->hwnd, W(url).c_str());
  if (c->web) c->web->Navigate(c->url);
}

bool Win32Port::WebGo(WindowId window, int id, int delta) {
  Win32Control* c = FindControl(window, id);
  if (!c || !common::WebStep(*c, delta)) return false;
  if (c->hwnd) SetWindowTextW(c->hwnd, W(c->url).c_str());
  if (c->web) c->web->Go(delta, c->url);
  return true;
}

void Win32Port::WebRefresh(WindowId window, int id) {
  Win32Control* c = FindControl(window, id);
  if (!c) return;
  ++c->refreshes;
  if (c->web) c->web->Refresh();
}

std::string Win32Port::WebLocation(WindowId window, int id) {
  return windows_.WebLocation(window, id);
}

bool Win32Port::WebDecide(WindowId window, int id, const std::string& url, bool newWindow) {
  Win32Window* w = Find(window);
  if (!w || !w->client) return false;  // nobody left to ask: the page stays
  const bool allowed = common::AllowNavigation(*w, id, url, newWindow);
  if (allowed && !newWindow) {
    if (Win32Control* c = FindControl(window, id)) {
      common::WebVisit(*c, url);
      if (c->hwnd) SetWindowTextW(c->hwnd, W(url).c_str());
    }
  }
  return allowed;
}

void Win32Port::WebLoaded(WindowId window, int id, const std::string& url) {
  Win32Control* c = FindControl(window, id);
  if (!c) return;
  // The control's word for where it is wins (a redirect, a trailing slash).
  if (!url.empty()) {
    c->url = url;
    if (c->historyAt >= 0) c->history[static_cast<std::size_t>(c->historyAt)] = url;
  }
  Notification n{notify::kWebDocumentComplete, id, -1, 0, {}, c->url.c_str(), nullptr};
  common::SendNotify(Find(window), n);
}

bool Win32Port::WebKeyTaken(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  for (HWND h = msg.hwnd; h; h = GetParent(h)) {
    Win32Window* w = FindByHwnd(GetParent(h));
    if (!w) continue;
    Win32Control* c = FindControl(w->id, GetDlgCtrlID(h));
    return c && c->web && c->hwnd == h && c->web->TranslateKey(msg);
  }
  return false;
}

bool Win32Port::WebNavigateByUser(WindowId window, int controlId, const std::string& url,
                                  bool newWindow) {
  Win32Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::WebView) {
    return Fail("control " + std::to_string(controlId) + " is not a web view");
  }
  // As a link in the page would: the dialog is asked once, and the move that
  // follows is not reported again.
  const bool allowed = common::AllowNavigation(*Find(window), controlId, url, newWindow);
  if (allowed && !newWindow) WebNavigate(window, controlId, url);
  Pump();
  return true;
}

}  // namespace ui::win32
