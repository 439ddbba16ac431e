// The user's side: each action works the real controls the way a person's
// mouse and keyboard would, and reads back what the screen shows.
#include "ui/backend/win32/win32_port.h"

#include <algorithm>

namespace ui::win32 {

// Marks the span of a driver action: a drag the page starts then moves the
// window by the driver's offset instead of following the real pointer.
class DrivingScope {
 public:
  explicit DrivingScope(Win32Port& port) : port_(port), was_(port.driving_) {
    port_.driving_ = true;
  }
  ~DrivingScope() { port_.driving_ = was_; }
  DrivingScope(const DrivingScope&) = delete;
  DrivingScope& operator=(const DrivingScope&) = delete;

 private:
  Win32Port& port_;
  bool was_;
};

namespace {

Point Centre(HWND control, HWND dialog) {
  RECT r;
  GetWindowRect(control, &r);
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ScreenToClient(dialog, &p);
  return {p.x, p.y};
}

}  // namespace

bool Win32Port::Fail(std::string why) {
  actionError_ = std::move(why);
  return false;
}

Win32Control* Win32Port::Reachable(WindowId window, int id) {
  common::ReachView v;
  Win32Window* w = Find(window);
  Win32Control* c = w && id ? FindControl(window, id) : nullptr;
  v.windowExists = w != nullptr;
  if (w) {
    if (!boxes_.empty()) v.openBoxText = boxes_.back()->view.text;
    v.templateId = w->source->id;
    v.windowVisible = ::IsWindowVisible(w->hwnd) && !IsIconic(w->hwnd);
    v.windowEnabled = ::IsWindowEnabled(w->hwnd);
    v.controlId = id;
    v.controlExists = c && c->hwnd;
    if (v.controlExists) {
      v.controlVisible = (GetWindowLongPtrW(c->hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
      v.controlEnabled = ::IsWindowEnabled(c->hwnd);
    }
  }
  actionError_ = common::CheckReachable(v);
  return actionError_.empty() ? c : nullptr;
}

void Win32Port::SendCommand(Win32Window& w, int id, int code) {
  HWND control = GetDlgItem(w.hwnd, id);
  SendMessageW(w.hwnd, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

void Win32Port::SendMouse(Win32Window& w, UINT message, Point at) {
  SendMessageW(w.hwnd, message, message == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(at.x, at.y));
}

std::vector<WindowId> Win32Port::FindWindows(int templateId) {
  return windows_.OfTemplate(templateId);
}

int Win32Port::TemplateOf(WindowId window) {
  return windows_.TemplateOf(window);
}

bool Win32Port::IsModalRunning(WindowId window) {
  return windows_.IsModalRunning(window);
}

bool Win32Port::Click(WindowId window, int controlId) {
  Win32Control* c = Reachable(window, controlId);
  if (!c) return false;
  DrivingScope driving(*this);
  Win32Window& w = *Find(window);
  HWND control = c->hwnd;
  switch (c->kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
      ::SetFocus(control);
      // The button's own press and release: auto check boxes toggle, then
      // the dialog hears BN_CLICKED.
      SendMessageW(control, BM_CLICK, 0, 0);
      break;
    case ControlKind::Static:
    case ControlKind::Bitmap:
    case ControlKind::GroupBox:
      if (c->style & cs::kNotify) {
        SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
        SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
      } else {
        // Plain labels let the click through to the dialog underneath.
        SendMouse(w, WM_LBUTTONDOWN, Centre(control, w.hwnd));
        if (Win32Window* still = Find(window))
          SendMouse(*still, WM_LBUTTONUP, Centre(control, w.hwnd));
      }
      break;
    case ControlKind::ListView: {
      NMITEMACTIVATE item{};
      item.hdr.hwndFrom = control;
      item.hdr.idFrom = static_cast<UINT_PTR>(controlId);
      item.hdr.code = static_cast<UINT>(NM_CLICK);
      item.iItem = -1;
      ::SetFocus(control);
      SendMessageW(w.hwnd, WM_NOTIFY, controlId, reinterpret_cast<LPARAM>(&item));
      break;
    }
    default:
      ::SetFocus(control);  // edits, combos and web views take the focus only
      break;
  }
  Pump();
  return true;
}

bool Win32Port::DoubleClick(WindowId window, int controlId) {
  Win32Control* c = Reachable(window, controlId);
  if (!c) return false;
  DrivingScope driving(*this);
  Win32Window& w = *Find(window);
  if ((c->kind == ControlKind::Static || c->kind == ControlKind::Bitmap) &&
      (c->style & cs::kNotify)) {
    SendCommand(w, controlId, STN_CLICKED);
    if (Find(window)) SendCommand(w, controlId, STN_DBLCLK);
  } else if (c->kind == ControlKind::Button) {
    SendMessageW(c->hwnd, BM_CLICK, 0, 0);
    if (Win32Control* still = FindControl(window, controlId)) {
      SendMessageW(still->hwnd, BM_CLICK, 0, 0);
    }
  }
  Pump();
  return true;
}

bool Win32Port::Type(WindowId window, int controlId, const std::string& text) {
  Win32Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind == ControlKind::ComboBox) return TypeCombo(window, controlId, text);
  if (c->kind != ControlKind::Edit) {
    return Fail("control " + std::to_string(controlId) + " is not an edit");
  }
  if (c->style & cs::kReadOnly) return Fail("edit " + std::to_string(controlId) + " is read-only");
  const std::string typed = CutGbk(common::TypedText(text, c->style), c->limit);
  ::SetFocus(c->hwnd);
  // Select all, then what a paste of the text does: one change notification.
  SendMessageW(c->hwnd, EM_SETSEL, 0, -1);
  const std::wstring wide = W(typed);
  SendMessageW(c->hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
  Pump();
  return true;
}

bool Win32Port::TypeCombo(WindowId window, int controlId, const std::string& text) {
  Win32Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::ComboBox || !(c->style & cs::kDropDown)) {
    return Fail("control " + std::to_string(controlId) + " is not an editable combo");
  }
  Win32Window& w = *Find(window);
  ::SetFocus(c->hwnd);
  {
    // The edit part takes the text; the combo reports the edit as the user's.
    SendMessageW(c->hwnd, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(c->hwnd, W(text).c_str());
  }
  SendCommand(w, controlId, CBN_EDITCHANGE);
  Pump();
  return true;
}

bool Win32Port::ChooseCombo(WindowId window, int controlId, int index) {
  Win32Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::ComboBox) {
    return Fail("control " + std::to_string(controlId) + " is not a combo");
  }
  const int count = static_cast<int>(SendMessageW(c->hwnd, CB_GETCOUNT, 0, 0));
  if (index < 0 || index >= count) {
    return Fail("combo " + std::to_string(controlId) + " has no entry " + std::to_string(index));
  }
  Win32Window& w = *Find(window);
  ::SetFocus(c->hwnd);
  // Picking with the mouse from the open list, as the system reports it: the
  // selection is taken, the list closes up, then the selection change follows.
  SendMessageW(c->hwnd, CB_SETCURSEL, index, 0);
  SendCommand(w, controlId, CBN_CLOSEUP);
  if (FindControl(window, controlId)) SendCommand(w, controlId, CBN_SELCHANGE);
  Pump();
  return true;
}

bool Win32Port::ClickList(WindowId window, int controlId, int item, int subItem) {
  Win32Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::ListView) {
    return Fail("control " + std::to_string(controlId) + " is not a list");
  }
  const int count = ListView_GetItemCount(c->hwnd);
  if (item >= count || item < -1) {
    return Fail("list " + std::to_string(controlId) + " has no item " + std::to_string(item));
  }
  HWND list = c->hwnd;
  HWND dialog = Find(window)->hwnd;
  ::SetFocus(list);
  POINT at{0, 0};
  if (item >= 0) {
    RECT r{};
    ListView_GetSubItemRect(list, item, subItem, LVIR_BOUNDS, &r);
    at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    // The list selects the item itself and reports the change.
    ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(list, item);
  }
  if (FindControl(window, controlId)) {
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(controlId);
    click.hdr.code = static_cast<UINT>(NM_CLICK);
    click.iItem = item;
    click.iSubItem = subItem;
    click.ptAction = at;
    SendMessageW(dialog, WM_NOTIFY, controlId, reinterpret_cast<LPARAM>(&click));
  }
  Pump();
  return true;
}

bool Win32Port::DoubleClickList(WindowId window, int controlId, int item, int subItem) {
  if (!ClickList(window, controlId, item, subItem)) return false;
  Win32Control* c = FindControl(window, controlId);
  Win32Window* w = Find(window);
  if (!c || !w) return true;
  NMITEMACTIVATE click{};
  click.hdr.hwndFrom = c->hwnd;
  click.hdr.idFrom = static_cast<UINT_PTR>(controlId);
  click.hdr.code = static_cast<UINT>(NM_DBLCLK);
  click.iItem = item;
  click.iSubItem = subItem;
  SendMessageW(w->hwnd, WM_NOTIFY, controlId, reinterpret_cast<LPARAM>(&click));
  Pump();
  return true;
}

bool Win32Port::PressKey(WindowId window, int controlId, int virtualKey, unsigned modifiers) {
  actionError_.clear();
  if (controlId != 0) {
    if (!Reachable(window, controlId)) return false;
  } else if (Reachable(window, 0), !actionError_.empty()) {
    return false;
  }
  HWND target = controlId ? ControlHwnd(window, controlId) : Hwnd(window);
  ::SetFocus(target);
  // The modifiers are held while the key goes through the loop.
  BYTE saved[256];
  GetKeyboardState(saved);
  BYTE held[256];
  std::copy(std::begin(saved), std::end(saved), std::begin(held));
  held[VK_CONTROL] = (modifiers & mod::kCtrl) ? 0x80 : 0;
  held[VK_SHIFT] = (modifiers & mod::kShift) ? 0x80 : 0;
  held[VK_MENU] = (modifiers & mod::kAlt) ? 0x80 : 0;
  SetKeyboardState(held);
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(virtualKey),
               static_cast<LPARAM>(1 | (scan << 16)));
  PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(virtualKey),
               static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
  // Through our loop, so PreTranslateMessage and the dialog manager see it.
  Pump();
  SetKeyboardState(saved);
  return true;
}

bool Win32Port::Drag(WindowId window, Point from, Point to) {
  actionError_.clear();
  Reachable(window, 0);
  if (!actionError_.empty()) return false;
  Win32Window* w = Find(window);
  std::vector<common::ControlUnder> under;
  for (int id : w->order) {
    const Win32Control& c = w->controls[id];
    if (!c.hwnd) continue;
    RECT r;
    ::GetWindowRect(c.hwnd, &r);
    MapWindowPoints(nullptr, w->hwnd, reinterpret_cast<POINT*>(&r), 2);
    under.push_back({id, Rect{r.left, r.top, r.right, r.bottom}, c.kind, c.style,
                     (GetWindowLongPtrW(c.hwnd, GWL_STYLE) & WS_VISIBLE) != 0,
                     ::IsWindowEnabled(c.hwnd) != 0});
  }
  const common::DragAnswer answer = common::DragStart(under, from, to);
  if (answer.kind == common::DragAnswer::Kind::ClickControl) return Click(window, answer.controlId);
  if (answer.kind == common::DragAnswer::Kind::Nothing) return true;
  DrivingScope driving(*this);
  w->dragArmed = false;
  SendMouse(*w, WM_LBUTTONDOWN, from);
  Pump();  // the page's posted caption press arrives
  if (Win32Window* self = Find(window); self && self->dragArmed) {
    self->dragArmed = false;
    RECT r;
    ::GetWindowRect(self->hwnd, &r);
    const Rect moved = common::MovedBy(Rect{r.left, r.top, r.right, r.bottom}, from, to);
    SetWindowPos(self->hwnd, nullptr, moved.left, moved.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (Win32Window* self = Find(window)) SendMouse(*self, WM_LBUTTONUP, to);
  Pump();
  return true;
}

bool Win32Port::DoubleClickAt(WindowId window, Point at) {
  actionError_.clear();
  Reachable(window, 0);
  if (!actionError_.empty()) return false;
  DrivingScope driving(*this);
  SendMouse(*Find(window), WM_LBUTTONDOWN, at);
  Pump();
  if (Win32Window* self = Find(window); self && self->client) {
    self->dragArmed = false;
    SendMouse(*self, WM_LBUTTONDBLCLK, at);
  }
  Pump();
  return true;
}

bool Win32Port::SystemClose(WindowId window) {
  return SystemCommand(window, SC_CLOSE);
}

bool Win32Port::SystemCommand(WindowId window, unsigned command) {
  actionError_.clear();
  // A minimised window is restored from the task bar.
  HWND hwnd = Hwnd(window);
  const bool fromTaskBar =
      hwnd && IsIconic(hwnd) && common::ShowOfSystemCommand(command) == ShowCommand::Restore;
  if (!fromTaskBar) Reachable(window, 0);
  if (!actionError_.empty()) return false;
  SendMessageW(Find(window)->hwnd, WM_SYSCOMMAND, command, 0);
  Pump();
  return true;
}

bool Win32Port::RightClick(WindowId window, int controlId, bool& takenByPage) {
  actionError_.clear();
  if (!Reachable(window, controlId)) return false;
  HWND target = ControlHwnd(window, controlId);
  RECT r;
  ::GetClientRect(target, &r);
  POINT at{r.right / 2, r.bottom / 2};
  // The press goes to the innermost window under that point, as the mouse's
  // would: a hosted browser draws its page in windows of its own.
  for (HWND inner; (inner = ChildWindowFromPointEx(target, at, CWP_SKIPINVISIBLE)) != nullptr &&
                   inner != target;) {
    MapWindowPoints(target, inner, &at, 1);
    target = inner;
  }
  const LPARAM point = MAKELPARAM(at.x, at.y);
  // The release waits in the queue: a control that follows the mouse after a
  // press (a list view does) finds it there and ends its own loop.
  PostMessageW(target, WM_RBUTTONUP, 0, point);
  MSG press{};
  press.hwnd = target;
  press.message = WM_RBUTTONDOWN;
  press.wParam = MK_RBUTTON;
  press.lParam = point;
  press.time = static_cast<DWORD>(GetMessageTime());
  takenByPage = PageTakes(press);
  if (!takenByPage && !IsDialogMessageW(Hwnd(window), &press)) DispatchMessageW(&press);
  Pump();
  return true;
}

// --- reading back ---------------------------------------------------------------------

std::string Win32Port::WindowCaption(WindowId window) {
  HWND hwnd = Hwnd(window);
  return hwnd ? WindowTextOf(hwnd) : std::string();
}

std::optional<FontSpec> Win32Port::ControlFont(WindowId window, int controlId) {
  return windows_.ControlFont(window, controlId);
}

std::optional<ImageList> Win32Port::ListImages(WindowId window, int controlId) {
  return windows_.ListImages(window, controlId);
}

CtlColor Win32Port::ControlColor(WindowId window, int controlId) {
  return windows_.ControlColor(window, controlId);
}

int Win32Port::EditLimit(WindowId window, int controlId) {
  return windows_.EditLimit(window, controlId);
}

std::pair<int, int> Win32Port::EditSelection(WindowId window, int controlId) {
  Win32Control* c = FindControl(window, controlId);
  if (!c || !c->hwnd) return {0, 0};
  DWORD start = 0, end = 0;
  SendMessageW(c->hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  const std::string text = WindowTextOf(c->hwnd);
  return {GbkBytesBefore(text, static_cast<int>(start)),
          GbkBytesBefore(text, static_cast<int>(end))};
}

}  // namespace ui::win32
