// Painting: each paint is recorded as lines the driver reads back.
#include "ui/backend/headless/headless_backend.h"

namespace ui::headless {

namespace {

class RecordingPaint : public PaintContext {
 public:
  RecordingPaint(Rect client, std::vector<std::string>& log) : client_(client), log_(log) {}
  Rect ClientRect() const override { return client_; }
  bool StretchBitmap(int bitmapId, const Rect& dest) override {
    log_.push_back(common::PaintBitmapLine(bitmapId, dest));
    return true;
  }
  void DrawIcon(int iconId, Point at) override {
    log_.push_back(common::PaintIconLine(iconId, at));
  }
  void FillRect(const Rect& rect, Color color) override {
    log_.push_back(common::PaintFillLine(rect, color));
  }

 private:
  Rect client_;
  std::vector<std::string>& log_;
};

}  // namespace

void HeadlessBackend::Invalidate(WindowId window, const std::optional<Rect>&, bool) {
  if (Window* w = Find(window)) w->dirty = true;
}

void HeadlessBackend::PaintWindow(WindowId window, Window& w) {
  w.dirty = false;
  if (!w.client) return;
  std::vector<std::string> log;
  RecordingPaint paint(GetClientRect(window), log);
  w.client->HandlePaint(paint);
  if (Window* still = Find(window)) still->paintLog = std::move(log);
}

void HeadlessBackend::Repaint(WindowId window) {
  if (Window* w = Find(window)) PaintWindow(window, *w);
}

std::vector<std::string> HeadlessBackend::PaintLog(WindowId window) {
  return windows_.PaintLog(window);
}

bool HeadlessBackend::Screenshot(WindowId, const std::string&) {
  return false;
}

void HeadlessBackend::InvalidateControl(WindowId window, int, bool) {
  if (Window* w = Find(window)) w->dirty = true;
}

}  // namespace ui::headless
