// The user's side: what the scenario driver does, done to the real widgets.
#include <algorithm>

#include "ui/backend/gtk/gtk_port.h"
#include "ui/backend/gtk/gtk_signals.h"

namespace ui::gtk {

namespace {

std::string Id(int id) {
  return std::to_string(id);
}

}  // namespace

void GtkPort::SetScript(Script* script) {
  // A scripted user acts faster than transitions run: screenshots would
  // catch a check mark still fading in. The person's setting comes back after.
  GtkSettings* settings = gtk_settings_get_default();
  if (script && !script_) {
    g_object_get(settings, "gtk-enable-animations", &animations_, nullptr);
    g_object_set(settings, "gtk-enable-animations", FALSE, nullptr);
  } else if (!script && script_) {
    g_object_set(settings, "gtk-enable-animations", animations_, nullptr);
  }
  script_ = script;
}

bool GtkPort::Fail(std::string why) {
  actionError_ = std::move(why);
  return false;
}

GtkControl* GtkPort::Reachable(WindowId window, int id) {
  GtkWin* w = Find(window);
  const std::optional<std::string> box =
      boxes_.empty() ? std::nullopt : std::optional<std::string>(boxes_.back()->view.text);
  actionError_ = common::CheckReachable(common::RecordReachView(w, id, box));
  return actionError_.empty() && id != 0 ? FindControl(window, id) : nullptr;
}

void GtkPort::SendCommand(WindowId window, int id, int code) {
  common::SendCommand(Find(window), id, code);
}

void GtkPort::SendNotify(WindowId window, const Notification& notification) {
  common::SendNotify(Find(window), notification);
}

void GtkPort::ListClicked(WindowId window, int id, int item, int subItem, int code) {
  GtkControl* c = FindControl(window, id);
  if (!c) return;
  if (GtkWin* w = Find(window)) w->focus = id;
  if (item >= 0 && c->selection != item) {
    c->selection = item;
    SelectListRow(*c, item);
    SendNotify(window, Notification{notify::kItemChanged, id, item, 0, {}, nullptr, nullptr});
  }
  if (FindControl(window, id)) {
    SendNotify(window, Notification{code, id, item, subItem, {}, nullptr, nullptr});
  }
}

bool GtkPort::DialogKey(WindowId window, int controlId, int virtualKey, unsigned modifiers) {
  GtkWin* w = Find(window);
  if (!w) return false;
  const common::KeyAnswer answer =
      common::DialogKey(common::RecordFocus(*w, controlId),
                        common::DefaultButton(w->order, w->controls), virtualKey, modifiers);
  GtkControl* focused = controlId ? FindControl(window, controlId) : nullptr;
  switch (answer.kind) {
    case common::KeyAnswer::Kind::Command:
      SendCommand(window, answer.controlId, answer.code);
      return true;
    case common::KeyAnswer::Kind::LineBreak: {
      if (!driving_) return false;  // the text view takes the line break itself
      GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(focused->widget));
      GtkTextIter end;
      gtk_text_buffer_get_end_iter(buffer, &end);
      QuietScope quiet(*this);
      gtk_text_buffer_insert(buffer, &end, "\n", -1);
      SendCommand(window, controlId, notify::kEditChange);
      return true;
    }
    case common::KeyAnswer::Kind::SelectAll: {
      QuietScope quiet(*this);
      gtk_editable_select_region(GTK_EDITABLE(focused->widget), 0, -1);
      return true;
    }
    case common::KeyAnswer::Kind::Swallow:
      return true;  // and the text view must not do it either
    case common::KeyAnswer::Kind::Ignore:
      break;
  }
  return false;
}

// --- finding -----------------------------------------------------------------------------

std::vector<WindowId> GtkPort::FindWindows(int templateId) {
  return windows_.OfTemplate(templateId);
}

int GtkPort::TemplateOf(WindowId window) {
  return windows_.TemplateOf(window);
}

bool GtkPort::IsModalRunning(WindowId window) {
  return windows_.IsModalRunning(window);
}

// --- acting --------------------------------------------------------------------------------

bool GtkPort::Click(WindowId window, int controlId) {
  DrivingScope driving(*this);
  GtkControl* c = Reachable(window, controlId);
  if (!c) return false;
  Find(window)->focus = controlId;
  switch (c->kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
      // The real button: a check box toggles and both report the click.
      gtk_widget_grab_focus(c->widget);
      gtk_button_clicked(GTK_BUTTON(c->widget));
      break;
    case ControlKind::Static:
    case ControlKind::Bitmap:
    case ControlKind::GroupBox:
      if (c->style & cs::kNotify) {
        SendCommand(window, controlId, notify::kClicked);
      } else {
        // Plain labels let the click through to the dialog underneath.
        SendMouse(window, msg::kLButtonDown,
                  {(c->rect.left + c->rect.right) / 2, (c->rect.top + c->rect.bottom) / 2});
      }
      break;
    case ControlKind::ListView:
      SendNotify(window, Notification{notify::kClick, controlId, -1, 0, {}, nullptr, nullptr});
      break;
    default: {
      QuietScope quiet(*this);
      gtk_widget_grab_focus(c->widget);  // edits and combos take the focus only
      break;
    }
  }
  Pump();
  return true;
}

bool GtkPort::DoubleClick(WindowId window, int controlId) {
  DrivingScope driving(*this);
  GtkControl* c = Reachable(window, controlId);
  if (!c) return false;
  if ((c->kind == ControlKind::Static || c->kind == ControlKind::Bitmap) &&
      (c->style & cs::kNotify)) {
    SendCommand(window, controlId, notify::kClicked);
    SendCommand(window, controlId, notify::kDoubleClicked);
  } else if (c->kind == ControlKind::Button) {
    gtk_button_clicked(GTK_BUTTON(c->widget));
    if (FindControl(window, controlId)) gtk_button_clicked(GTK_BUTTON(c->widget));
  }
  Pump();
  return true;
}

bool GtkPort::Type(WindowId window, int controlId, const std::string& text) {
  DrivingScope driving(*this);
  GtkControl* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind == ControlKind::ComboBox) return TypeCombo(window, controlId, text);
  if (c->kind != ControlKind::Edit) return Fail("control " + Id(controlId) + " is not an edit");
  if (c->style & cs::kReadOnly) return Fail("edit " + Id(controlId) + " is read-only");
  Find(window)->focus = controlId;
  const std::string typed = common::TypedText(text, c->style);
  {
    QuietScope quiet(*this);
    gtk_widget_grab_focus(c->widget);
  }
  // The whole text at once, as one change the edit reports once.
  SetWidgetText(*c, CutGbk(typed, c->limit));
  {
    QuietScope quiet(*this);
    if (c->style & cs::kMultiline) {
      GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(c->widget));
      GtkTextIter end;
      gtk_text_buffer_get_end_iter(buffer, &end);
      gtk_text_buffer_place_cursor(buffer, &end);
    } else {
      gtk_editable_set_position(GTK_EDITABLE(c->widget), -1);
    }
  }
  SendCommand(window, controlId, notify::kEditChange);
  Pump();
  return true;
}

bool GtkPort::TypeCombo(WindowId window, int controlId, const std::string& text) {
  DrivingScope driving(*this);
  GtkControl* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::ComboBox || !(c->style & cs::kDropDown)) {
    return Fail("control " + Id(controlId) + " is not an editable combo");
  }
  Find(window)->focus = controlId;
  {
    QuietScope quiet(*this);
    gtk_combo_box_set_active(GTK_COMBO_BOX(c->widget), -1);
    gtk_widget_grab_focus(gtk_bin_get_child(GTK_BIN(c->widget)));
  }
  SetWidgetText(*c, text);
  SendCommand(window, controlId, notify::kComboEditChange);
  Pump();
  return true;
}

bool GtkPort::ChooseCombo(WindowId window, int controlId, int index) {
  DrivingScope driving(*this);
  GtkControl* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::ComboBox) return Fail("control " + Id(controlId) + " is not a combo");
  if (index < 0 || index >= static_cast<int>(c->items.size())) {
    return Fail("combo " + Id(controlId) + " has no entry " + Id(index));
  }
  Find(window)->focus = controlId;
  {
    QuietScope quiet(*this);
    gtk_widget_grab_focus(c->widget);
  }
  // Picking with the mouse from the open list, in the order the system
  // sends it: the selection is taken, the list closes up, then the
  // selection change follows (also when the same entry is picked again).
  {
    QuietScope quiet(*this);
    gtk_combo_box_set_active(GTK_COMBO_BOX(c->widget), index);
  }
  SendCommand(window, controlId, notify::kComboCloseUp);
  if (FindControl(window, controlId)) SendCommand(window, controlId, notify::kComboSelChange);
  Pump();
  return true;
}

bool GtkPort::ClickList(WindowId window, int controlId, int item, int subItem) {
  DrivingScope driving(*this);
  GtkControl* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::ListView) return Fail("control " + Id(controlId) + " is not a list");
  if (item >= static_cast<int>(c->rows.size()) || item < -1) {
    return Fail("list " + Id(controlId) + " has no item " + Id(item));
  }
  {
    QuietScope quiet(*this);
    gtk_widget_grab_focus(c->widget);
  }
  ListClicked(window, controlId, item, subItem, notify::kClick);
  Pump();
  return true;
}

bool GtkPort::DoubleClickList(WindowId window, int controlId, int item, int subItem) {
  if (!ClickList(window, controlId, item, subItem)) return false;
  DrivingScope driving(*this);
  SendNotify(window,
             Notification{notify::kDblClick, controlId, item, subItem, {}, nullptr, nullptr});
  Pump();
  return true;
}

bool GtkPort::PressKey(WindowId window, int controlId, int virtualKey, unsigned modifiers) {
  DrivingScope driving(*this);
  actionError_.clear();
  if (controlId != 0) {
    if (!Reachable(window, controlId)) return false;
  } else if (Reachable(window, 0), !actionError_.empty()) {
    return false;
  }
  GtkWin* w = Find(window);
  w->focus = controlId;
  if (GtkControl* c = controlId ? FindControl(window, controlId) : nullptr) {
    QuietScope quiet(*this);
    gtk_widget_grab_focus(c->widget);
  }
  Message m;
  m.message = msg::kKeyDown;
  m.wParam = static_cast<std::uintptr_t>(virtualKey);
  m.controlId = controlId;
  m.modifiers = modifiers;
  if (!w->client->HandlePreTranslate(m)) DialogKey(window, controlId, virtualKey, modifiers);
  Pump();
  return true;
}

bool GtkPort::ControlRightButton(WindowId window, int id, std::uint32_t message, Point at) {
  GtkWin* w = Find(window);
  if (!w || !w->client) return false;
  Message m;
  m.message = message;
  m.controlId = id;
  m.point = at;
  m.modifiers = 0;
  return w->client->HandlePreTranslate(m);
}

bool GtkPort::RightClick(WindowId window, int controlId, bool& takenByPage) {
  DrivingScope driving(*this);
  GtkControl* c = Reachable(window, controlId);
  if (!c) return false;
  const Point centre{(c->rect.left + c->rect.right) / 2, (c->rect.top + c->rect.bottom) / 2};
  takenByPage = ControlRightButton(window, controlId, msg::kRButtonDown, centre);
  Pump();
  ControlRightButton(window, controlId, msg::kRButtonUp, centre);
  Pump();
  return true;
}

bool GtkPort::Drag(WindowId window, Point from, Point to) {
  DrivingScope driving(*this);
  actionError_.clear();
  Reachable(window, 0);
  if (!actionError_.empty()) return false;
  GtkWin* w = Find(window);
  const common::DragAnswer answer = common::DragStart(common::RecordControlsUnder(*w), from, to);
  if (answer.kind == common::DragAnswer::Kind::ClickControl) return Click(window, answer.controlId);
  if (answer.kind == common::DragAnswer::Kind::Nothing) return true;
  w->dragArmed = false;
  SendMouse(window, msg::kLButtonDown, from);
  Pump();
  if (GtkWin* self = Find(window); self && self->dragArmed) {
    self->dragArmed = false;
    MoveWindow(window, common::MovedBy(self->rect, from, to));
    Pump();
  }
  return true;
}

bool GtkPort::DoubleClickAt(WindowId window, Point at) {
  DrivingScope driving(*this);
  actionError_.clear();
  Reachable(window, 0);
  if (!actionError_.empty()) return false;
  SendMouse(window, msg::kLButtonDown, at);
  Pump();
  if (GtkWin* self = Find(window); self && self->client) {
    self->dragArmed = false;
    SendMouse(window, msg::kLButtonDblClk, at);
  }
  Pump();
  return true;
}

bool GtkPort::SystemClose(WindowId window) {
  return SystemCommand(window, syscmd::kClose);
}

std::string GtkPort::WindowCaption(WindowId window) {
  GtkWin* w = Find(window);
  const char* title = w ? gtk_window_get_title(GTK_WINDOW(w->toplevel)) : nullptr;
  return title ? FromUtf8(title) : std::string();
}

bool GtkPort::SystemCommand(WindowId window, unsigned command) {
  DrivingScope driving(*this);
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

}  // namespace ui::gtk
