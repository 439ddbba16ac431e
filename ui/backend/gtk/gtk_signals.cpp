#include "ui/backend/gtk/gtk_signals.h"

#include <algorithm>
#include <cstring>

namespace ui::gtk {

namespace {

// The second press of a double click: the double click itself follows.
bool SecondOfDouble(GtkControl& c, GdkEventButton* event) {
  int doubleClickTime = 400;
  g_object_get(gtk_settings_get_default(), "gtk-double-click-time", &doubleClickTime, nullptr);
  const bool second = c.lastPressTime != 0 &&
                      event->time - c.lastPressTime <= static_cast<guint32>(doubleClickTime);
  c.lastPressTime = event->time;
  return second;
}

// Cuts typed text (UTF-8) to what the edit still takes; digits only for
// number edits. Answers whether anything was cut.
bool FitTyped(const GtkControl& c, const std::string& current, std::string& typed) {
  std::string kept = typed;
  if (c.style & cs::kNumber) {
    kept.erase(
        std::remove_if(kept.begin(), kept.end(), [](char ch) { return ch < '0' || ch > '9'; }),
        kept.end());
  }
  const int used = static_cast<int>(FromUtf8(current).size());
  const std::string gbk = FromUtf8(kept);
  const std::string fits = CutGbk(gbk, std::max(0, c.limit - used));
  if (fits.size() != gbk.size() || (fits.empty() && !gbk.empty())) kept = ToUtf8(fits);
  if (kept == typed) return false;
  typed = kept;
  return true;
}

}  // namespace

gpointer PackControl(WindowId window, int id) {
  return reinterpret_cast<gpointer>((static_cast<std::uintptr_t>(window) << 32) |
                                    static_cast<std::uint32_t>(id));
}
WindowId WindowOf(gpointer data) {
  return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(data) >> 32);
}
int ControlOf(gpointer data) {
  return static_cast<int>(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(data)));
}

GtkListStore* NewListStore() {
  GType types[1 + kListMaxColumns];
  types[0] = GDK_TYPE_PIXBUF;
  for (int i = 0; i < kListMaxColumns; ++i) types[1 + i] = G_TYPE_STRING;
  return gtk_list_store_newv(1 + kListMaxColumns, types);
}

void SelectListRow(GtkControl& c, int index) {
  if (GTK_IS_ICON_VIEW(c.widget)) {
    GtkIconView* view = GTK_ICON_VIEW(c.widget);
    gtk_icon_view_unselect_all(view);
    if (index >= 0) {
      GtkTreePath* path = gtk_tree_path_new_from_indices(index, -1);
      gtk_icon_view_select_path(view, path);
      gtk_tree_path_free(path);
    }
  } else if (GTK_IS_TREE_VIEW(c.widget)) {
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(c.widget));
    gtk_tree_selection_unselect_all(selection);
    if (index >= 0) {
      GtkTreePath* path = gtk_tree_path_new_from_indices(index, -1);
      gtk_tree_selection_select_path(selection, path);
      gtk_tree_path_free(path);
    }
  }
}

void OnButtonClicked(GtkButton*, gpointer data) {
  if (Port().Quiet()) return;
  Port().SendCommand(WindowOf(data), ControlOf(data), notify::kClicked);
}

void OnCheckToggled(GtkToggleButton* button, gpointer data) {
  if (Port().Quiet()) return;
  GtkControl* c = Port().FindControl(WindowOf(data), ControlOf(data));
  if (!c) return;
  gtk_toggle_button_set_inconsistent(button, FALSE);
  c->check = gtk_toggle_button_get_active(button) ? 1 : 0;
  Port().SendCommand(WindowOf(data), ControlOf(data), notify::kClicked);
}

void OnEntryInsert(GtkEditable* editable, gchar* text, gint length, gint* position, gpointer data) {
  // The program's own text is not limited, as with WM_SETTEXT.
  if (Port().Quiet()) return;
  GtkControl* c = Port().FindControl(WindowOf(data), ControlOf(data));
  if (!c) return;
  std::string typed(text, length < 0 ? std::strlen(text) : static_cast<std::size_t>(length));
  const std::string current = gtk_entry_get_text(GTK_ENTRY(editable));
  if (!FitTyped(*c, current, typed)) return;
  g_signal_handlers_block_by_func(editable, reinterpret_cast<gpointer>(OnEntryInsert), data);
  if (!typed.empty()) gtk_editable_insert_text(editable, typed.c_str(), -1, position);
  g_signal_handlers_unblock_by_func(editable, reinterpret_cast<gpointer>(OnEntryInsert), data);
  g_signal_stop_emission_by_name(editable, "insert-text");
}

void OnBufferInsert(GtkTextBuffer* buffer, GtkTextIter* location, gchar* text, gint length,
                    gpointer data) {
  if (Port().Quiet()) return;
  GtkControl* c = Port().FindControl(WindowOf(data), ControlOf(data));
  if (!c) return;
  std::string typed(text, length < 0 ? std::strlen(text) : static_cast<std::size_t>(length));
  GtkTextIter start, end;
  gtk_text_buffer_get_bounds(buffer, &start, &end);
  gchar* all = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
  std::string current;
  for (const char* p = all; *p; ++p) {
    if (*p == '\n') current += '\r';  // the program counts CR LF
    current += *p;
  }
  g_free(all);
  if (!FitTyped(*c, current, typed)) return;
  g_signal_handlers_block_by_func(buffer, reinterpret_cast<gpointer>(OnBufferInsert), data);
  if (!typed.empty()) gtk_text_buffer_insert(buffer, location, typed.c_str(), -1);
  g_signal_handlers_unblock_by_func(buffer, reinterpret_cast<gpointer>(OnBufferInsert), data);
  g_signal_stop_emission_by_name(buffer, "insert-text");
}

void OnEditChanged(GObject*, gpointer data) {
  if (Port().Quiet()) return;
  Port().SendCommand(WindowOf(data), ControlOf(data), notify::kEditChange);
}

void OnComboChanged(GtkComboBox* combo, gpointer data) {
  if (Port().Quiet()) return;
  // Typing into an editable combo also clears its selection: not a choice.
  if (gtk_combo_box_get_active(combo) < 0) return;
  gboolean open = FALSE;
  g_object_get(combo, "popup-shown", &open, nullptr);
  GtkControl* c = Port().FindControl(WindowOf(data), ControlOf(data));
  if (c && (open || c->closeUpPending)) {
    c->selChangePending = true;  // reported after the close-up, as Windows orders them
    return;
  }
  Port().SendCommand(WindowOf(data), ControlOf(data), notify::kComboSelChange);
}

void OnComboEditChanged(GtkEntry* entry, gpointer data) {
  if (Port().Quiet()) return;
  GtkControl* c = Port().FindControl(WindowOf(data), ControlOf(data));
  if (!c) return;
  const int active = gtk_combo_box_get_active(GTK_COMBO_BOX(c->widget));
  // The entry echoing a chosen item is part of the choice, not typing.
  if (active >= 0 && active < static_cast<int>(c->items.size()) &&
      ToUtf8(c->items[active]) == gtk_entry_get_text(entry)) {
    return;
  }
  Port().SendCommand(WindowOf(data), ControlOf(data), notify::kComboEditChange);
}

gboolean OnComboClosed(gpointer data) {
  GtkControl* c = Port().FindControl(WindowOf(data), ControlOf(data));
  if (!c || !c->closeUpPending) return G_SOURCE_REMOVE;
  c->closeUpPending = false;
  Port().SendCommand(WindowOf(data), ControlOf(data), notify::kComboCloseUp);
  c = Port().FindControl(WindowOf(data), ControlOf(data));
  if (c && c->selChangePending) {
    c->selChangePending = false;
    Port().SendCommand(WindowOf(data), ControlOf(data), notify::kComboSelChange);
  }
  return G_SOURCE_REMOVE;
}

void OnComboPopup(GObject* combo, GParamSpec*, gpointer data) {
  if (Port().Quiet()) return;
  gboolean shown = FALSE;
  g_object_get(combo, "popup-shown", &shown, nullptr);
  GtkControl* c = Port().FindControl(WindowOf(data), ControlOf(data));
  if (shown || !c) return;
  // GTK takes its list down before it takes the entry picked from it: the
  // close-up waits until the choice has landed, so the page sees the new
  // selection then, and the selection change follows it.
  c->closeUpPending = true;
  g_idle_add(OnComboClosed, data);
}

gboolean OnListPress(GtkWidget* view, GdkEventButton* event, gpointer data) {
  GtkControl* c = Port().FindControl(WindowOf(data), ControlOf(data));
  if (!c) return FALSE;
  int item = -1;
  int subItem = 0;
  GtkTreePath* path = nullptr;
  if (GTK_IS_ICON_VIEW(view)) {
    path = gtk_icon_view_get_path_at_pos(GTK_ICON_VIEW(view), static_cast<gint>(event->x),
                                         static_cast<gint>(event->y));
  } else {
    if (event->window != gtk_tree_view_get_bin_window(GTK_TREE_VIEW(view))) return FALSE;
    GtkTreeViewColumn* column = nullptr;
    if (gtk_tree_view_get_path_at_pos(GTK_TREE_VIEW(view), static_cast<gint>(event->x),
                                      static_cast<gint>(event->y), &path, &column, nullptr,
                                      nullptr)) {
      GList* columns = gtk_tree_view_get_columns(GTK_TREE_VIEW(view));
      subItem = std::max(0, g_list_index(columns, column));
      g_list_free(columns);
    }
  }
  if (path) {
    item = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
  }
  gtk_widget_grab_focus(view);
  const WindowId window = WindowOf(data);
  const int id = ControlOf(data);
  if (event->type == GDK_BUTTON_PRESS && event->button == 1) {
    if (!SecondOfDouble(*c, event)) Port().ListClicked(window, id, item, subItem, notify::kClick);
  } else if (event->type == GDK_2BUTTON_PRESS && event->button == 1) {
    c->lastPressTime = 0;
    Port().ListClicked(window, id, item, subItem, notify::kDblClick);
  } else if (event->type == GDK_BUTTON_PRESS && event->button == 3) {
    Port().ListClicked(window, id, item, subItem, notify::kRClick);
  }
  return TRUE;
}

gboolean OnStaticPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  GtkControl* c = Port().FindControl(WindowOf(data), ControlOf(data));
  if (!c || event->button != 1) return TRUE;
  if (event->type == GDK_BUTTON_PRESS) {
    if (!SecondOfDouble(*c, event)) {
      Port().SendCommand(WindowOf(data), ControlOf(data), notify::kClicked);
    }
  } else if (event->type == GDK_2BUTTON_PRESS) {
    c->lastPressTime = 0;
    Port().SendCommand(WindowOf(data), ControlOf(data), notify::kDoubleClicked);
  }
  return TRUE;
}

gboolean OnControlFocus(GtkWidget*, GdkEvent*, gpointer data) {
  if (GtkWin* w = Port().Find(WindowOf(data))) w->focus = ControlOf(data);
  return FALSE;
}

}  // namespace ui::gtk
