// Windows, the dialog procedure, loops, placement, timers and posting.
#include "ui/backend/win32/win32_port.h"
#include "ui/backend/win32/win32_template.h"
#include "ui/backend/win32/win32_web_host.h"

#include <windowsx.h>

#include <algorithm>

namespace ui::win32 {

namespace {

Win32Port* g_port = nullptr;

// Carries posted messages: one wake-up per post, so each message is handled in
// order between the other messages of the thread, also inside system loops.
constexpr UINT kWakeMessage = WM_APP + 1;
constexpr wchar_t kMessageWindowClass[] = L"OrvanePostWindow";

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return g_port ? g_port->DialogMessage(hwnd, message, wParam, lParam) : FALSE;
}

LRESULT CALLBACK MessageWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kWakeMessage && g_port) {
    g_port->DeliverNextPosted();
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

Rect ToRect(const RECT& r) {
  return Rect{r.left, r.top, r.right, r.bottom};
}

unsigned HeldModifiers() {
  unsigned held = mod::kNone;
  if (GetKeyState(VK_CONTROL) & 0x8000) held |= mod::kCtrl;
  if (GetKeyState(VK_SHIFT) & 0x8000) held |= mod::kShift;
  if (GetKeyState(VK_MENU) & 0x8000) held |= mod::kAlt;
  return held;
}

bool IsMouseMessage(UINT message) {
  return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

}  // namespace

Win32Port* CurrentPort() {
  return g_port;
}

std::unique_ptr<Win32Backend> CreateWin32Backend() {
  return std::make_unique<Win32Port>();
}

Win32Port::Win32Port() : webClass_(BrowserControlClass()) {
  g_port = this;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSW wc{};
  wc.lpfnWndProc = MessageWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kMessageWindowClass;
  RegisterClassW(&wc);
  messageWindow_ = CreateWindowExW(0, kMessageWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                   nullptr, wc.hInstance, nullptr);
}

Win32Port::~Win32Port() {
  while (!windows_.empty()) DestroyWindow(windows_.rbegin()->first);
  // A quit nobody took off the queue would end the next loop of this thread.
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  if (scriptTimer_) ::KillTimer(nullptr, scriptTimer_);
  if (messageWindow_) ::DestroyWindow(messageWindow_);
  for (auto& [id, bitmap] : bitmaps_) DeleteObject(bitmap);
  for (auto& [key, icon] : icons_) DestroyIcon(icon);
  if (oleStarted_) OleUninitialize();  // the browser controls went with their windows
  std::lock_guard lock(postMutex_);
  posted_.clear();  // payloads of messages nobody will receive
  if (g_port == this) g_port = nullptr;
}

Win32Window* Win32Port::Find(WindowId window) {
  return windows_.Find(window);
}

Win32Window* Win32Port::FindByHwnd(HWND hwnd) {
  auto it = byHwnd_.find(hwnd);
  return it == byHwnd_.end() ? nullptr : Find(it->second);
}

Win32Control* Win32Port::FindControl(WindowId window, int id) {
  return windows_.FindControl(window, id);
}

HWND Win32Port::Hwnd(WindowId window) {
  Win32Window* w = Find(window);
  return w ? w->hwnd : nullptr;
}

HWND Win32Port::ControlHwnd(WindowId window, int id) {
  Win32Control* c = FindControl(window, id);
  return c ? c->hwnd : nullptr;
}

// --- windows -----------------------------------------------------------------

WindowId Win32Port::CreateDialogWindow(const DialogTemplate& dialogTemplate, WindowId owner,
                                       WindowClient& client) {
  const std::vector<std::uint8_t> bytes = BuildDialogTemplate(dialogTemplate);
  creating_ = &dialogTemplate;
  creatingClient_ = &client;
  creatingOwner_ = Find(owner) ? owner : 0;
  const WindowId id = nextWindow_;
  HWND hwnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                         reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                         Hwnd(creatingOwner_), DialogProc, 0);
  creating_ = nullptr;
  creatingClient_ = nullptr;
  if (!hwnd) return 0;
  // The window may already be gone again if OnInitDialog destroyed it.
  return Find(id) ? id : 0;
}

bool Win32Port::InitDialog(HWND hwnd, Win32Window& w) {
  byHwnd_[hwnd] = w.id;
  SetupControls(w);
  w.client->Attached(w.id);
  return w.client->HandleInitDialog();
}

void Win32Port::DestroyWindow(WindowId window) {
  Win32Window* w = Find(window);
  if (!w) return;
  // The system destroys owned windows first, then the owner; each one's
  // WM_DESTROY detaches its object.
  ::DestroyWindow(w->hwnd);
}

void Win32Port::Detach(Win32Window& w) {
  for (auto it = tray_.begin(); it != tray_.end();) {
    if (it->first.first == w.id) {
      NOTIFYICONDATAW data{};
      data.cbSize = sizeof(data);
      data.hWnd = w.hwnd;
      data.uID = static_cast<UINT>(it->first.second);
      Shell_NotifyIconW(NIM_DELETE, &data);
      it = tray_.erase(it);
    } else {
      ++it;
    }
  }
  common::Detach(w);
}

bool Win32Port::IsWindow(WindowId window) {
  return Find(window) != nullptr;
}

int Win32Port::RunModal(WindowId window) {
  Win32Window* w = Find(window);
  if (!w || quit_) return -1;
  w->modal = true;
  HWND owner = Hwnd(w->owner);
  const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
  if (owner) ::EnableWindow(owner, FALSE);
  if (!w->modalEnded && !::IsWindowVisible(w->hwnd)) ::ShowWindow(w->hwnd, SW_SHOWNORMAL);

  RunLoopUntil([&] {
    Win32Window* self = Find(window);
    return !self || self->modalEnded;
  });

  int result = -1;
  // The owner comes back before the dialog hides, so activation returns to it.
  if (owner && ownerWasEnabled) ::EnableWindow(owner, TRUE);
  if (Win32Window* self = Find(window)) {
    result = self->modalEnded ? self->modalResult : -1;
    self->modal = false;
    ::ShowWindow(self->hwnd, SW_HIDE);
  }
  return result;
}

void Win32Port::EndModal(WindowId window, int result) {
  if (Win32Window* w = Find(window)) {
    w->modalEnded = true;
    w->modalResult = result;
  }
}

int Win32Port::RunMessageLoop() {
  RunLoopUntil([] { return false; });
  return exitCode_;
}

void Win32Port::PostQuit(int exitCode) {
  if (quit_) return;
  quit_ = true;
  exitCode_ = exitCode;
  // Ends the system's own loops too (message boxes, pickers).
  PostQuitMessage(exitCode);
}

bool Win32Port::PageTakes(const MSG& msg) {
  if (!msg.hwnd) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  Win32Window* w = FindByHwnd(root);
  if (!w || !w->client) return false;
  Message m;
  m.message = msg.message;
  m.wParam = msg.wParam;
  m.lParam = msg.lParam;
  // A key or press in a window inside a control (the browser's own, the edit
  // of a combo) belongs to that control.
  HWND control = msg.hwnd;
  while (control && control != root && GetParent(control) != root) control = GetParent(control);
  m.controlId = !control || control == root ? 0 : GetDlgCtrlID(control);
  m.modifiers = HeldModifiers();
  if (IsMouseMessage(msg.message)) {
    POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    MapWindowPoints(msg.hwnd, root, &p, 1);
    m.point = {p.x, p.y};
  }
  return w->client->HandlePreTranslate(m);
}

bool Win32Port::PreTranslate(MSG& msg) {
  if (PageTakes(msg)) return true;
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  Win32Window* w = FindByHwnd(root);
  if (!w || !w->client) return false;
  if (WebKeyTaken(msg)) return true;
  // The dialog manager: Tab, Escape, Enter and the mnemonics.
  return IsDialogMessageW(root, &msg) != 0;
}

bool Win32Port::ProcessOne() {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    if (!quit_) {
      quit_ = true;
      exitCode_ = static_cast<int>(msg.wParam);
    }
    // Outer loops, ours or the system's, see the quit too.
    if (loopDepth_ > 1) PostQuitMessage(exitCode_);
    return true;
  }
  if (!PreTranslate(msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void Win32Port::RunLoopUntil(const std::function<bool()>& done) {
  ++loopDepth_;
  while (!done() && !quit_) {
    if (ProcessOne()) continue;
    if (script_) {
      if (!script_->Step()) {
        // The user has nothing more to do: end every loop, as a quit would.
        scriptExhausted_ = true;
        PostQuit(0);
      }
      continue;
    }
    WaitMessage();
  }
  --loopDepth_;
}

void Win32Port::RunFor(unsigned milliseconds) {
  ++loopDepth_;
  const DWORD start = GetTickCount();
  while (!quit_) {
    while (!quit_ && ProcessOne()) {
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
  }
  --loopDepth_;
}

// --- the dialog procedure ------------------------------------------------------------

INT_PTR Win32Port::DialogMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG && creating_) {
    const WindowId id = nextWindow_++;
    Win32Window& w = windows_[id];
    w.id = id;
    w.hwnd = hwnd;
    w.source = creating_;
    w.client = creatingClient_;
    w.owner = creatingOwner_;
    w.created = ++sequence_;
    creating_ = nullptr;
    return InitDialog(hwnd, w) ? TRUE : FALSE;
  }
  Win32Window* w = FindByHwnd(hwnd);
  if (message == WM_NCDESTROY) {
    if (w) {
      // The controls are gone by now; their fonts and image lists may follow.
      for (auto& [id, c] : w->controls) {
        if (c.hfont) DeleteObject(c.hfont);
        if (c.himages) ImageList_Destroy(c.himages);
      }
      const WindowId id = w->id;
      byHwnd_.erase(hwnd);
      windows_.Erase(id);
    }
    return FALSE;
  }
  if (!w || !w->client) return FALSE;
  WindowClient& client = *w->client;
  Message m;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;

  switch (message) {
    case WM_DESTROY:
      Detach(*w);
      return FALSE;
    case WM_COMMAND:
      Command(*w, wParam, lParam);
      return TRUE;
    case WM_NOTIFY: {
      INT_PTR result = 0;
      Notify(*w, *reinterpret_cast<const NMHDR*>(lParam), lParam, result);
      SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_TIMER:
      client.HandleMessage(m);
      return TRUE;
    case WM_PAINT:
      Paint(*w);
      return TRUE;
    case WM_PRINTCLIENT:
      PrintClient(*w, reinterpret_cast<HDC>(wParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORDLG: {
      const HWND control = reinterpret_cast<HWND>(lParam);
      const int controlId = control == hwnd ? 0 : GetDlgCtrlID(control);
      const CtlColor color = client.HandleCtlColor(controlId);
      if (!color.hollowBrush) return FALSE;
      // The base handling first: the system's text and background colours,
      // which a label that keeps the opaque mode draws its text with.
      DefWindowProcW(hwnd, message, wParam, lParam);
      if (color.transparentText) SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE:
      m.point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      client.HandleMessage(m);
      return TRUE;
    case WM_CLOSE:
      client.HandleMessage(m);
      return TRUE;
    case WM_SIZE:
      client.HandleMessage(m);
      return FALSE;
    case WM_SYSCOMMAND:
      // The close command and the program's own items are the dialog's; moving,
      // minimising and the rest keep the system's handling.
      if ((wParam & 0xFFF0) == SC_CLOSE || wParam < 0xF000) {
        client.HandleMessage(m);
        return TRUE;
      }
      return FALSE;
    default:
      if (message >= WM_USER && message < 0xC000 && message != kWakeMessage) {
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, client.HandleMessage(m));
        return TRUE;
      }
      return FALSE;
  }
}

void Win32Port::Command(Win32Window& w, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (code == EN_CHANGE && !quiet_) {
    auto it = w.controls.find(id);
    if (it != w.controls.end() && it->second.kind == ControlKind::Edit) {
      EnforceEditLimit(w, it->second);
    }
  }
  Message m;
  m.message = WM_COMMAND;
  m.wParam = wParam;
  m.lParam = lParam;
  m.controlId = id;
  if (w.client) w.client->HandleMessage(m);
}

void Win32Port::Notify(Win32Window& w, const NMHDR& header, LPARAM lParam, INT_PTR& result) {
  const int code = static_cast<int>(header.code);
  Notification n;
  n.code = code;
  n.controlId = static_cast<int>(header.idFrom);
  switch (header.code) {
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK: {
      const auto* item = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
      n.item = item->iItem;
      n.subItem = item->iSubItem;
      n.point = {item->ptAction.x, item->ptAction.y};
      break;
    }
    case LVN_ITEMCHANGED: {
      const auto* view = reinterpret_cast<const NMLISTVIEW*>(lParam);
      n.item = view->iItem;
      n.subItem = view->iSubItem;
      break;
    }
    default:
      return;  // tool tips, custom draw and the rest keep their defaults
  }
  if (w.client) result = w.client->HandleNotification(n);
}

// --- placement -------------------------------------------------------------------------

void Win32Port::Show(WindowId window, ShowCommand command) {
  HWND hwnd = Hwnd(window);
  if (!hwnd) return;
  int show = SW_SHOW;
  switch (command) {
    case ShowCommand::Hide:
      show = SW_HIDE;
      break;
    case ShowCommand::Show:
      show = SW_SHOW;
      break;
    case ShowCommand::ShowNormal:
      show = SW_SHOWNORMAL;
      break;
    case ShowCommand::Restore:
      show = SW_RESTORE;
      break;
    case ShowCommand::Minimize:
      show = SW_MINIMIZE;
      break;
    case ShowCommand::ShowNoActivate:
      show = SW_SHOWNOACTIVATE;
      break;
    case ShowCommand::Maximize:
      show = SW_SHOWMAXIMIZED;
      break;
  }
  ::ShowWindow(hwnd, show);
}

bool Win32Port::IsVisible(WindowId window) {
  HWND hwnd = Hwnd(window);
  return hwnd && ::IsWindowVisible(hwnd);
}

void Win32Port::EnableWindow(WindowId window, bool enable) {
  if (HWND hwnd = Hwnd(window)) ::EnableWindow(hwnd, enable);
}

bool Win32Port::IsEnabled(WindowId window) {
  HWND hwnd = Hwnd(window);
  return hwnd && ::IsWindowEnabled(hwnd);
}

Rect Win32Port::GetWindowRect(WindowId window) {
  RECT r{};
  if (HWND hwnd = Hwnd(window)) ::GetWindowRect(hwnd, &r);
  return ToRect(r);
}

Rect Win32Port::GetClientRect(WindowId window) {
  RECT r{};
  if (HWND hwnd = Hwnd(window)) ::GetClientRect(hwnd, &r);
  return ToRect(r);
}

void Win32Port::MoveWindow(WindowId window, const Rect& rect) {
  if (HWND hwnd = Hwnd(window)) {
    ::MoveWindow(hwnd, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
  }
}

void Win32Port::SetTopmost(WindowId window, bool topmost) {
  if (HWND hwnd = Hwnd(window)) {
    SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

bool Win32Port::IsTopmost(WindowId window) {
  HWND hwnd = Hwnd(window);
  return hwnd && (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

Size Win32Port::ScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

Size Win32Port::WorkAreaSize() {
  RECT area{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) return ScreenSize();
  return {area.right - area.left, area.bottom - area.top};
}

Size Win32Port::FullScreenClientSize() {
  return {GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};
}

void Win32Port::SetWindowText(WindowId window, std::string_view text) {
  if (HWND hwnd = Hwnd(window)) SetWindowTextW(hwnd, W(text).c_str());
}

void Win32Port::SetForeground(WindowId window) {
  if (HWND hwnd = Hwnd(window)) SetForegroundWindow(hwnd);
}

// --- timers --------------------------------------------------------------------------

void Win32Port::SetTimer(WindowId window, int timerId, unsigned periodMs) {
  // The system's own timers: setting a running id again restarts its period.
  if (HWND hwnd = Hwnd(window)) ::SetTimer(hwnd, static_cast<UINT_PTR>(timerId), periodMs, nullptr);
}

void Win32Port::KillTimer(WindowId window, int timerId) {
  if (HWND hwnd = Hwnd(window)) ::KillTimer(hwnd, static_cast<UINT_PTR>(timerId));
}

// --- posting -------------------------------------------------------------------------

void Win32Port::Post(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                     std::unique_ptr<Payload> payload) {
  {
    std::lock_guard lock(postMutex_);
    posted_.push_back(PostedMessage{window, message, wParam, std::move(payload)});
  }
  PostMessageW(messageWindow_, kWakeMessage, 0, 0);
}

void Win32Port::DeliverNextPosted() {
  PostedMessage next;
  {
    std::lock_guard lock(postMutex_);
    if (posted_.empty()) return;
    next = std::move(posted_.front());
    posted_.pop_front();
  }
  // A message for a window that is gone is dropped, its payload with it.
  Win32Window* w = Find(next.window);
  if (w && w->client) w->client->HandlePosted(next.message, next.wParam, std::move(next.payload));
}

void Win32Port::Pump() {
  ++loopDepth_;
  while (!quit_ && ProcessOne()) {
  }
  --loopDepth_;
  for (auto& [id, w] : windows_) UpdateWindow(w.hwnd);
}

bool Win32Port::WaitUntil(const std::function<bool()>& done, unsigned milliseconds) {
  const DWORD start = GetTickCount();
  while (true) {
    Pump();
    if (done()) return true;
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds || quit_) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, milliseconds - elapsed),
                              QS_ALLINPUT);
  }
}

void Win32Port::Advance(unsigned milliseconds) {
  RunFor(milliseconds);
}

bool Win32Port::SetLocalTime(int, int, int, int, int, int) {
  // The real clock belongs to the system.
  return false;
}

}  // namespace ui::win32
