// The user's side: what the scenario driver does, done to the records.
#include "ui/backend/headless/headless_backend.h"

namespace ui::headless {

bool HeadlessBackend::Fail(std::string why) {
  actionError_ = std::move(why);
  return false;
}

HeadlessBackend::Control* HeadlessBackend::Reachable(WindowId window, int id) {
  Window* w = Find(window);
  const std::optional<std::string> box =
      boxes_.empty() ? std::nullopt : std::optional<std::string>(boxes_.back()->view.text);
  actionError_ = common::CheckReachable(common::RecordReachView(w, id, box));
  return actionError_.empty() && id != 0 ? FindControl(window, id) : nullptr;
}

std::vector<WindowId> HeadlessBackend::FindWindows(int templateId) {
  return windows_.OfTemplate(templateId);
}

int HeadlessBackend::TemplateOf(WindowId window) {
  return windows_.TemplateOf(window);
}

bool HeadlessBackend::IsModalRunning(WindowId window) {
  return windows_.IsModalRunning(window);
}

void HeadlessBackend::SendCommand(WindowId window, int id, int code) {
  common::SendCommand(Find(window), id, code);
}

void HeadlessBackend::SendNotify(WindowId window, const Notification& notification) {
  common::SendNotify(Find(window), notification);
}

bool HeadlessBackend::Click(WindowId window, int controlId) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  Find(window)->focus = controlId;
  switch (c->kind) {
    case ControlKind::Button:
      SendCommand(window, controlId, notify::kClicked);
      break;
    case ControlKind::CheckBox:
      c->check = c->check ? 0 : 1;
      SendCommand(window, controlId, notify::kClicked);
      break;
    case ControlKind::Static:
    case ControlKind::Bitmap:
    case ControlKind::GroupBox:
      if (c->style & cs::kNotify) {
        SendCommand(window, controlId, notify::kClicked);
      } else {
        // Plain labels let the click through to the dialog underneath.
        const Point centre{(c->rect.left + c->rect.right) / 2, (c->rect.top + c->rect.bottom) / 2};
        Message m;
        m.message = msg::kLButtonDown;
        m.point = centre;
        Find(window)->client->HandleMessage(m);
      }
      break;
    case ControlKind::ListView:
      SendNotify(window, Notification{notify::kClick, controlId, -1, 0, {}, nullptr, nullptr});
      break;
    default:
      break;  // edits and combos take the focus only
  }
  Pump();
  return true;
}

bool HeadlessBackend::DoubleClick(WindowId window, int controlId) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  if ((c->kind == ControlKind::Static || c->kind == ControlKind::Bitmap) &&
      (c->style & cs::kNotify)) {
    SendCommand(window, controlId, notify::kClicked);
    SendCommand(window, controlId, notify::kDoubleClicked);
  } else if (c->kind == ControlKind::Button) {
    SendCommand(window, controlId, notify::kClicked);
    SendCommand(window, controlId, notify::kClicked);
  }
  Pump();
  return true;
}

bool HeadlessBackend::Type(WindowId window, int controlId, const std::string& text) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind == ControlKind::ComboBox) return TypeCombo(window, controlId, text);
  if (c->kind != ControlKind::Edit)
    return Fail("control " + std::to_string(controlId) + " is not an edit");
  if (c->style & cs::kReadOnly) return Fail("edit " + std::to_string(controlId) + " is read-only");
  Find(window)->focus = controlId;
  c->text = common::CutGbk(common::TypedText(text, c->style), c->limit);
  c->selStart = c->selEnd = static_cast<int>(c->text.size());
  SendCommand(window, controlId, notify::kEditChange);
  Pump();
  return true;
}

bool HeadlessBackend::TypeCombo(WindowId window, int controlId, const std::string& text) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::ComboBox || !(c->style & cs::kDropDown)) {
    return Fail("control " + std::to_string(controlId) + " is not an editable combo");
  }
  Find(window)->focus = controlId;
  c->text = text;
  c->selection = -1;
  SendCommand(window, controlId, notify::kComboEditChange);
  Pump();
  return true;
}

bool HeadlessBackend::ChooseCombo(WindowId window, int controlId, int index) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::ComboBox)
    return Fail("control " + std::to_string(controlId) + " is not a combo");
  if (index < 0 || index >= static_cast<int>(c->items.size())) {
    return Fail("combo " + std::to_string(controlId) + " has no entry " + std::to_string(index));
  }
  Find(window)->focus = controlId;
  // Picking with the mouse from the open list, in the order the system
  // sends it: the selection is taken, the list closes up, then the
  // selection-change notification follows.
  c->selection = index;
  if (c->style & cs::kDropDown) c->text = c->items[index];
  SendCommand(window, controlId, notify::kComboCloseUp);
  if (FindControl(window, controlId)) SendCommand(window, controlId, notify::kComboSelChange);
  Pump();
  return true;
}

bool HeadlessBackend::ClickList(WindowId window, int controlId, int item, int subItem) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::ListView)
    return Fail("control " + std::to_string(controlId) + " is not a list");
  if (item >= static_cast<int>(c->rows.size()) || item < -1) {
    return Fail("list " + std::to_string(controlId) + " has no item " + std::to_string(item));
  }
  Find(window)->focus = controlId;
  if (item >= 0 && c->selection != item) {
    c->selection = item;
    SendNotify(window,
               Notification{notify::kItemChanged, controlId, item, 0, {}, nullptr, nullptr});
  }
  if (Control* still = FindControl(window, controlId)) {
    (void)still;
    SendNotify(window,
               Notification{notify::kClick, controlId, item, subItem, {}, nullptr, nullptr});
  }
  Pump();
  return true;
}

bool HeadlessBackend::DoubleClickList(WindowId window, int controlId, int item, int subItem) {
  if (!ClickList(window, controlId, item, subItem)) return false;
  SendNotify(window,
             Notification{notify::kDblClick, controlId, item, subItem, {}, nullptr, nullptr});
  Pump();
  return true;
}

bool HeadlessBackend::PressKey(WindowId window, int controlId, int virtualKey, unsigned modifiers) {
  Reachable(window, controlId);
  if (!actionError_.empty()) return false;
  Window* w = Find(window);
  w->focus = controlId;
  Message m;
  m.message = msg::kKeyDown;
  m.wParam = static_cast<std::uintptr_t>(virtualKey);
  m.controlId = controlId;
  m.modifiers = modifiers;
  if (w->client->HandlePreTranslate(m)) {
    Pump();
    return true;
  }
  // The dialog manager's own handling of the key.
  const common::KeyAnswer answer =
      common::DialogKey(common::RecordFocus(*w, controlId),
                        common::DefaultButton(w->order, w->controls), virtualKey, modifiers);
  Control* focused = controlId ? FindControl(window, controlId) : nullptr;
  switch (answer.kind) {
    case common::KeyAnswer::Kind::Command:
      SendCommand(window, answer.controlId, answer.code);
      break;
    case common::KeyAnswer::Kind::LineBreak:
      focused->text += "\r\n";
      SendCommand(window, controlId, notify::kEditChange);
      break;
    case common::KeyAnswer::Kind::SelectAll:
      focused->selStart = 0;
      focused->selEnd = static_cast<int>(focused->text.size());
      break;
    case common::KeyAnswer::Kind::Swallow:
    case common::KeyAnswer::Kind::Ignore:
      break;
  }
  Pump();
  return true;
}

bool HeadlessBackend::Drag(WindowId window, Point from, Point to) {
  actionError_.clear();
  Reachable(window, 0);
  if (!actionError_.empty()) return false;
  Window* w = Find(window);
  const common::DragAnswer answer = common::DragStart(common::RecordControlsUnder(*w), from, to);
  if (answer.kind == common::DragAnswer::Kind::ClickControl) return Click(window, answer.controlId);
  if (answer.kind == common::DragAnswer::Kind::Nothing) return true;
  w->dragArmed = false;
  Message m;
  m.message = msg::kLButtonDown;
  m.point = from;
  w->client->HandleMessage(m);
  Pump();
  if (Window* self = Find(window); self && self->dragArmed) {
    self->dragArmed = false;
    self->rect = common::MovedBy(self->rect, from, to);
  }
  return true;
}

bool HeadlessBackend::DoubleClickAt(WindowId window, Point at) {
  actionError_.clear();
  Reachable(window, 0);
  if (!actionError_.empty()) return false;
  Window* w = Find(window);
  Message m;
  m.message = msg::kLButtonDown;
  m.point = at;
  w->client->HandleMessage(m);
  Pump();
  if (Window* self = Find(window); self && self->client) {
    self->dragArmed = false;
    m.message = msg::kLButtonDblClk;
    self->client->HandleMessage(m);
  }
  Pump();
  return true;
}

bool HeadlessBackend::SystemClose(WindowId window) {
  return SystemCommand(window, syscmd::kClose);
}

bool HeadlessBackend::SystemCommand(WindowId window, unsigned command) {
  actionError_.clear();
  // Minimising, maximising and restoring are the system's own, as on Windows;
  // a minimised window is restored from the task bar.
  const std::optional<ShowCommand> show = common::ShowOfSystemCommand(command);
  if (show == ShowCommand::Restore && Find(window) && Find(window)->minimized) {
    Show(window, *show);
    Pump();
    return true;
  }
  Reachable(window, 0);
  if (!actionError_.empty()) return false;
  if (show) {
    Show(window, *show);
    Pump();
    return true;
  }
  Message m;
  m.message = msg::kSysCommand;
  m.wParam = command;
  Find(window)->client->HandleMessage(m);
  Pump();
  return true;
}

bool HeadlessBackend::RightClick(WindowId window, int controlId, bool& takenByPage) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  Message m;
  m.controlId = controlId;
  m.point = {(c->rect.left + c->rect.right) / 2, (c->rect.top + c->rect.bottom) / 2};
  m.message = msg::kRButtonDown;
  takenByPage = Find(window)->client->HandlePreTranslate(m);
  Pump();
  if (Window* w = Find(window); w && w->client) {
    m.message = msg::kRButtonUp;
    w->client->HandlePreTranslate(m);
    Pump();
  }
  return true;
}

bool HeadlessBackend::WebNavigateByUser(WindowId window, int controlId, const std::string& url,
                                        bool newWindow) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::WebView)
    return Fail("control " + std::to_string(controlId) + " is not a web view");
  const bool allowed = common::AllowNavigation(*Find(window), controlId, url, newWindow);
  if (allowed && !newWindow) {
    if (Control* still = FindControl(window, controlId)) common::WebVisit(*still, url);
  }
  Pump();
  return true;
}

std::string HeadlessBackend::WindowCaption(WindowId window) {
  return WindowTitle(window);
}

std::optional<FontSpec> HeadlessBackend::ControlFont(WindowId window, int controlId) {
  return windows_.ControlFont(window, controlId);
}

std::optional<ImageList> HeadlessBackend::ListImages(WindowId window, int controlId) {
  return windows_.ListImages(window, controlId);
}

CtlColor HeadlessBackend::ControlColor(WindowId window, int controlId) {
  return windows_.ControlColor(window, controlId);
}

int HeadlessBackend::EditLimit(WindowId window, int controlId) {
  return windows_.EditLimit(window, controlId);
}

std::pair<int, int> HeadlessBackend::EditSelection(WindowId window, int controlId) {
  Control* c = FindControl(window, controlId);
  return c ? std::make_pair(c->selStart, c->selEnd) : std::make_pair(0, 0);
}

}  // namespace ui::headless
