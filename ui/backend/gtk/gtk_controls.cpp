// Numbered controls as GTK widgets.
#include <algorithm>

#include "ui/backend/gtk/gtk_port.h"
#include "ui/backend/gtk/gtk_signals.h"

namespace ui::gtk {

namespace {

std::string WithoutMnemonics(std::string_view gbk) {
  std::string shown;
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    if (gbk[i] == '&') {
      if (i + 1 < gbk.size() && gbk[i + 1] == '&') {
        shown += '&';
        ++i;
      }
      continue;
    }
    shown += gbk[i];
    // The second byte of a GBK character may be '&' (0x26) and is not a mark.
    if (static_cast<unsigned char>(gbk[i]) >= 0x81 && i + 1 < gbk.size()) shown += gbk[++i];
  }
  return shown;
}

std::string WindowsLineEnds(const std::string& utf8) {
  std::string out;
  for (char ch : utf8) {
    if (ch == '\n') out += '\r';
    out += ch;
  }
  return out;
}

std::string GtkLineEnds(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
    out += utf8[i];
  }
  return out;
}

bool IsMultiline(const GtkControl& c) {
  return c.kind == ControlKind::Edit && (c.style & cs::kMultiline);
}

GtkTextBuffer* BufferOf(const GtkControl& c) {
  return gtk_text_view_get_buffer(GTK_TEXT_VIEW(c.widget));
}

GtkEntry* EntryOf(const GtkControl& c) {
  if (c.kind == ControlKind::Edit && !IsMultiline(c)) return GTK_ENTRY(c.widget);
  if (c.kind == ControlKind::ComboBox && (c.style & cs::kDropDown)) {
    return GTK_ENTRY(gtk_bin_get_child(GTK_BIN(c.widget)));
  }
  return nullptr;
}

std::string RawWidgetText(const GtkControl& c) {
  if (GtkEntry* entry = EntryOf(c)) return gtk_entry_get_text(entry);
  if (IsMultiline(c)) {
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(BufferOf(c), &start, &end);
    gchar* text = gtk_text_buffer_get_text(BufferOf(c), &start, &end, FALSE);
    std::string result = text;
    g_free(text);
    return result;
  }
  return {};
}

std::string CssColour(Color colour) {
  char text[8];
  g_snprintf(text, sizeof text, "#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF,
             (colour >> 16) & 0xFF);
  return text;
}

}  // namespace

std::string ControlCssName(const GtkWin& w, int id) {
  return w.name + "-c" + std::to_string(id);
}

void GtkPort::BuildControl(GtkWin& w, const ControlTemplate& t) {
  GtkControl& c = w.controls[t.id];
  static_cast<common::ControlRecord&>(c) = common::ControlRecordFrom(t);
  c.id = t.id;
  w.order.push_back(t.id);
  const gpointer data = PackControl(w.id, t.id);
  const std::string shown = ToUtf8(WithoutMnemonics(t.text));

  switch (t.kind) {
    case ControlKind::Static: {
      c.widget = gtk_label_new(shown.c_str());
      GtkLabel* label = GTK_LABEL(c.widget);
      gtk_label_set_xalign(label, (t.style & cs::kRight)    ? 1.0f
                                  : (t.style & cs::kCenter) ? 0.5f
                                                            : 0.0f);
      gtk_label_set_yalign(label, 0.0f);
      gtk_label_set_line_wrap(label, TRUE);
      gtk_label_set_line_wrap_mode(label, PANGO_WRAP_WORD_CHAR);
      gtk_label_set_justify(label, (t.style & cs::kRight)    ? GTK_JUSTIFY_RIGHT
                                   : (t.style & cs::kCenter) ? GTK_JUSTIFY_CENTER
                                                             : GTK_JUSTIFY_LEFT);
      c.setText = t.text;
      break;
    }
    case ControlKind::Bitmap: {
      GdkPixbuf* pixbuf = Bitmap(t.resource);
      c.widget = pixbuf ? gtk_image_new_from_pixbuf(pixbuf) : gtk_image_new();
      gtk_widget_set_halign(c.widget, GTK_ALIGN_START);
      gtk_widget_set_valign(c.widget, GTK_ALIGN_START);
      // A bitmap static takes the size of its bitmap.
      if (pixbuf) {
        c.rect = Rect::FromSize(c.rect.left, c.rect.top, gdk_pixbuf_get_width(pixbuf),
                                gdk_pixbuf_get_height(pixbuf));
      }
      break;
    }
    case ControlKind::Button:
      c.widget = gtk_button_new_with_label(shown.c_str());
      if (t.style & cs::kFlat) gtk_button_set_relief(GTK_BUTTON(c.widget), GTK_RELIEF_NONE);
      if (t.style & cs::kDefault) {
        gtk_widget_set_can_default(c.widget, TRUE);
        gtk_style_context_add_class(gtk_widget_get_style_context(c.widget), "default");
      }
      g_signal_connect(c.widget, "clicked", G_CALLBACK(OnButtonClicked), data);
      c.setText = t.text;
      break;
    case ControlKind::CheckBox:
      c.widget = gtk_check_button_new_with_label(shown.c_str());
      g_signal_connect(c.widget, "toggled", G_CALLBACK(OnCheckToggled), data);
      c.setText = t.text;
      break;
    case ControlKind::Edit:
      if (t.style & cs::kMultiline) {
        c.widget = gtk_text_view_new();
        GtkTextView* view = GTK_TEXT_VIEW(c.widget);
        gtk_text_view_set_wrap_mode(
            view, (t.style & cs::kAutoHScroll) ? GTK_WRAP_NONE : GTK_WRAP_WORD_CHAR);
        gtk_text_view_set_editable(view, (t.style & cs::kReadOnly) == 0);
        gtk_text_view_set_left_margin(view, 2);
        GtkTextBuffer* buffer = gtk_text_view_get_buffer(view);
        g_signal_connect(buffer, "insert-text", G_CALLBACK(OnBufferInsert), data);
        g_signal_connect(buffer, "changed", G_CALLBACK(OnEditChanged), data);
        c.outer = gtk_scrolled_window_new(nullptr, nullptr);
        gtk_scrolled_window_set_policy(
            GTK_SCROLLED_WINDOW(c.outer),
            (t.style & cs::kHScroll) ? GTK_POLICY_AUTOMATIC : GTK_POLICY_NEVER,
            (t.style & cs::kVScroll) ? GTK_POLICY_AUTOMATIC : GTK_POLICY_NEVER);
        gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(c.outer), GTK_SHADOW_IN);
        gtk_container_add(GTK_CONTAINER(c.outer), c.widget);
      } else {
        c.widget = gtk_entry_new();
        GtkEntry* entry = GTK_ENTRY(c.widget);
        gtk_entry_set_width_chars(entry, 1);
        gtk_editable_set_editable(GTK_EDITABLE(entry), (t.style & cs::kReadOnly) == 0);
        if (t.style & cs::kPassword) {
          gtk_entry_set_visibility(entry, FALSE);
          gtk_entry_set_invisible_char(entry, 0x25CF);
        }
        if (t.style & cs::kRight) gtk_entry_set_alignment(entry, 1.0f);
        if (t.style & cs::kCenter) gtk_entry_set_alignment(entry, 0.5f);
        g_signal_connect(entry, "insert-text", G_CALLBACK(OnEntryInsert), data);
        g_signal_connect(entry, "changed", G_CALLBACK(OnEditChanged), data);
      }
      SetWidgetText(c, t.text);
      break;
    case ControlKind::ComboBox:
      if (t.style & cs::kDropDown) {
        c.widget = gtk_combo_box_text_new_with_entry();
        GtkEntry* entry = GTK_ENTRY(gtk_bin_get_child(GTK_BIN(c.widget)));
        gtk_entry_set_width_chars(entry, 1);
        g_signal_connect(entry, "changed", G_CALLBACK(OnComboEditChanged), data);
      } else {
        c.widget = gtk_combo_box_text_new();
      }
      g_signal_connect(c.widget, "changed", G_CALLBACK(OnComboChanged), data);
      g_signal_connect(c.widget, "notify::popup-shown", G_CALLBACK(OnComboPopup), data);
      break;
    case ControlKind::ListView: {
      GtkListStore* store = NewListStore();
      if (t.style & cs::kReportView) {
        c.widget = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
        gtk_tree_view_set_headers_clickable(GTK_TREE_VIEW(c.widget), FALSE);
      } else {
        c.widget = gtk_icon_view_new_with_model(GTK_TREE_MODEL(store));
        GtkIconView* view = GTK_ICON_VIEW(c.widget);
        // Icons 75 pixels apart, as Windows spaces them. Cells of a fixed
        // width: the view's own text column sizes items from the text's
        // unwrapped width, and does not work out its columns inside a scroller.
        constexpr int kSpacing = 75;
        GtkCellRenderer* icon = gtk_cell_renderer_pixbuf_new();
        gtk_cell_renderer_set_fixed_size(icon, kSpacing - 4, -1);
        gtk_cell_layout_pack_start(GTK_CELL_LAYOUT(view), icon, FALSE);
        gtk_cell_layout_add_attribute(GTK_CELL_LAYOUT(view), icon, "pixbuf", kListPixbufColumn);
        GtkCellRenderer* text = gtk_cell_renderer_text_new();
        g_object_set(text, "xalign", 0.5, "alignment", PANGO_ALIGN_CENTER, "wrap-mode",
                     PANGO_WRAP_WORD_CHAR, "wrap-width", kSpacing - 8, nullptr);
        gtk_cell_renderer_set_fixed_size(text, kSpacing - 4, -1);
        gtk_cell_layout_pack_start(GTK_CELL_LAYOUT(view), text, FALSE);
        gtk_cell_layout_add_attribute(GTK_CELL_LAYOUT(view), text, "text", kListTextColumn);
        gtk_icon_view_set_item_width(view, kSpacing - 4);
        gtk_icon_view_set_item_padding(view, 2);
        gtk_icon_view_set_row_spacing(view, 2);
        gtk_icon_view_set_column_spacing(view, 0);
        gtk_icon_view_set_margin(view, 2);
        gtk_icon_view_set_columns(view, std::max(1, (c.rect.Width() - 8) / kSpacing));
        gtk_icon_view_set_selection_mode(view, GTK_SELECTION_SINGLE);
      }
      g_object_unref(store);
      gtk_widget_add_events(c.widget, GDK_BUTTON_PRESS_MASK);
      g_signal_connect(c.widget, "button-press-event", G_CALLBACK(OnListPress), data);
      c.outer = gtk_scrolled_window_new(nullptr, nullptr);
      gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(c.outer), GTK_POLICY_AUTOMATIC,
                                     GTK_POLICY_AUTOMATIC);
      if (t.style & cs::kBorder) {
        gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(c.outer), GTK_SHADOW_IN);
      }
      gtk_container_add(GTK_CONTAINER(c.outer), c.widget);
      if (t.style & cs::kTransparent) {
        const std::string name = ControlCssName(w, t.id);
        SetCss(name, "#" + name + ", #" + name + " iconview, #" + name +
                         " treeview { background-color: transparent; }\n");
      }
      break;
    }
    case ControlKind::WebView:
      // A light stand-in: the WebKit view comes when the control first shows.
      c.widget = gtk_event_box_new();
      gtk_event_box_set_visible_window(GTK_EVENT_BOX(c.widget), FALSE);
      break;
    case ControlKind::GroupBox:
      c.widget = gtk_frame_new(shown.empty() ? nullptr : shown.c_str());
      c.setText = t.text;
      break;
  }

  // Statics that report clicks get an input window of their own; the others
  // let the mouse through to the page underneath.
  if ((t.kind == ControlKind::Static || t.kind == ControlKind::Bitmap) && (t.style & cs::kNotify)) {
    c.outer = gtk_event_box_new();
    gtk_event_box_set_visible_window(GTK_EVENT_BOX(c.outer), FALSE);
    gtk_container_add(GTK_CONTAINER(c.outer), c.widget);
    g_signal_connect(c.outer, "button-press-event", G_CALLBACK(OnStaticPress), data);
  }
  if (!c.outer) c.outer = c.widget;
  PutControl(w, c);
}

void GtkPort::PutControl(GtkWin& w, GtkControl& c) {
  gtk_widget_set_name(c.outer, ControlCssName(w, c.id).c_str());
  g_object_set_data(G_OBJECT(c.outer), "orvane-control", GINT_TO_POINTER(c.id));
  g_object_set_data(G_OBJECT(c.widget), "orvane-control", GINT_TO_POINTER(c.id));
  g_signal_connect(c.widget, "focus-in-event", G_CALLBACK(OnControlFocus), PackControl(w.id, c.id));
  if (GTK_IS_SCROLLED_WINDOW(c.outer)) {
    // Asked for their full size, scrollers are never laid out too small for
    // their scroll bars before they reach their rectangle.
    gtk_widget_set_size_request(c.outer, c.rect.Width(), c.rect.Height());
  }
  gtk_layout_put(GTK_LAYOUT(w.layout), c.outer, c.rect.left, c.rect.top);
  gtk_widget_show_all(c.outer);
  ApplyControlState(c);
}

void GtkPort::ApplyControlState(GtkControl& c) {
  gtk_widget_set_visible(c.outer, c.visible);
  gtk_widget_set_sensitive(c.outer, c.enabled);
}

// --- text ------------------------------------------------------------------------------

void GtkPort::SetWidgetText(GtkControl& c, std::string_view gbk) {
  QuietScope quiet(*this);
  c.setText = std::string(gbk);
  switch (c.kind) {
    case ControlKind::Static:
      gtk_label_set_text(GTK_LABEL(c.widget), ToUtf8(WithoutMnemonics(gbk)).c_str());
      break;
    case ControlKind::Button:
    case ControlKind::CheckBox:
      gtk_button_set_label(GTK_BUTTON(c.widget), ToUtf8(WithoutMnemonics(gbk)).c_str());
      break;
    case ControlKind::GroupBox:
      gtk_frame_set_label(GTK_FRAME(c.widget), ToUtf8(WithoutMnemonics(gbk)).c_str());
      break;
    case ControlKind::Edit:
    case ControlKind::ComboBox:
      if (GtkEntry* entry = EntryOf(c)) {
        c.setTextUtf8 = ToUtf8(gbk);
        gtk_entry_set_text(entry, c.setTextUtf8.c_str());
      } else if (IsMultiline(c)) {
        c.setTextUtf8 = GtkLineEnds(ToUtf8(gbk));
        gtk_text_buffer_set_text(BufferOf(c), c.setTextUtf8.c_str(), -1);
      }
      break;
    default:
      break;
  }
}

std::string GtkPort::WidgetText(GtkControl& c) {
  if (!EntryOf(c) && !IsMultiline(c)) return c.setText;
  const std::string shown = RawWidgetText(c);
  // Unchanged since the program set it: its own bytes, line ends included.
  if (shown == c.setTextUtf8) return c.setText;
  return FromUtf8(IsMultiline(c) ? WindowsLineEnds(shown) : shown);
}

std::string GtkPort::GetControlText(WindowId window, int id) {
  GtkControl* c = FindControl(window, id);
  if (!c) return {};
  if (c->kind == ControlKind::ComboBox && (c->style & cs::kDropList)) {
    const int sel = gtk_combo_box_get_active(GTK_COMBO_BOX(c->widget));
    return sel >= 0 && sel < static_cast<int>(c->items.size()) ? c->items[sel] : std::string();
  }
  return WidgetText(*c);
}

void GtkPort::SetControlText(WindowId window, int id, std::string_view text) {
  if (GtkControl* c = FindControl(window, id)) SetWidgetText(*c, text);
}

void GtkPort::EnableControl(WindowId window, int id, bool enable) {
  if (GtkControl* c = FindControl(window, id)) {
    c->enabled = enable;
    ApplyControlState(*c);
  }
}

bool GtkPort::IsControlEnabled(WindowId window, int id) {
  GtkControl* c = FindControl(window, id);
  return c && c->enabled;
}

void GtkPort::ShowControl(WindowId window, int id, bool show) {
  if (GtkControl* c = FindControl(window, id)) {
    c->visible = show;
    ApplyControlState(*c);
    if (show && c->kind == ControlKind::WebView) QueueWebViewCheck();
  }
}

bool GtkPort::IsControlVisible(WindowId window, int id) {
  GtkControl* c = FindControl(window, id);
  return c && c->visible;
}

Rect GtkPort::GetControlRect(WindowId window, int id) {
  GtkControl* c = FindControl(window, id);
  return c ? c->rect : Rect{};
}

void GtkPort::MoveControl(WindowId window, int id, const Rect& rect) {
  GtkWin* w = Find(window);
  GtkControl* c = FindControl(window, id);
  if (!w || !c || !c->outer) return;
  c->rect = rect;
  if (GTK_IS_SCROLLED_WINDOW(c->outer)) {
    gtk_widget_set_size_request(c->outer, rect.Width(), rect.Height());
  }
  // The layout's allocation puts every control at its rectangle again.
  gtk_layout_move(GTK_LAYOUT(w->layout), c->outer, rect.left, rect.top);
  gtk_widget_queue_resize(w->layout);
  if (c->kind == ControlKind::WebView) QueueWebViewCheck();
}

int GtkPort::GetCheck(WindowId window, int id) {
  GtkControl* c = FindControl(window, id);
  return c ? c->check : 0;
}

void GtkPort::SetCheck(WindowId window, int id, int state) {
  GtkControl* c = FindControl(window, id);
  if (!c) return;
  c->check = state;
  if (c->kind != ControlKind::CheckBox) return;
  QuietScope quiet(*this);
  gtk_toggle_button_set_inconsistent(GTK_TOGGLE_BUTTON(c->widget), state == 2);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(c->widget), state == 1);
}

void GtkPort::SetEditLimit(WindowId window, int id, int bytes) {
  if (GtkControl* c = FindControl(window, id)) c->limit = common::EditLimitFor(bytes);
}

void GtkPort::SetEditSelection(WindowId window, int id, int start, int end) {
  GtkControl* c = FindControl(window, id);
  if (!c) return;
  const std::string text = WidgetText(*c);
  const int size = static_cast<int>(text.size());
  start = start < 0 ? size : std::min(start, size);
  end = end < 0 ? size : std::min(end, size);
  const int from = GbkCharsBefore(text, start);
  const int to = GbkCharsBefore(text, end);
  QuietScope quiet(*this);
  if (GtkEntry* entry = EntryOf(*c)) {
    gtk_editable_select_region(GTK_EDITABLE(entry), from, to);
  } else if (IsMultiline(*c)) {
    GtkTextIter a, b;
    gtk_text_buffer_get_iter_at_offset(BufferOf(*c), &a, from);
    gtk_text_buffer_get_iter_at_offset(BufferOf(*c), &b, to);
    gtk_text_buffer_select_range(BufferOf(*c), &b, &a);
  }
}

std::pair<int, int> GtkPort::EditSelection(WindowId window, int controlId) {
  GtkControl* c = FindControl(window, controlId);
  if (!c) return {0, 0};
  const std::string text = WidgetText(*c);
  int from = 0, to = 0;
  if (GtkEntry* entry = EntryOf(*c)) {
    if (!gtk_editable_get_selection_bounds(GTK_EDITABLE(entry), &from, &to)) {
      from = to = gtk_editable_get_position(GTK_EDITABLE(entry));
    }
  } else if (IsMultiline(*c)) {
    GtkTextIter a, b;
    gtk_text_buffer_get_selection_bounds(BufferOf(*c), &a, &b);
    from = gtk_text_iter_get_offset(&a);
    to = gtk_text_iter_get_offset(&b);
  }
  // Character offsets in the shown text; the program counts GBK bytes, with
  // CR LF line ends in multi-line edits.
  if (IsMultiline(*c)) {
    const std::string shown = RawWidgetText(*c);
    auto bytesAt = [&](int chars) {
      const char* end = g_utf8_offset_to_pointer(shown.c_str(), chars);
      return static_cast<int>(
          FromUtf8(WindowsLineEnds(std::string(shown.c_str(), end - shown.c_str()))).size());
    };
    return {bytesAt(from), bytesAt(to)};
  }
  return {GbkBytesOfChars(text, from), GbkBytesOfChars(text, to)};
}

int GtkPort::EditLimit(WindowId window, int controlId) {
  return windows_.EditLimit(window, controlId);
}

void GtkPort::SetControlBitmap(WindowId window, int id, int bitmapId) {
  GtkControl* c = FindControl(window, id);
  if (!c) return;
  c->bitmap = bitmapId;
  GdkPixbuf* pixbuf = Bitmap(bitmapId);
  if (c->kind == ControlKind::Bitmap) {
    gtk_image_set_from_pixbuf(GTK_IMAGE(c->widget), pixbuf);
  } else if (c->kind == ControlKind::Button && pixbuf) {
    gtk_button_set_image(GTK_BUTTON(c->widget), gtk_image_new_from_pixbuf(pixbuf));
    gtk_button_set_always_show_image(GTK_BUTTON(c->widget), TRUE);
  }
}

void GtkPort::SetControlFont(WindowId window, int id, const FontSpec& font) {
  GtkWin* w = Find(window);
  GtkControl* c = FindControl(window, id);
  if (!w || !c) return;
  c->font = font;
  const std::string name = ControlCssName(*w, id);
  std::string rule = "#" + name + ", #" + name + " * { font-family: \"" + ToUtf8(font.face) +
                     "\", \"WenQuanYi Micro Hei\", sans-serif;";
  if (font.height != 0) rule += " font-size: " + std::to_string(std::abs(font.height)) + "px;";
  if (font.weight > 0) {
    rule +=
        " font-weight: " + std::to_string(std::clamp((font.weight + 50) / 100 * 100, 100, 900)) +
        ";";
  }
  rule += " }\n";
  // Keeps a colour rule of the same control.
  auto it = cssRules_.find(name);
  std::string colours;
  if (it != cssRules_.end()) {
    const std::size_t at = it->second.find("background-color");
    if (at != std::string::npos) colours = it->second.substr(it->second.rfind('#', at));
  }
  SetCss(name, rule + colours);
}

void GtkPort::SetFocus(WindowId window, int id) {
  GtkWin* w = Find(window);
  GtkControl* c = FindControl(window, id);
  if (!w || !c) return;
  w->focus = id;
  QuietScope quiet(*this);
  gtk_widget_grab_focus(c->widget);
}

int GtkPort::GetFocus(WindowId window) {
  GtkWin* w = Find(window);
  return w ? w->focus : 0;
}

// --- combo boxes -------------------------------------------------------------------------

int GtkPort::ComboAddString(WindowId window, int id, std::string_view text) {
  GtkControl* c = FindControl(window, id);
  if (!c || c->kind != ControlKind::ComboBox) return -1;
  c->items.emplace_back(text);
  QuietScope quiet(*this);
  gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(c->widget), ToUtf8(text).c_str());
  return static_cast<int>(c->items.size()) - 1;
}

void GtkPort::ComboReset(WindowId window, int id) {
  GtkControl* c = FindControl(window, id);
  if (!c || c->kind != ControlKind::ComboBox) return;
  c->items.clear();
  QuietScope quiet(*this);
  gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(c->widget));
}

int GtkPort::ComboCount(WindowId window, int id) {
  GtkControl* c = FindControl(window, id);
  return c ? static_cast<int>(c->items.size()) : 0;
}

std::string GtkPort::ComboItemText(WindowId window, int id, int index) {
  GtkControl* c = FindControl(window, id);
  if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return {};
  return c->items[index];
}

int GtkPort::ComboGetSel(WindowId window, int id) {
  GtkControl* c = FindControl(window, id);
  if (!c || c->kind != ControlKind::ComboBox) return -1;
  return gtk_combo_box_get_active(GTK_COMBO_BOX(c->widget));
}

void GtkPort::ComboSetSel(WindowId window, int id, int index) {
  GtkControl* c = FindControl(window, id);
  if (!c || c->kind != ControlKind::ComboBox) return;
  const int sel = (index >= 0 && index < static_cast<int>(c->items.size())) ? index : -1;
  QuietScope quiet(*this);
  gtk_combo_box_set_active(GTK_COMBO_BOX(c->widget), sel);
  if (c->style & cs::kDropDown) SetWidgetText(*c, sel >= 0 ? c->items[sel] : std::string());
}

// --- list views ----------------------------------------------------------------------------

void GtkPort::ListSetImageList(WindowId window, int id, const ImageList& images) {
  GtkWin* w = Find(window);
  GtkControl* c = FindControl(window, id);
  if (!w || !c) return;
  c->images = images;
  RefillList(*w, *c);
}

void GtkPort::ListSetColors(WindowId window, int id, Color background, Color) {
  GtkWin* w = Find(window);
  GtkControl* c = FindControl(window, id);
  if (!w || !c) return;
  c->listBackground = background;
  const std::string name = ControlCssName(*w, id);
  std::string font;
  if (auto it = cssRules_.find(name);
      it != cssRules_.end() && it->second.find("font") != std::string::npos) {
    font = it->second.substr(0, it->second.find('\n') + 1);
  }
  SetCss(name, font + "#" + name + ", #" + name + " iconview, #" + name +
                   " treeview { background-color: " + CssColour(background) + "; }\n");
}

void GtkPort::ListInsertColumn(WindowId window, int id, int column, std::string_view title,
                               int width, bool centred) {
  GtkWin* w = Find(window);
  GtkControl* c = FindControl(window, id);
  if (!w || !c || c->kind != ControlKind::ListView) return;
  if (static_cast<int>(c->columns.size()) >= kListMaxColumns) return;
  column = std::clamp(column, 0, static_cast<int>(c->columns.size()));
  c->columns.insert(c->columns.begin() + column, std::string(title));
  c->columnWidths.insert(c->columnWidths.begin() + column, width);
  c->columnCentred.insert(c->columnCentred.begin() + column, centred);
  if (!GTK_IS_TREE_VIEW(c->widget)) return;
  GtkTreeView* view = GTK_TREE_VIEW(c->widget);
  while (GtkTreeViewColumn* old = gtk_tree_view_get_column(view, 0)) {
    gtk_tree_view_remove_column(view, old);
  }
  for (std::size_t i = 0; i < c->columns.size(); ++i) {
    GtkTreeViewColumn* col = gtk_tree_view_column_new();
    gtk_tree_view_column_set_title(col, ToUtf8(c->columns[i]).c_str());
    gtk_tree_view_column_set_sizing(col, GTK_TREE_VIEW_COLUMN_FIXED);
    gtk_tree_view_column_set_fixed_width(col, std::max(1, c->columnWidths[i]));
    if (i == 0) {
      GtkCellRenderer* icon = gtk_cell_renderer_pixbuf_new();
      gtk_tree_view_column_pack_start(col, icon, FALSE);
      gtk_tree_view_column_add_attribute(col, icon, "pixbuf", kListPixbufColumn);
    }
    GtkCellRenderer* text = gtk_cell_renderer_text_new();
    if (c->columnCentred[i]) {
      gtk_tree_view_column_set_alignment(col, 0.5f);
      g_object_set(text, "xalign", 0.5f, nullptr);
    }
    gtk_tree_view_column_pack_start(col, text, TRUE);
    gtk_tree_view_column_add_attribute(col, text, "text", kListTextColumn + static_cast<int>(i));
    gtk_tree_view_append_column(view, col);
  }
}

void GtkPort::ListDeleteAllItems(WindowId window, int id) {
  GtkWin* w = Find(window);
  GtkControl* c = FindControl(window, id);
  if (!w || !c) return;
  c->rows.clear();
  c->rowImages.clear();
  c->selection = -1;
  RefillList(*w, *c);
}

int GtkPort::ListInsertItem(WindowId window, int id, int index, std::string_view text, int image) {
  GtkWin* w = Find(window);
  GtkControl* c = FindControl(window, id);
  if (!w || !c) return -1;
  index = std::clamp(index, 0, static_cast<int>(c->rows.size()));
  c->rows.insert(c->rows.begin() + index, std::vector<std::string>{std::string(text)});
  c->rowImages.insert(c->rowImages.begin() + index, image);
  RefillList(*w, *c);
  return index;
}

void GtkPort::ListSetItemText(WindowId window, int id, int item, int subItem,
                              std::string_view text) {
  GtkWin* w = Find(window);
  GtkControl* c = FindControl(window, id);
  if (!w || !c || item < 0 || item >= static_cast<int>(c->rows.size()) || subItem < 0) return;
  auto& row = c->rows[item];
  if (static_cast<int>(row.size()) <= subItem) row.resize(subItem + 1);
  row[subItem] = text;
  RefillList(*w, *c);
}

std::string GtkPort::ListItemText(WindowId window, int id, int item, int subItem) {
  GtkControl* c = FindControl(window, id);
  if (!c || item < 0 || item >= static_cast<int>(c->rows.size()) || subItem < 0) return {};
  const auto& row = c->rows[item];
  return subItem < static_cast<int>(row.size()) ? row[subItem] : std::string();
}

int GtkPort::ListItemCount(WindowId window, int id) {
  GtkControl* c = FindControl(window, id);
  return c ? static_cast<int>(c->rows.size()) : 0;
}

int GtkPort::ListColumnCount(WindowId window, int id) {
  GtkControl* c = FindControl(window, id);
  return c ? static_cast<int>(c->columns.size()) : 0;
}

int GtkPort::ListSelected(WindowId window, int id) {
  GtkControl* c = FindControl(window, id);
  return c ? c->selection : -1;
}

void GtkPort::RefillList(GtkWin&, GtkControl& c) {
  if (c.kind != ControlKind::ListView) return;
  QuietScope quiet(*this);
  GtkTreeModel* model = GTK_IS_ICON_VIEW(c.widget)
                            ? gtk_icon_view_get_model(GTK_ICON_VIEW(c.widget))
                            : gtk_tree_view_get_model(GTK_TREE_VIEW(c.widget));
  GtkListStore* store = GTK_LIST_STORE(model);
  gtk_list_store_clear(store);
  for (std::size_t r = 0; r < c.rows.size(); ++r) {
    GtkTreeIter iter;
    gtk_list_store_append(store, &iter);
    const int image = r < c.rowImages.size() ? c.rowImages[r] : -1;
    if (c.images && image >= 0 && image < static_cast<int>(c.images->iconResources.size())) {
      if (GdkPixbuf* icon = Icon(c.images->iconResources[image], c.images->cx)) {
        gtk_list_store_set(store, &iter, kListPixbufColumn, icon, -1);
      }
    }
    const auto& row = c.rows[r];
    for (std::size_t s = 0; s < row.size() && static_cast<int>(s) < kListMaxColumns; ++s) {
      gtk_list_store_set(store, &iter, kListTextColumn + static_cast<int>(s),
                         ToUtf8(row[s]).c_str(), -1);
    }
  }
  SelectListRow(c, c.selection);
}

}  // namespace ui::gtk
