#include "resources/templates/web_ids.h"
#include "ui/dialog_template.h"

namespace resources {

using namespace ui;
using namespace online;

void RegisterTemplateGroup_web() {
  // 145: the browser page, captioned, maximised when it opens.
  DialogTemplate browser;
  browser.id = kBrowserTemplate;
  browser.width = 400;
  browser.height = 260;
  browser.style = ds::kPopup | ds::kCaption | ds::kSysMenu | ds::kBorder | ds::kAppWindow;
  browser.caption = "Orvane";
  browser.fontFace = "微软雅黑";
  browser.controls = {{kBrowserView, ControlKind::WebView, "", {0, 0, 400, 260}, 0}};
  RegisterTemplate(std::move(browser));

  // 156: the navigation bar, five pictures on bitmap 166.
  constexpr std::uint32_t kPicture = cs::kNotify;
  DialogTemplate bar;
  bar.id = kNavBarTemplate;
  bar.width = 75;
  bar.height = 15;
  bar.style = ds::kPopup | ds::kToolWindow;
  bar.fontFace = "微软雅黑";
  // clang-format off
  bar.controls = {
      {kNavBarStop,    ControlKind::Bitmap, "", {60, 1, 12, 12}, kPicture | cs::kHidden, kNavBarStopBitmap},
      {kNavBarHome,    ControlKind::Bitmap, "", {4, 1, 12, 12},  kPicture, kNavBarHomeBitmap},
      {kNavBarBack,    ControlKind::Bitmap, "", {18, 1, 12, 12}, kPicture, kNavBarBackBitmap},
      {kNavBarRefresh, ControlKind::Bitmap, "", {32, 1, 12, 12}, kPicture, kNavBarRefreshBitmap},
      {kNavBarForward, ControlKind::Bitmap, "", {46, 1, 12, 12}, kPicture, kNavBarForwardBitmap},
  };
  // clang-format on
  RegisterTemplate(std::move(bar));

  // 153: the advertisement window, no caption; the close icon in the corner.
  DialogTemplate ad;
  ad.id = kAdTemplate;
  ad.width = 150;
  ad.height = 90;
  ad.style = ds::kPopup | ds::kToolWindow;
  ad.fontFace = "微软雅黑";
  ad.controls = {
      {kAdView, ControlKind::WebView, "", {0, 0, 150, 90}, 0},
      {kAdClose, ControlKind::Bitmap, "", {140, 0, 10, 10}, cs::kNotify, kAdCloseBitmap},
  };
  RegisterTemplate(std::move(ad));
}

}  // namespace resources
