#pragma once

// Template, control and bitmap ids of the browser page, its navigation bar
// and the advertisement window, shared by their templates and their classes.
namespace online {

// The browser page: one web view filling the client area.
constexpr int kBrowserTemplate = 145;
constexpr int kBrowserView = 1077;

// The navigation bar over a navigation page.
constexpr int kNavBarTemplate = 156;
constexpr int kNavBarStop = 1101;  // hidden
constexpr int kNavBarHome = 1102;
constexpr int kNavBarBack = 1103;
constexpr int kNavBarRefresh = 1104;
constexpr int kNavBarForward = 1105;
constexpr int kNavBarBackBitmap = 159;
constexpr int kNavBarForwardBitmap = 160;
constexpr int kNavBarStopBitmap = 161;
constexpr int kNavBarHomeBitmap = 162;
constexpr int kNavBarRefreshBitmap = 163;
constexpr int kNavBarBackground = 166;

// The advertisement window.
constexpr int kAdTemplate = 153;
constexpr int kAdView = 1092;
constexpr int kAdClose = 1093;
constexpr int kAdCloseBitmap = 130;

}  // namespace online
