// Painting, repainting and screenshots.
#include "ui/backend/win32/win32_port.h"

#include <algorithm>

namespace ui::win32 {

namespace {

// Drawing on a window's paint DC; each operation is also written to the log the
// driver reads back and kept for drawing it again.
class GdiPaint : public PaintContext {
 public:
  GdiPaint(Win32Port& port, HDC dc, Rect client, std::vector<std::string>& log,
           std::vector<PaintOp>& ops)
      : port_(port), dc_(dc), client_(client), log_(log), ops_(ops) {}
  Rect ClientRect() const override { return client_; }
  bool StretchBitmap(int bitmapId, const Rect& dest) override {
    HBITMAP bitmap = port_.Bitmap(bitmapId);
    if (!bitmap) return false;
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    HDC memory = CreateCompatibleDC(dc_);
    HGDIOBJ old = SelectObject(memory, bitmap);
    StretchBlt(dc_, dest.left, dest.top, dest.Width(), dest.Height(), memory, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    log_.push_back(common::PaintBitmapLine(bitmapId, dest));
    ops_.push_back({PaintOp::Kind::Bitmap, bitmapId, dest, 0});
    return true;
  }
  void DrawIcon(int iconId, Point at) override {
    const int size = GetSystemMetrics(SM_CXICON);
    if (HICON icon = port_.Icon(iconId, size)) {
      DrawIconEx(dc_, at.x, at.y, icon, size, size, 0, nullptr, DI_NORMAL);
    }
    log_.push_back(common::PaintIconLine(iconId, at));
    ops_.push_back({PaintOp::Kind::Icon, iconId, Rect{at.x, at.y, at.x, at.y}, 0});
  }
  void FillRect(const Rect& rect, Color color) override {
    HBRUSH brush = CreateSolidBrush(color);
    const RECT r{rect.left, rect.top, rect.right, rect.bottom};
    ::FillRect(dc_, &r, brush);
    DeleteObject(brush);
    log_.push_back(common::PaintFillLine(rect, color));
    ops_.push_back({PaintOp::Kind::Fill, 0, rect, color});
  }

 private:
  Win32Port& port_;
  HDC dc_;
  Rect client_;
  std::vector<std::string>& log_;
  std::vector<PaintOp>& ops_;
};

}  // namespace

void Win32Port::Paint(Win32Window& w) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w.hwnd, &ps);
  RECT client;
  ::GetClientRect(w.hwnd, &client);
  std::vector<std::string> log;
  std::vector<PaintOp> ops;
  GdiPaint paint(*this, dc, Rect{client.left, client.top, client.right, client.bottom}, log, ops);
  const WindowId id = w.id;
  HWND hwnd = w.hwnd;
  if (w.client) w.client->HandlePaint(paint);
  EndPaint(hwnd, &ps);
  if (Win32Window* still = Find(id)) {
    still->paintLog = std::move(log);
    still->paintOps = std::move(ops);
  }
}

// A themed check box or button draws its parent's background under itself
// (DrawThemeParentBackground): the page's skin, not the dialog's grey, so
// that controls with the hollow brush show the page through them.
void Win32Port::PrintClient(const Win32Window& w, HDC dc) {
  RECT client;
  ::GetClientRect(w.hwnd, &client);
  std::vector<std::string> log;
  std::vector<PaintOp> ops;
  GdiPaint paint(*this, dc, Rect{client.left, client.top, client.right, client.bottom}, log, ops);
  for (const PaintOp& op : w.paintOps) {
    switch (op.kind) {
      case PaintOp::Kind::Bitmap:
        paint.StretchBitmap(op.resource, op.rect);
        break;
      case PaintOp::Kind::Icon:
        paint.DrawIcon(op.resource, {op.rect.left, op.rect.top});
        break;
      case PaintOp::Kind::Fill:
        paint.FillRect(op.rect, op.color);
        break;
    }
  }
}

void Win32Port::Repaint(WindowId window) {
  if (HWND hwnd = Hwnd(window)) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
}

std::vector<std::string> Win32Port::PaintLog(WindowId window) {
  return windows_.PaintLog(window);
}

bool Win32Port::Screenshot(WindowId window, const std::string& path) {
  Pump();
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (window) {
    HWND hwnd = Hwnd(window);
    if (!hwnd) return false;
    ::GetWindowRect(hwnd, &area);
  }
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (dib) {
    HGDIOBJ old = SelectObject(memory, dib);
    ok = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, old);
    if (ok) {
      const int stride = (width * 3 + 3) & ~3;
      std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * 3 * height);
      for (int y = 0; y < height; ++y) {
        std::copy_n(static_cast<const std::uint8_t*>(bits) + static_cast<std::size_t>(y) * stride,
                    width * 3, bgr.begin() + static_cast<std::ptrdiff_t>(y) * width * 3);
      }
      ok = WritePng(W(path), width, height, bgr);
    }
    DeleteObject(dib);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

void Win32Port::Invalidate(WindowId window, const std::optional<Rect>& rect, bool erase) {
  HWND hwnd = Hwnd(window);
  if (!hwnd) return;
  if (rect) {
    const RECT r{rect->left, rect->top, rect->right, rect->bottom};
    InvalidateRect(hwnd, &r, erase);
  } else {
    InvalidateRect(hwnd, nullptr, erase);
  }
}

void Win32Port::InvalidateControl(WindowId window, int id, bool erase) {
  HWND hwnd = Hwnd(window);
  HWND control = ControlHwnd(window, id);
  if (!hwnd || !control) return;
  RECT r;
  ::GetWindowRect(control, &r);
  MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
  InvalidateRect(hwnd, &r, erase);
}

}  // namespace ui::win32
