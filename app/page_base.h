#pragma once
#include <optional>
#include <string_view>
#include <vector>

#include "ui/dialog.h"

namespace app {

// Bitmap 142: the picture every page is painted with.
constexpr int kPageBackgroundBitmap = 142;

// True for systems before major version 6, which lack the page font: pages
// fall back to "宋体" there. The version is judged as a number, so that "10"
// counts as new although it sorts below "6" as text.
bool IsOldWindows(std::string_view osMajorVersion);

// What every page shares: the skinned background, the fallback font on old
// systems, labels drawn straight onto the background, moving the page by
// dragging its background, and Escape and Enter that neither close nor
// confirm it. Pages derive from it and name only their own controls.
class PageBase : public ui::Dialog {
 public:
  PageBase(int templateId, ui::Dialog* parent);

  // How many times this page made its fallback font (at most once).
  int FallbackFontsMade() const { return fontsMade_; }

 protected:
  // The controls that receive the fallback font on old systems.
  void SetFallbackFontControls(std::vector<int> controls) { fontControls_ = std::move(controls); }
  // Labels drawn without a background: `keepMode` keep the text background
  // mode, `transparent` draw their text transparently.
  void SetLabelColors(std::vector<int> keepMode, std::vector<int> transparent) {
    keepModeLabels_ = std::move(keepMode);
    transparentLabels_ = std::move(transparent);
  }

  void OnPaint(ui::PaintContext& paint) override;
  ui::CtlColor OnCtlColor(int controlId) override;
  void OnLButtonDown(ui::Point point) override;
  bool PreTranslateMessage(const ui::Message& message) override;

  // Shared handlers for message maps.
  void OnBack() { OnCancel(); }
  void OnNothing() {}

  // Paints the background and applies the fallback font; pages that draw
  // something else first (the main window's icon) call it themselves.
  void PaintSkin(ui::PaintContext& paint);

 private:
  std::vector<int> fontControls_;
  std::vector<int> keepModeLabels_;
  std::vector<int> transparentLabels_;
  std::optional<ui::FontSpec> oldWindowsFont_;
  int fontsMade_ = 0;
};

}  // namespace app
