// Windows, loops, timers and posting on the GTK main loop.
#include <gdk/gdkx.h>

#include <algorithm>

#include "ui/backend/gtk/gtk_port.h"
#include "ui/backend/gtk/gtk_signals.h"

namespace ui::gtk {

namespace {

GtkPort* g_port = nullptr;

static_assert(sizeof(std::uintptr_t) >= 8, "window and control ids are packed into a pointer");

gpointer PackWindow(WindowId window) {
  return reinterpret_cast<gpointer>(static_cast<std::uintptr_t>(window));
}
WindowId UnpackWindow(gpointer data) {
  return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(data));
}

gboolean OnDraw(GtkWidget* layout, cairo_t* cr, gpointer data) {
  // A layout draws once per GDK window it owns; paint under the children once.
  if (gtk_cairo_should_draw_window(cr, gtk_layout_get_bin_window(GTK_LAYOUT(layout)))) {
    g_port->Painted(UnpackWindow(data), cr);
  }
  return FALSE;
}

void OnLayoutAllocated(GtkWidget*, GdkRectangle* allocation, gpointer data) {
  const WindowId window = UnpackWindow(data);
  g_port->LayoutSized(window, allocation->width, allocation->height);
  if (GtkWin* w = g_port->Find(window)) {
    // Controls sit exactly at their template rectangles, whatever size the
    // theme would like them to have.
    for (int id : w->order) {
      GtkControl& c = w->controls[id];
      if (!c.outer || !gtk_widget_get_visible(c.outer)) continue;
      GtkAllocation a{c.rect.left, c.rect.top, std::max(1, c.rect.Width()),
                      std::max(1, c.rect.Height())};
      if (c.kind == ControlKind::ComboBox) {
        // A combo's template height includes its dropped list.
        int minimum = 0, natural = 0;
        gtk_widget_get_preferred_height(c.outer, &minimum, &natural);
        a.height = std::min(a.height, std::max(minimum, 1));
      }
      gtk_widget_size_allocate(c.outer, &a);
    }
  }
}

gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  g_port->BackgroundPress(UnpackWindow(data), event);
  return TRUE;
}

gboolean OnButtonRelease(GtkWidget*, GdkEventButton*, gpointer data) {
  g_port->BackgroundRelease(UnpackWindow(data));
  return TRUE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  g_port->BackgroundMotion(UnpackWindow(data), event);
  return TRUE;
}

gboolean OnConfigure(GtkWidget*, GdkEventConfigure* event, gpointer data) {
  g_port->Configured(UnpackWindow(data), event->x, event->y);
  return FALSE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  g_port->CloseRequested(UnpackWindow(data));
  return TRUE;  // the page decides whether it closes
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data) {
  if (event->changed_mask & GDK_WINDOW_STATE_ICONIFIED) {
    g_port->Minimized(UnpackWindow(data),
                      (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0);
  }
  return FALSE;
}

// Without a window manager a window that maps gets no keyboard focus, and
// each window is a group of its own, so no modal grab sends the keys its way
// either: a window shown as the active one takes the focus once it is mapped.
gboolean OnMapped(GtkWidget* toplevel, GdkEvent*, gpointer data) {
  GtkWin* w = g_port->Find(UnpackWindow(data));
  if (w && w->activateOnMap) {
    w->activateOnMap = false;
    gdk_window_focus(gtk_widget_get_window(toplevel), GDK_CURRENT_TIME);
  }
  return FALSE;
}

gboolean OnDialogMapped(GtkWidget* dialog, GdkEvent*, gpointer) {
  gdk_window_focus(gtk_widget_get_window(dialog), GDK_CURRENT_TIME);
  return FALSE;
}

gboolean OnWebViewCheck(gpointer) {
  g_port->MakeShownWebViews();
  return G_SOURCE_REMOVE;
}

int FocusedControl(GtkWin& w) {
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(w.toplevel));
  for (GtkWidget* at = focus; at && at != w.layout; at = gtk_widget_get_parent(at)) {
    if (gpointer id = g_object_get_data(G_OBJECT(at), "orvane-control")) {
      return GPOINTER_TO_INT(id);
    }
  }
  return 0;
}

gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  const WindowId window = UnpackWindow(data);
  GtkWin* w = g_port->Find(window);
  const int virtualKey = VirtualKeyOf(event->keyval);
  if (!w || !w->client || virtualKey == 0) return FALSE;
  const int focus = FocusedControl(*w);
  Message m;
  m.message = msg::kKeyDown;
  m.wParam = static_cast<std::uintptr_t>(virtualKey);
  m.controlId = focus;
  m.modifiers = ModifiersOf(event->state);
  if (w->client->HandlePreTranslate(m)) return TRUE;
  return g_port->DialogKey(window, focus, virtualKey, m.modifiers) ? TRUE : FALSE;
}

struct TimerRef {
  WindowId window;
  int timerId;
  std::uint64_t generation;
};

gboolean OnTimer(gpointer data) {
  const TimerRef* ref = static_cast<const TimerRef*>(data);
  g_port->TimerFired(ref->window, ref->timerId, ref->generation);
  return G_SOURCE_REMOVE;  // each tick arms the next one itself
}

gboolean OnPosted(gpointer) {
  g_port->DeliverNextPosted();
  return G_SOURCE_REMOVE;
}

gboolean WakeUp(gpointer) {
  return G_SOURCE_REMOVE;
}

bool WindowManagerMoves() {
  GdkScreen* screen = gdk_screen_get_default();
  if (!GDK_IS_X11_SCREEN(screen)) return false;
  return gdk_x11_screen_supports_net_wm_hint(screen,
                                             gdk_atom_intern_static_string("_NET_WM_MOVERESIZE"));
}

// Runs the main loop until `done` or the real-time deadline.
bool IterateUntil(gint64 deadline, const std::function<bool()>& done, const bool& quit) {
  while (!quit) {
    if (done && done()) return true;
    const gint64 now = g_get_monotonic_time();
    if (now >= deadline) break;
    GSource* wake =
        g_timeout_source_new(static_cast<guint>(std::max<gint64>(1, (deadline - now) / 1000)));
    g_source_set_callback(wake, WakeUp, nullptr, nullptr);
    g_source_attach(wake, nullptr);
    g_main_context_iteration(nullptr, TRUE);
    g_source_destroy(wake);
    g_source_unref(wake);
  }
  return done && done();
}

}  // namespace

GtkPort& Port() {
  return *g_port;
}

std::unique_ptr<GtkBackend> CreateGtkBackend(int& argc, char**& argv) {
  // Window placement and the tray icon need X11; on Wayland, XWayland serves.
  gdk_set_allowed_backends("x11");
  KeepGlOutOfTheProgram();
  if (!gtk_init_check(&argc, &argv)) return nullptr;
  return std::make_unique<GtkPort>();
}

GtkPort::GtkPort() {
  g_port = this;
  // A click in an edit must not select its text: the program decides that.
  g_object_set(gtk_settings_get_default(), "gtk-entry-select-on-focus", FALSE, nullptr);
  css_ = gtk_css_provider_new();
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css_),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  ReloadCss();
}

GtkPort::~GtkPort() {
  while (!windows_.empty()) DestroyWindow(windows_.rbegin()->first);
  if (webCheckSource_) g_source_remove(webCheckSource_);
  webCheckSource_ = 0;
  {
    std::lock_guard lock(postMutex_);
    if (postSource_) g_source_remove(postSource_);
    postSource_ = 0;
    posted_.clear();  // frees what nobody received
  }
  for (auto& [key, tray] : tray_) g_object_unref(tray.icon);
  tray_.clear();
  for (auto& [id, pixbuf] : bitmaps_) {
    if (pixbuf) g_object_unref(pixbuf);
  }
  for (auto& [key, pixbuf] : icons_) {
    if (pixbuf) g_object_unref(pixbuf);
  }
  gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css_));
  g_object_unref(css_);
  Pump();
  g_port = nullptr;
}

GtkWin* GtkPort::Find(WindowId window) {
  return windows_.Find(window);
}

GtkControl* GtkPort::FindControl(WindowId window, int id) {
  return windows_.FindControl(window, id);
}

// --- windows -------------------------------------------------------------------

WindowId GtkPort::CreateDialogWindow(const DialogTemplate& dialogTemplate, WindowId owner,
                                     WindowClient& client) {
  const WindowId id = nextWindow_++;
  GtkWin& w = windows_[id];
  w.id = id;
  w.source = &dialogTemplate;
  w.client = &client;
  w.owner = Find(owner) ? owner : 0;
  w.created = ++sequence_;
  w.topmost = (dialogTemplate.style & ds::kTopmost) != 0;
  w.name = "orvane-w" + std::to_string(id);

  const Size size = common::DialogPixelSize(dialogTemplate);
  const int width = size.cx;
  const int height = size.cy;
  Point at;
  const Size screen = ScreenSize();
  if (dialogTemplate.style & ds::kCenter) {
    at = {(screen.cx - width) / 2, (screen.cy - height) / 2};
  } else if (GtkWin* o = Find(w.owner)) {
    // A dialog without the centring style opens at its owner's client origin.
    at = {o->rect.left, o->rect.top};
  }
  w.rect = Rect::FromSize(at.x, at.y, width, height);

  GtkWindow* top = GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL));
  w.toplevel = GTK_WIDGET(top);
  gtk_widget_set_name(w.toplevel, w.name.c_str());
  gtk_style_context_add_class(gtk_widget_get_style_context(w.toplevel), "orvane-dialog");
  gtk_window_set_decorated(top, (dialogTemplate.style & ds::kCaption) != 0);
  gtk_window_set_resizable(top, FALSE);
  gtk_window_set_position(top, GTK_WIN_POS_NONE);
  gtk_window_set_title(top, ToUtf8(dialogTemplate.caption).c_str());
  if (dialogTemplate.style & ds::kToolWindow) gtk_window_set_skip_taskbar_hint(top, TRUE);
  if (w.topmost) gtk_window_set_keep_above(top, TRUE);
  if (GtkWin* o = Find(w.owner)) gtk_window_set_transient_for(top, GTK_WINDOW(o->toplevel));
  // A window group of its own: a modal window's grab then holds only its own
  // group (and its message boxes). Its owner is disabled as on Windows, and
  // every other window, a reminder or a batch tool, stays in the user's reach.
  GtkWindowGroup* group = gtk_window_group_new();
  gtk_window_group_add_window(group, top);
  g_object_unref(group);
  gtk_window_move(top, at.x, at.y);

  w.layout = gtk_layout_new(nullptr, nullptr);
  gtk_widget_set_size_request(w.layout, width, height);
  w.reportedClient = {width, height};
  gtk_layout_set_size(GTK_LAYOUT(w.layout), static_cast<guint>(width), static_cast<guint>(height));
  gtk_widget_add_events(w.layout, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                      GDK_POINTER_MOTION_MASK | GDK_BUTTON_MOTION_MASK);
  gtk_container_add(GTK_CONTAINER(top), w.layout);

  const gpointer data = PackWindow(id);
  g_signal_connect(w.layout, "draw", G_CALLBACK(OnDraw), data);
  g_signal_connect_after(w.layout, "size-allocate", G_CALLBACK(OnLayoutAllocated), data);
  g_signal_connect(w.layout, "button-press-event", G_CALLBACK(OnButtonPress), data);
  g_signal_connect(w.layout, "button-release-event", G_CALLBACK(OnButtonRelease), data);
  g_signal_connect(w.layout, "motion-notify-event", G_CALLBACK(OnMotion), data);
  g_signal_connect(w.toplevel, "key-press-event", G_CALLBACK(OnKeyPress), data);
  g_signal_connect(w.toplevel, "delete-event", G_CALLBACK(OnDelete), data);
  g_signal_connect(w.toplevel, "configure-event", G_CALLBACK(OnConfigure), data);
  g_signal_connect(w.toplevel, "window-state-event", G_CALLBACK(OnWindowState), data);
  g_signal_connect(w.toplevel, "map-event", G_CALLBACK(OnMapped), data);

  // Template font; 2 pixels per dialog unit is about three quarters of what
  // the face would get on Windows, so the pixel size is the point size.
  const std::string face =
      dialogTemplate.fontFace.empty() ? std::string("sans-serif") : ToUtf8(dialogTemplate.fontFace);
  SetCss(w.name, "#" + w.name + ", #" + w.name + " * { font-family: \"" + face +
                     "\", \"WenQuanYi Micro Hei\", sans-serif; font-size: " +
                     std::to_string(std::max(6, dialogTemplate.fontPoints)) + "px; }\n");

  {
    QuietScope quiet(*this);
    for (const ControlTemplate& t : dialogTemplate.controls) BuildControl(w, t);
  }
  gtk_widget_show(w.layout);

  client.Attached(id);
  client.HandleInitDialog();
  if (Find(id) && (dialogTemplate.style & ds::kVisible)) Show(id, ShowCommand::Show);
  return id;
}

void GtkPort::DestroyWindow(WindowId window) {
  GtkWin* w = Find(window);
  if (!w || !w->client) return;
  // Owned windows go first, as the system destroys them with their owner.
  for (WindowId id : windows_.OwnedBy(window)) DestroyWindow(id);

  w = Find(window);
  if (!w || !w->client) return;
  common::Detach(*w);

  w = Find(window);
  RemoveTimers(*w);
  for (auto it = tray_.begin(); it != tray_.end();) {
    if (it->first.first == window) {
      g_object_unref(it->second.icon);
      it = tray_.erase(it);
    } else {
      ++it;
    }
  }
  {
    QuietScope quiet(*this);
    gtk_widget_destroy(w->toplevel);
  }
  cssRules_.erase(w->name);
  for (int id : w->order) cssRules_.erase(w->name + "-c" + std::to_string(id));
  windows_.Erase(window);
  ReloadCss();
}

bool GtkPort::IsWindow(WindowId window) {
  return Find(window) != nullptr;
}

// --- loops ---------------------------------------------------------------------------

void GtkPort::RunLoopUntil(const std::function<bool()>& done) {
  while (true) {
    Pump();
    if (done() || quit_) return;
    if (script_) {
      if (!script_->Step()) {
        // The user has nothing more to do: end every loop, as a quit would.
        scriptExhausted_ = true;
        PostQuit(0);
        return;
      }
      continue;
    }
    g_main_context_iteration(nullptr, TRUE);
  }
}

int GtkPort::RunModal(WindowId window) {
  GtkWin* w = Find(window);
  if (!w || quit_) return -1;
  w->modal = true;
  const WindowId owner = w->owner;
  const bool ownerWasEnabled = owner && IsEnabled(owner);
  if (owner) EnableWindow(owner, false);
  gtk_window_set_modal(GTK_WINDOW(w->toplevel), TRUE);
  if (!w->modalEnded && !w->visible) Show(window, ShowCommand::ShowNormal);

  RunLoopUntil([&] {
    GtkWin* self = Find(window);
    return !self || self->modalEnded;
  });

  int result = -1;
  if (GtkWin* self = Find(window)) {
    result = self->modalEnded ? self->modalResult : -1;
    self->modal = false;
    gtk_window_set_modal(GTK_WINDOW(self->toplevel), FALSE);
    if (self->visible) Show(window, ShowCommand::Hide);
  }
  if (owner && ownerWasEnabled) EnableWindow(owner, true);
  return result;
}

void GtkPort::EndModal(WindowId window, int result) {
  if (GtkWin* w = Find(window)) {
    w->modalEnded = true;
    w->modalResult = result;
    Show(window, ShowCommand::Hide);
  }
  g_main_context_wakeup(nullptr);
}

int GtkPort::RunMessageLoop() {
  RunLoopUntil([] { return false; });
  return exitCode_;
}

void GtkPort::PostQuit(int exitCode) {
  if (quit_) return;
  quit_ = true;
  exitCode_ = exitCode;
  g_main_context_wakeup(nullptr);
}

void GtkPort::Pump() {
  // Bounded, in case something keeps itself busy (an animation).
  for (int i = 0; i < 10000 && g_main_context_pending(nullptr); ++i) {
    g_main_context_iteration(nullptr, FALSE);
  }
}

void GtkPort::Advance(unsigned milliseconds) {
  // Real time: the loop runs for that long and the timers fire as they fall due.
  IterateUntil(g_get_monotonic_time() + static_cast<gint64>(milliseconds) * 1000, nullptr, quit_);
  Pump();
}

bool GtkPort::WaitUntil(const std::function<bool()>& done, unsigned milliseconds) {
  const bool met =
      IterateUntil(g_get_monotonic_time() + static_cast<gint64>(milliseconds) * 1000, done, quit_);
  Pump();
  return met || done();
}

bool GtkPort::SetLocalTime(int, int, int, int, int, int) {
  // The desktop program reads the system's clock, which a scenario cannot set.
  return Fail("the local time cannot be set on the desktop backend");
}

// --- placement -------------------------------------------------------------------------

void GtkPort::Show(WindowId window, ShowCommand command) {
  GtkWin* w = Find(window);
  if (!w) return;
  GtkWindow* top = GTK_WINDOW(w->toplevel);
  // Shown again while it waits in the task bar for its tray icon.
  const bool fromTaskBar = command != ShowCommand::Hide && w->waitsForTrayIcon;
  if (fromTaskBar) {
    w->waitsForTrayIcon.reset();
    w->minimized = false;
  }
  switch (command) {
    case ShowCommand::Hide:
      w->visible = false;
      if ((w->waitsForTrayIcon = UnseenTrayIcon(window))) {
        // No notification area shows the icon this window hides behind: it
        // waits iconified in the task bar instead, where the user still finds
        // it, and coming back from there counts as a click on the icon.
        gtk_window_iconify(top);
        return;
      }
      gtk_widget_hide(w->toplevel);
      return;
    case ShowCommand::Minimize:
      w->visible = true;
      gtk_window_move(top, w->rect.left, w->rect.top);
      gtk_widget_show(w->toplevel);
      gtk_window_iconify(top);
      // Without a window manager nothing iconifies, and no state change
      // follows: the page hears of it now either way.
      Minimized(window, true);
      return;
    case ShowCommand::Maximize: {
      w->visible = true;
      // Without a window manager nothing maximises: fill the work area then.
      const Size area = WorkAreaSize();
      MoveWindow(window, Rect{0, 0, area.cx, area.cy});
      gtk_widget_show(w->toplevel);
      gtk_window_maximize(top);
      gtk_window_present(top);
      Minimized(window, false);
      return;
    }
    case ShowCommand::Show:
    case ShowCommand::ShowNormal:
    case ShowCommand::Restore:
    case ShowCommand::ShowNoActivate:
      break;
  }
  const bool wasVisible = w->visible;
  w->visible = true;
  QueueWebViewCheck();
  if (command != ShowCommand::Show || fromTaskBar) gtk_window_deiconify(top);
  if (!wasVisible) gtk_window_move(top, w->rect.left, w->rect.top);
  if (command == ShowCommand::ShowNoActivate) {
    gtk_window_set_focus_on_map(top, FALSE);
    gtk_widget_show(w->toplevel);
    gtk_window_set_focus_on_map(top, TRUE);
  } else {
    w->activateOnMap = !gtk_widget_get_mapped(w->toplevel);
    gtk_window_present(top);
  }
  if (command != ShowCommand::Show) Minimized(window, false);
}

void FocusWhenMapped(GtkWidget* dialog) {
  g_signal_connect(dialog, "map-event", G_CALLBACK(OnDialogMapped), nullptr);
}

bool GtkPort::IsVisible(WindowId window) {
  GtkWin* w = Find(window);
  return w && w->visible;
}

void GtkPort::EnableWindow(WindowId window, bool enable) {
  if (GtkWin* w = Find(window)) {
    w->enabled = enable;
    gtk_widget_set_sensitive(w->layout, enable);
  }
}

bool GtkPort::IsEnabled(WindowId window) {
  GtkWin* w = Find(window);
  return w && w->enabled;
}

Rect GtkPort::GetWindowRect(WindowId window) {
  GtkWin* w = Find(window);
  return w ? w->rect : Rect{};
}

Rect GtkPort::GetClientRect(WindowId window) {
  GtkWin* w = Find(window);
  return w ? Rect{0, 0, w->rect.Width(), w->rect.Height()} : Rect{};
}

void GtkPort::MoveWindow(WindowId window, const Rect& rect) {
  GtkWin* w = Find(window);
  if (!w) return;
  const bool resized = rect.Width() != w->rect.Width() || rect.Height() != w->rect.Height();
  w->rect = rect;
  w->expectedPosition = Point{rect.left, rect.top};
  w->expectedSince = g_get_monotonic_time();
  gtk_window_move(GTK_WINDOW(w->toplevel), rect.left, rect.top);
  QueueWebViewCheck();
  if (resized) {
    gtk_widget_set_size_request(w->layout, std::max(1, rect.Width()), std::max(1, rect.Height()));
    gtk_layout_set_size(GTK_LAYOUT(w->layout), static_cast<guint>(std::max(1, rect.Width())),
                        static_cast<guint>(std::max(1, rect.Height())));
    gtk_window_resize(GTK_WINDOW(w->toplevel), std::max(1, rect.Width()),
                      std::max(1, rect.Height()));
  }
}

void GtkPort::LayoutSized(WindowId window, int width, int height) {
  GtkWin* w = Find(window);
  if (!w || !w->client) return;
  if (w->reportedClient == Size{width, height}) return;
  w->reportedClient = {width, height};
  Message m;
  m.message = msg::kSize;
  m.wParam = w->minimized ? sizekind::kMinimized : sizekind::kRestored;
  m.lParam = PackSize(width, height);
  w->client->HandleMessage(m);
}

void GtkPort::Configured(WindowId window, int x, int y) {
  GtkWin* w = Find(window);
  if (!w || w->dragging || !w->visible) return;
  if (w->expectedPosition) {
    // Our own move is on its way; earlier positions still arriving are stale.
    const bool arrived = w->expectedPosition->x == x && w->expectedPosition->y == y;
    if (arrived || g_get_monotonic_time() - w->expectedSince < 500000) {
      if (arrived) w->expectedPosition.reset();
      return;
    }
    w->expectedPosition.reset();
  }
  // Moved by the window manager (the user dragged it).
  w->rect = Rect::FromSize(x, y, w->rect.Width(), w->rect.Height());
  QueueWebViewCheck();
}

void GtkPort::Minimized(WindowId window, bool minimized) {
  GtkWin* w = Find(window);
  if (!w || w->minimized == minimized) return;
  w->minimized = minimized;
  if (w->waitsForTrayIcon) {
    // Hidden as far as the page knows: only its coming back is news, as a
    // click on the tray icon it waits for (or a plain restore once that is gone).
    if (minimized) return;
    const int icon = *w->waitsForTrayIcon;
    if (tray_.count({window, icon})) {
      TrayMouse(window, icon, msg::kLButtonDown);
    } else {
      Show(window, ShowCommand::Restore);
    }
    return;
  }
  // As Windows reports it: a minimised window's client area is 0 x 0, and
  // a restore brings back the size it had.
  const Size client = minimized ? Size{0, 0} : Size{w->rect.Width(), w->rect.Height()};
  w->reportedClient = client;
  if (!minimized) QueueWebViewCheck();
  if (!w->client) return;
  Message m;
  m.message = msg::kSize;
  m.wParam = minimized ? sizekind::kMinimized : sizekind::kRestored;
  m.lParam = PackSize(client.cx, client.cy);
  w->client->HandleMessage(m);
}

void GtkPort::QueueWebViewCheck() {
  if (!webCheckSource_) webCheckSource_ = g_idle_add(OnWebViewCheck, nullptr);
}

void GtkPort::SetTopmost(WindowId window, bool topmost) {
  if (GtkWin* w = Find(window)) {
    w->topmost = topmost;
    gtk_window_set_keep_above(GTK_WINDOW(w->toplevel), topmost);
  }
}

bool GtkPort::IsTopmost(WindowId window) {
  GtkWin* w = Find(window);
  return w && w->topmost;
}

namespace {

GdkMonitor* PrimaryMonitor() {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (!monitor && gdk_display_get_n_monitors(display) > 0) {
    monitor = gdk_display_get_monitor(display, 0);
  }
  return monitor;
}

}  // namespace

Size GtkPort::ScreenSize() {
  GdkMonitor* monitor = PrimaryMonitor();
  if (!monitor) return {1024, 768};
  GdkRectangle geometry;
  gdk_monitor_get_geometry(monitor, &geometry);
  return {geometry.width, geometry.height};
}

Size GtkPort::WorkAreaSize() {
  GdkMonitor* monitor = PrimaryMonitor();
  if (!monitor) return ScreenSize();
  GdkRectangle area;
  gdk_monitor_get_workarea(monitor, &area);
  return {area.width, area.height};
}

void GtkPort::SetWindowText(WindowId window, std::string_view text) {
  if (GtkWin* w = Find(window)) gtk_window_set_title(GTK_WINDOW(w->toplevel), ToUtf8(text).c_str());
}

void GtkPort::SetForeground(WindowId window) {
  if (GtkWin* w = Find(window); w && w->visible) gtk_window_present(GTK_WINDOW(w->toplevel));
}

// --- mouse on the background ------------------------------------------------------------

void GtkPort::SendMouse(WindowId window, std::uint32_t message, Point at) {
  GtkWin* w = Find(window);
  if (!w || !w->client) return;
  Message m;
  m.message = message;
  m.point = at;
  w->client->HandleMessage(m);
}

void GtkPort::BackgroundPress(WindowId window, GdkEventButton* event) {
  GtkWin* w = Find(window);
  if (!w || !w->enabled) return;
  const Point at{static_cast<int>(event->x), static_cast<int>(event->y)};
  if (event->button == 1 && event->type == GDK_BUTTON_PRESS) {
    int doubleClickTime = 400;
    g_object_get(gtk_settings_get_default(), "gtk-double-click-time", &doubleClickTime, nullptr);
    const bool secondOfDouble =
        w->lastBackgroundPress != 0 &&
        event->time - w->lastBackgroundPress <= static_cast<guint32>(doubleClickTime);
    w->lastBackgroundPress = event->time;
    w->buttonHeld = true;
    w->pressTime = event->time;
    w->pressRootX = event->x_root;
    w->pressRootY = event->y_root;
    // The second press of a double click arrives as the double click alone.
    if (!secondOfDouble) SendMouse(window, msg::kLButtonDown, at);
  } else if (event->button == 1 && event->type == GDK_2BUTTON_PRESS) {
    w->lastBackgroundPress = 0;
    SendMouse(window, msg::kLButtonDblClk, at);
  } else if (event->button == 3 && event->type == GDK_BUTTON_PRESS) {
    SendMouse(window, msg::kRButtonDown, at);
  }
}

void GtkPort::BackgroundRelease(WindowId window) {
  if (GtkWin* w = Find(window)) {
    w->buttonHeld = false;
    w->dragging = false;
  }
}

void GtkPort::BackgroundMotion(WindowId window, GdkEventMotion* event) {
  GtkWin* w = Find(window);
  if (!w || !w->dragging) return;
  const int x = w->dragWindowStart.x + static_cast<int>(event->x_root - w->pressRootX);
  const int y = w->dragWindowStart.y + static_cast<int>(event->y_root - w->pressRootY);
  w->rect = Rect::FromSize(x, y, w->rect.Width(), w->rect.Height());
  gtk_window_move(GTK_WINDOW(w->toplevel), x, y);
}

void GtkPort::BeginDrag(WindowId window, Point) {
  GtkWin* w = Find(window);
  if (!w) return;
  if (driving_) {
    w->dragArmed = true;  // the driver moves the window by its own offset
    return;
  }
  if (!w->buttonHeld) return;
  if (WindowManagerMoves()) {
    gtk_window_begin_move_drag(GTK_WINDOW(w->toplevel), 1, static_cast<int>(w->pressRootX),
                               static_cast<int>(w->pressRootY), w->pressTime);
  } else {
    // No window manager: follow the pointer ourselves while the button is held.
    w->dragging = true;
    w->dragWindowStart = {w->rect.left, w->rect.top};
  }
}

void GtkPort::CloseRequested(WindowId window) {
  GtkWin* w = Find(window);
  if (!w || !w->client || !w->enabled) return;
  Message m;
  m.message = msg::kSysCommand;
  m.wParam = syscmd::kClose;
  w->client->HandleMessage(m);
}

// --- timers ----------------------------------------------------------------------------

void GtkPort::SetTimer(WindowId window, int timerId, unsigned periodMs) {
  GtkWin* w = Find(window);
  if (!w) return;
  // Setting a running timer again replaces it: its period starts over now.
  GtkWin::Timer& t = w->timers[timerId];
  if (t.source) g_source_remove(t.source);
  t.source = 0;
  t.period = std::max(periodMs, 10u);
  t.generation = ++sequence_;
  StartTimerSource(window, timerId);
}

void GtkPort::StartTimerSource(WindowId window, int timerId) {
  GtkWin::Timer& t = Find(window)->timers[timerId];
  auto* ref = new TimerRef{window, timerId, t.generation};
  t.source = g_timeout_add_full(G_PRIORITY_DEFAULT, t.period, OnTimer, ref,
                                [](gpointer data) { delete static_cast<TimerRef*>(data); });
}

void GtkPort::KillTimer(WindowId window, int timerId) {
  GtkWin* w = Find(window);
  if (!w) return;
  auto it = w->timers.find(timerId);
  if (it == w->timers.end()) return;
  if (it->second.source) g_source_remove(it->second.source);
  w->timers.erase(it);
}

void GtkPort::RemoveTimers(GtkWin& w) {
  for (auto& [id, t] : w.timers) {
    if (t.source) g_source_remove(t.source);
  }
  w.timers.clear();
}

void GtkPort::TimerFired(WindowId window, int timerId, std::uint64_t generation) {
  GtkWin* w = Find(window);
  if (!w) return;
  auto it = w->timers.find(timerId);
  if (it == w->timers.end() || it->second.generation != generation) return;
  // Arm the next tick before the handler runs: it may open a modal loop in
  // which this timer must keep ticking, or kill or reset the timer.
  StartTimerSource(window, timerId);
  if (w->client) {
    Message m;
    m.message = msg::kTimer;
    m.wParam = static_cast<std::uintptr_t>(timerId);
    w->client->HandleMessage(m);
  }
}

// --- posting ---------------------------------------------------------------------------

void GtkPort::Post(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                   std::unique_ptr<Payload> payload) {
  std::lock_guard lock(postMutex_);
  posted_.push_back(PostedMessage{window, message, wParam, std::move(payload)});
  if (!postSource_) postSource_ = g_idle_add_full(G_PRIORITY_DEFAULT, OnPosted, nullptr, nullptr);
}

void GtkPort::DeliverNextPosted() {
  PostedMessage next;
  {
    std::lock_guard lock(postMutex_);
    postSource_ = 0;
    if (posted_.empty()) return;
    next = std::move(posted_.front());
    posted_.pop_front();
    // One message per dispatch, the next one already scheduled: a handler
    // that runs a modal loop still lets the later messages through, in order.
    if (!posted_.empty()) {
      postSource_ = g_idle_add_full(G_PRIORITY_DEFAULT, OnPosted, nullptr, nullptr);
    }
  }
  GtkWin* w = Find(next.window);
  // A message for a window that is gone is dropped; its payload with it.
  if (w && w->client) w->client->HandlePosted(next.message, next.wParam, std::move(next.payload));
}

}  // namespace ui::gtk
