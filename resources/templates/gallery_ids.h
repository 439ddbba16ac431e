#pragma once

// Template and control ids of the gallery of controls.
namespace gallery {

// Outside the program's numbered range.
constexpr int kTemplate = 90;

constexpr int kCloseIcon = 1000;
constexpr int kTitle = 1001;
constexpr int kClickLabel = 1002;
constexpr int kStatus = 1003;
constexpr int kAskButton = 1004;
constexpr int kTick = 1005;
constexpr int kLine = 1006;
constexpr int kLines = 1007;
constexpr int kPassword = 1008;
constexpr int kChoices = 1009;
constexpr int kCities = 1010;
constexpr int kIcons = 1011;
constexpr int kRows = 1012;
constexpr int kWeb = 1013;
constexpr int kDone = 1014;

}  // namespace gallery
