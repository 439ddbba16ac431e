#pragma once

namespace ui {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle as Windows keeps it: right and bottom lie just outside.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  static Rect FromSize(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace ui
