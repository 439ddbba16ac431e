#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/geometry.h"

namespace ui {

struct FontSpec {
  std::string face;  // GBK
  int height = 0;    // LOGFONT height: positive is cell height, negative character height
  int weight = 0;
  bool operator==(const FontSpec&) const = default;
};

// 0x00BBGGRR, as Windows keeps colours.
using Color = std::uint32_t;
constexpr Color Rgb(int r, int g, int b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}

// An image list of icons for a list view.
struct ImageList {
  int cx = 32;
  int cy = 32;
  std::vector<int> iconResources;  // one icon resource id per image, in order
  bool operator==(const ImageList&) const = default;
};

// Drawing during OnPaint.
class PaintContext {
 public:
  virtual ~PaintContext() = default;
  virtual Rect ClientRect() const = 0;
  // Stretches the whole bitmap resource over `dest` (StretchBlt, SRCCOPY);
  // false when the bitmap is missing.
  virtual bool StretchBitmap(int bitmapId, const Rect& dest) = 0;
  virtual void DrawIcon(int iconId, Point at) = 0;
  virtual void FillRect(const Rect& rect, Color color) = 0;
};

}  // namespace ui
