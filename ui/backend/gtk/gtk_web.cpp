// The web-view control: a WebKitGTK view that reports its navigations.
#include <webkit2/webkit2.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "ui/backend/gtk/gtk_signals.h"

namespace ui::gtk {

namespace {

// The view's window is made after those of the controls placed over it: put
// their windows back on top, so a control drawn over the view (the
// advertisement's close icon) also gets the mouse there.
void OnWebViewMapped(GtkWidget*, gpointer data) {
  GtkWin* w = Port().Find(WindowOf(data));
  if (!w) return;
  GdkWindow* bin = gtk_layout_get_bin_window(GTK_LAYOUT(w->layout));
  auto view = std::find(w->order.begin(), w->order.end(), ControlOf(data));
  if (!bin || view == w->order.end()) return;
  GList* children = gdk_window_get_children(bin);
  for (auto id = std::next(view); id != w->order.end(); ++id) {
    const GtkControl* over = Port().FindControl(w->id, *id);
    if (!over) continue;
    for (GList* at = children; at; at = at->next) {
      gpointer owner = nullptr;
      gdk_window_get_user_data(GDK_WINDOW(at->data), &owner);
      if (owner && (owner == over->outer || gtk_widget_is_ancestor(GTK_WIDGET(owner), over->outer))) {
        gdk_window_raise(GDK_WINDOW(at->data));
      }
    }
  }
  g_list_free(children);
}

gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                        WebKitPolicyDecisionType type, gpointer data) {
  if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return FALSE;
  WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
      WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  const bool newWindow = type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION;
  const bool go = Port().WebDecide(WindowOf(data), ControlOf(data), uri ? uri : "", newWindow);
  // New windows are the page's business: it opens its own if it wants one.
  if (!go || newWindow) {
    webkit_policy_decision_ignore(decision);
    return TRUE;
  }
  return FALSE;
}

// The page sees the right button before the view does: it keeps the view's
// own menu from opening.
gboolean OnViewPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->button != 3) return FALSE;
  std::uint32_t message = 0;
  if (event->type == GDK_BUTTON_PRESS) message = msg::kRButtonDown;
  if (event->type == GDK_2BUTTON_PRESS) message = msg::kRButtonDblClk;
  if (!message) return FALSE;
  int x = 0, y = 0;
  // The page's points are in its client area, as with every mouse message.
  GtkControl* c = Port().FindControl(WindowOf(data), ControlOf(data));
  if (c) {
    x = c->rect.left + static_cast<int>(event->x);
    y = c->rect.top + static_cast<int>(event->y);
  }
  return Port().ControlRightButton(WindowOf(data), ControlOf(data), message, Point{x, y}) ? TRUE
                                                                                          : FALSE;
}

void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
  if (event != WEBKIT_LOAD_FINISHED) return;
  const char* uri = webkit_web_view_get_uri(view);
  Port().WebLoaded(WindowOf(data), ControlOf(data), uri ? uri : "");
}

// Every view shares one context (so one network process and one cache) that
// keeps as little as a document viewer does; the pages we show are small and
// static, so they are drawn without GL, which would load the whole software
// GL stack into the program.
WebKitWebContext* SharedContext() {
  static WebKitWebContext* context = [] {
    WebKitWebContext* c = webkit_web_context_get_default();
    webkit_web_context_set_cache_model(c, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    return c;
  }();
  return context;
}

WebKitSettings* SharedSettings() {
  static WebKitSettings* settings = [] {
    WebKitSettings* s = webkit_settings_new();
    webkit_settings_set_hardware_acceleration_policy(s, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    webkit_settings_set_enable_webgl(s, FALSE);
    webkit_settings_set_enable_page_cache(s, FALSE);
    return s;
  }();
  return settings;
}

// Some of the control lies on the screen, inside its window.
bool OnScreen(const GtkWin& w, const GtkControl& c, Size screen) {
  const Rect& at = w.rect;
  const int left = std::max({at.left + c.rect.left, at.left, 0});
  const int top = std::max({at.top + c.rect.top, at.top, 0});
  const int right = std::min({at.left + c.rect.right, at.right, screen.cx});
  const int bottom = std::min({at.top + c.rect.bottom, at.bottom, screen.cy});
  return left < right && top < bottom;
}

}  // namespace

// Without a GPU, GL means Mesa's software driver, which brings LLVM: some
// 55 MB resident that would stay in the program for the whole run. Two things
// open it in the program process, and each is turned off here unless the
// user has chosen otherwise in the environment:
// - GDK opens GLX as it starts, only to pick visuals for GL drawing, which
//   none of our windows does (GDK_GL=disable);
// - WebKit opens an EGL display for the DMA-BUF renderer, which hands GPU
//   buffers from the web process to the view, and to find the GPU's render
//   node to tell the web process. Our views are drawn without hardware
//   acceleration and their pages come over shared memory without it, and
//   with the renderer off the node is never opened: naming it saves the
//   display that would only look it up.
void KeepGlOutOfTheProgram() {
  g_setenv("GDK_GL", "disable", FALSE);
  g_setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", FALSE);
  const char* dmabufOff = g_getenv("WEBKIT_DISABLE_DMABUF_RENDERER");
  if (std::strcmp(dmabufOff, "0") == 0) return;
  std::string node = "/dev/null";  // no GPU: nothing is ever rendered on one
  if (GDir* dri = g_dir_open("/dev/dri", 0, nullptr)) {
    while (const char* name = g_dir_read_name(dri)) {
      if (g_str_has_prefix(name, "renderD")) {
        node = std::string("/dev/dri/") + name;
        break;
      }
    }
    g_dir_close(dri);
  }
  g_setenv("WEBKIT_WEB_RENDER_DEVICE_FILE", node.c_str(), FALSE);
}

GtkWidget* NewWebView(WindowId window, int id) {
  GtkWidget* view = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", SharedContext(),
                                            "settings", SharedSettings(), nullptr));
  const gpointer data = PackControl(window, id);
  g_signal_connect(view, "decide-policy", G_CALLBACK(OnDecidePolicy), data);
  g_signal_connect(view, "load-changed", G_CALLBACK(OnLoadChanged), data);
  g_signal_connect(view, "button-press-event", G_CALLBACK(OnViewPress), data);
  return view;
}

void LoadWebAddress(GtkControl& c, const std::string& urlUtf8) {
  // A view not made yet loads its latest address when it is.
  if (c.webViewMade) webkit_web_view_load_uri(WEBKIT_WEB_VIEW(c.widget), urlUtf8.c_str());
}

// A web view is made when it first shows: its window shown, not minimised,
// and some of it on the screen. The advertisement window stays shown while
// it waits off the screen, so a run whose advertisement never comes starts
// no WebKit process at all.
void GtkPort::MakeShownWebViews() {
  webCheckSource_ = 0;
  const Size screen = ScreenSize();
  std::vector<std::pair<WindowId, int>> due;
  for (auto& [window, w] : windows_) {
    if (!w.client || !w.visible || w.minimized) continue;
    for (auto& [id, c] : w.controls) {
      if (c.kind == ControlKind::WebView && !c.webViewMade && c.visible && OnScreen(w, c, screen)) {
        due.emplace_back(window, id);
      }
    }
  }
  for (const auto& [window, id] : due) {
    GtkWin* w = Find(window);
    GtkControl* c = FindControl(window, id);
    if (w && c && !c->webViewMade) MakeWebView(*w, *c);
  }
}

void GtkPort::MakeWebView(GtkWin& w, GtkControl& c) {
  QuietScope quiet(*this);
  // The view goes inside the placeholder, which keeps the control's place
  // among its siblings: a control drawn over the view (the advertisement's
  // close icon) stays over it.
  c.widget = NewWebView(w.id, c.id);
  g_object_set_data(G_OBJECT(c.widget), "orvane-control", GINT_TO_POINTER(c.id));
  g_signal_connect(c.widget, "focus-in-event", G_CALLBACK(OnControlFocus), PackControl(w.id, c.id));
  gtk_container_add(GTK_CONTAINER(c.outer), c.widget);
  g_signal_connect_after(c.widget, "map", G_CALLBACK(OnWebViewMapped), PackControl(w.id, c.id));
  gtk_widget_show(c.widget);
  c.webViewMade = true;
  // Its history starts here: steps taken before it was made chose the address.
  c.history.clear();
  c.historyAt = -1;
  if (c.url.empty()) return;
  // What the driver chose was reported already; what the program asked for
  // is the page's to decide when the view asks.
  const std::string address = ToUtf8(c.url);
  if (c.userNavigation != address) c.userNavigation.clear();
  LoadWebAddress(c, address);
}

void GtkPort::WebNavigate(WindowId window, int id, std::string_view url) {
  GtkControl* c = FindControl(window, id);
  if (!c || c->kind != ControlKind::WebView) return;
  if (!c->webViewMade) {
    common::WebVisit(*c, std::string(url));
    c->userNavigation.clear();
    return;
  }
  c->url = url;
  LoadWebAddress(*c, ToUtf8(url));
}

std::string GtkPort::WebLocation(WindowId window, int id) {
  return windows_.WebLocation(window, id);
}

bool GtkPort::WebGo(WindowId window, int id, int delta) {
  GtkControl* c = FindControl(window, id);
  if (!c || c->kind != ControlKind::WebView) return false;
  if (!c->webViewMade) {
    if (!common::WebStep(*c, delta)) return false;
    c->userNavigation = ToUtf8(c->url);
    return true;
  }
  WebKitWebView* view = WEBKIT_WEB_VIEW(c->widget);
  WebKitBackForwardListItem* item =
      webkit_back_forward_list_get_nth_item(webkit_web_view_get_back_forward_list(view), delta);
  if (!item) return false;
  const char* uri = webkit_back_forward_list_item_get_uri(item);
  // The program asked for this move: it is not the page's navigation to report.
  c->userNavigation = uri ? uri : "";
  c->url = FromUtf8(c->userNavigation);
  webkit_web_view_go_to_back_forward_list_item(view, item);
  return true;
}

void GtkPort::WebRefresh(WindowId window, int id) {
  GtkControl* c = FindControl(window, id);
  // A view not made yet loads afresh when it is.
  if (c && c->kind == ControlKind::WebView && c->webViewMade) {
    webkit_web_view_reload(WEBKIT_WEB_VIEW(c->widget));
  }
}

bool GtkPort::WebDecide(WindowId window, int id, const std::string& urlUtf8, bool newWindow) {
  GtkControl* c = FindControl(window, id);
  if (!c) return false;
  if (!newWindow && !c->userNavigation.empty() && c->userNavigation == urlUtf8) {
    c->userNavigation.clear();  // the driver reported this one already
    return true;
  }
  const std::string url = FromUtf8(urlUtf8);
  const bool allowed = common::AllowNavigation(*Find(window), id, url, newWindow);
  if (allowed && !newWindow) {
    if (GtkControl* still = FindControl(window, id)) still->url = url;
  }
  return allowed;
}

void GtkPort::WebLoaded(WindowId window, int id, const std::string& urlUtf8) {
  const std::string url = FromUtf8(urlUtf8);
  Notification n{notify::kWebDocumentComplete, id, -1, 0, {}, url.c_str(), nullptr};
  SendNotify(window, n);
}

bool GtkPort::WebNavigateByUser(WindowId window, int controlId, const std::string& url,
                                bool newWindow) {
  DrivingScope driving(*this);
  GtkControl* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::WebView) {
    return Fail("control " + std::to_string(controlId) + " is not a web view");
  }
  const bool allowed = common::AllowNavigation(*Find(window), controlId, url, newWindow);
  if (allowed && !newWindow) {
    if (GtkControl* still = FindControl(window, controlId)) {
      if (still->webViewMade) {
        still->url = url;
      } else {
        common::WebVisit(*still, url);
      }
      still->userNavigation = ToUtf8(url);
      LoadWebAddress(*still, still->userNavigation);
    }
  }
  Pump();
  return true;
}

}  // namespace ui::gtk
