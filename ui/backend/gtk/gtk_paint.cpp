// Painting, resources as pixbufs, styles and screenshots.
#include <algorithm>

#include "resources/resource_data.h"
#include "ui/backend/gtk/gtk_port.h"

namespace ui::gtk {

namespace {

void SetSource(cairo_t* cr, Color colour) {
  cairo_set_source_rgb(cr, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                       ((colour >> 16) & 0xFF) / 255.0);
}

// The dialog face colour (COLOR_3DFACE) that statics fill themselves with
// unless the page gives them no brush.
constexpr Color kDialogFace = Rgb(240, 240, 240);

class CairoPaint : public PaintContext {
 public:
  CairoPaint(GtkPort& port, cairo_t* cr, Rect client, std::vector<std::string>& log)
      : port_(port), cr_(cr), client_(client), log_(log) {}

  Rect ClientRect() const override { return client_; }

  bool StretchBitmap(int bitmapId, const Rect& dest) override {
    log_.push_back(common::PaintBitmapLine(bitmapId, dest));
    GdkPixbuf* pixbuf = port_.Bitmap(bitmapId);
    if (!pixbuf || dest.Width() <= 0 || dest.Height() <= 0) return pixbuf != nullptr;
    cairo_save(cr_);
    cairo_rectangle(cr_, dest.left, dest.top, dest.Width(), dest.Height());
    cairo_clip(cr_);
    cairo_translate(cr_, dest.left, dest.top);
    cairo_scale(cr_, static_cast<double>(dest.Width()) / gdk_pixbuf_get_width(pixbuf),
                static_cast<double>(dest.Height()) / gdk_pixbuf_get_height(pixbuf));
    gdk_cairo_set_source_pixbuf(cr_, pixbuf, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_GOOD);
    cairo_paint(cr_);
    cairo_restore(cr_);
    return true;
  }

  void DrawIcon(int iconId, Point at) override {
    log_.push_back(common::PaintIconLine(iconId, at));
    if (GdkPixbuf* pixbuf = port_.Icon(iconId, 32)) {
      gdk_cairo_set_source_pixbuf(cr_, pixbuf, at.x, at.y);
      cairo_paint(cr_);
    }
  }

  void FillRect(const Rect& rect, Color color) override {
    log_.push_back(common::PaintFillLine(rect, color));
    SetSource(cr_, color);
    cairo_rectangle(cr_, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_fill(cr_);
  }

 private:
  GtkPort& port_;
  cairo_t* cr_;
  Rect client_;
  std::vector<std::string>& log_;
};

GdkPixbuf* LoadPixbuf(std::string_view bytes, int size) {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  if (size > 0) gdk_pixbuf_loader_set_size(loader, size, size);
  GdkPixbuf* pixbuf = nullptr;
  if (gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()), bytes.size(),
                              nullptr) &&
      gdk_pixbuf_loader_close(loader, nullptr)) {
    pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
    if (pixbuf) g_object_ref(pixbuf);
  } else {
    gdk_pixbuf_loader_close(loader, nullptr);
  }
  g_object_unref(loader);
  return pixbuf;
}

}  // namespace

GdkPixbuf* GtkPort::Bitmap(int bitmapId) {
  auto it = bitmaps_.find(bitmapId);
  if (it != bitmaps_.end()) return it->second;
  GdkPixbuf* pixbuf = nullptr;
  if (auto bytes = resources::Find(resources::Kind::Bitmap, bitmapId))
    pixbuf = LoadPixbuf(*bytes, 0);
  bitmaps_[bitmapId] = pixbuf;
  return pixbuf;
}

GdkPixbuf* GtkPort::Icon(int iconId, int size) {
  const auto key = std::make_pair(iconId, size);
  auto it = icons_.find(key);
  if (it != icons_.end()) return it->second;
  GdkPixbuf* pixbuf = nullptr;
  if (auto bytes = resources::Find(resources::Kind::Icon, iconId))
    pixbuf = LoadPixbuf(*bytes, size);
  icons_[key] = pixbuf;
  return pixbuf;
}

void GtkPort::Painted(WindowId window, cairo_t* cr) {
  GtkWin* w = Find(window);
  if (!w || !w->client) return;
  ++w->draws;
  std::vector<std::string> log;
  CairoPaint paint(*this, cr, GetClientRect(window), log);
  cairo_save(cr);
  w->client->HandlePaint(paint);
  cairo_restore(cr);
  w = Find(window);
  if (!w || !w->client) return;
  // Labels and check boxes paint their own background unless the page's
  // colour handler gives them none.
  for (int id : w->order) {
    const GtkControl& c = w->controls[id];
    if (!c.visible || (c.kind != ControlKind::Static && c.kind != ControlKind::CheckBox)) continue;
    if (w->client->HandleCtlColor(id).hollowBrush) continue;
    SetSource(cr, kDialogFace);
    cairo_rectangle(cr, c.rect.left, c.rect.top, c.rect.Width(), c.rect.Height());
    cairo_fill(cr);
  }
  w->paintLog = std::move(log);
}

void GtkPort::WaitForDraw(GtkWin& w, unsigned milliseconds) {
  const WindowId window = w.id;
  const unsigned before = w.draws;
  gtk_widget_queue_draw(w.layout);
  WaitUntil(
      [this, window, before] {
        GtkWin* self = Find(window);
        return !self || self->draws != before;
      },
      milliseconds);
}

void GtkPort::Repaint(WindowId window) {
  GtkWin* w = Find(window);
  if (!w) return;
  if (w->visible && gtk_widget_get_mapped(w->toplevel)) {
    WaitForDraw(*w, 1000);
    return;
  }
  // Not on screen: paint into memory so the page's painting still runs.
  const Rect client = GetClientRect(window);
  cairo_surface_t* surface = cairo_image_surface_create(
      CAIRO_FORMAT_RGB24, std::max(1, client.Width()), std::max(1, client.Height()));
  cairo_t* cr = cairo_create(surface);
  Painted(window, cr);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

std::vector<std::string> GtkPort::PaintLog(WindowId window) {
  GtkWin* w = Find(window);
  if (!w) return {};
  // Drawing is asynchronous here: bring the window's picture up to date first.
  if (w->visible) Repaint(window);
  w = Find(window);
  return w ? w->paintLog : std::vector<std::string>{};
}

bool GtkPort::Screenshot(WindowId window, const std::string& path) {
  GdkWindow* target = nullptr;
  if (window == 0) {
    for (auto& [id, w] : windows_) {
      if (w.visible && gtk_widget_get_mapped(w.toplevel)) WaitForDraw(w, 500);
    }
    // Message boxes and pickers draw on their own schedule; give them a moment.
    Advance(150);
    target = gdk_get_default_root_window();
  } else {
    GtkWin* w = Find(window);
    if (!w || !w->visible) return Fail("window is not visible");
    if (!gtk_widget_get_mapped(w->toplevel)) {
      WaitUntil(
          [this, window] {
            GtkWin* self = Find(window);
            return !self || gtk_widget_get_mapped(self->toplevel);
          },
          1000);
    }
    w = Find(window);
    if (!w) return Fail("window is gone");
    WaitForDraw(*w, 1000);
    target = gtk_widget_get_window(w->toplevel);
  }
  gdk_display_sync(gdk_display_get_default());
  Pump();
  if (!target) return Fail("nothing to capture");
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_window(target, 0, 0, gdk_window_get_width(target),
                                                 gdk_window_get_height(target));
  if (!pixbuf) return Fail("the window could not be read");
  GError* error = nullptr;
  const bool saved = gdk_pixbuf_save(pixbuf, ToUtf8(path).c_str(), "png", &error, nullptr);
  g_object_unref(pixbuf);
  if (!saved) {
    const std::string why = error ? error->message : "unknown error";
    if (error) g_error_free(error);
    return Fail("the screenshot could not be saved: " + why);
  }
  return true;
}

// --- reading back ------------------------------------------------------------------------

std::optional<FontSpec> GtkPort::ControlFont(WindowId window, int controlId) {
  return windows_.ControlFont(window, controlId);
}

std::optional<ImageList> GtkPort::ListImages(WindowId window, int controlId) {
  return windows_.ListImages(window, controlId);
}

CtlColor GtkPort::ControlColor(WindowId window, int controlId) {
  return windows_.ControlColor(window, controlId);
}

// --- styles --------------------------------------------------------------------------------

void GtkPort::SetCss(const std::string& key, std::string rules) {
  cssRules_[key] = std::move(rules);
  ReloadCss();
}

void GtkPort::ReloadCss() {
  // Compact widgets: templates give controls the heights Windows draws them in.
  std::string css =
      ".orvane-dialog { background-color: #f0f0f0; }\n"
      ".orvane-dialog entry { min-height: 0; padding: 0 3px; }\n"
      ".orvane-dialog button { min-height: 0; min-width: 0; padding: 0 4px; }\n"
      ".orvane-dialog combobox button, .orvane-dialog combobox entry"
      " { min-height: 0; padding-top: 0; padding-bottom: 0; }\n"
      ".orvane-dialog checkbutton { min-height: 0; padding: 0; }\n"
      ".orvane-dialog iconview { color: #000000; }\n";
  // Window fonts first, then the rules of single controls, which win.
  for (const auto& [key, rules] : cssRules_) {
    if (key.find("-c") == std::string::npos) css += rules;
  }
  for (const auto& [key, rules] : cssRules_) {
    if (key.find("-c") != std::string::npos) css += rules;
  }
  gtk_css_provider_load_from_data(css_, css.c_str(), -1, nullptr);
}

void GtkPort::Invalidate(WindowId window, const std::optional<Rect>& rect, bool) {
  GtkWin* w = Find(window);
  if (!w) return;
  if (rect) {
    gtk_widget_queue_draw_area(w->layout, rect->left, rect->top, rect->Width(), rect->Height());
  } else {
    gtk_widget_queue_draw(w->layout);
  }
}

void GtkPort::InvalidateControl(WindowId window, int id, bool erase) {
  if (GtkControl* c = FindControl(window, id)) Invalidate(window, c->rect, erase);
}

}  // namespace ui::gtk
