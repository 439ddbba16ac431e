// The web-view control: a WebKitGTK view that reports its navigations.
#include <webkit2/webkit2.h>

#include "ui/backend/gtk/gtk_signals.h"

namespace ui::gtk {

namespace {

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

}  // namespace

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
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(c.widget), urlUtf8.c_str());
}

void GtkPort::WebNavigate(WindowId window, int id, std::string_view url) {
  GtkControl* c = FindControl(window, id);
  if (!c || c->kind != ControlKind::WebView) return;
  c->url = url;
  LoadWebAddress(*c, ToUtf8(url));
}

std::string GtkPort::WebLocation(WindowId window, int id) {
  return windows_.WebLocation(window, id);
}

bool GtkPort::WebGo(WindowId window, int id, int delta) {
  GtkControl* c = FindControl(window, id);
  if (!c || c->kind != ControlKind::WebView) return false;
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
  if (c && c->kind == ControlKind::WebView) webkit_web_view_reload(WEBKIT_WEB_VIEW(c->widget));
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
      still->url = url;
      still->userNavigation = ToUtf8(url);
      LoadWebAddress(*still, still->userNavigation);
    }
  }
  Pump();
  return true;
}

}  // namespace ui::gtk
