#pragma once

// Template and control ids of the main window and the about box, shared by
// their templates and their classes.
namespace app {

constexpr int kAboutTemplate = 100;
constexpr int kAboutLogo = 1101;
constexpr int kAboutVersion = 1102;
constexpr int kAboutCopyright = 1103;

constexpr int kMainTemplate = 102;
constexpr int kMainCloseIcon = 1000;
constexpr int kMainTrayIcon = 1064;  // sends the window to the notification area
constexpr int kMainLogo = 1095;
constexpr int kMainUserCaption = 1066;  // "用户名："
constexpr int kMainUserLabel = 1065;    // nickname, or the sign-in link
constexpr int kMainPointsCaption = 1068;
constexpr int kMainPointsLabel = 1067;
constexpr int kNavigationList = 1010;

// Resources the main window shows.
constexpr int kAppIcon = 128;
constexpr int kTaskIcon = 151;  // every navigation entry and the notification-area icon
constexpr int kToTrayBitmap = 143;

}  // namespace app
