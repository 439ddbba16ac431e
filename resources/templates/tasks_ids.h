#pragma once

// Template and control ids of the timed tasks' windows, shared by their
// templates and their pages.
namespace tasks {

constexpr int kDesktopTemplate = 134;
constexpr int kBannerTextControl = 1036;

constexpr int kPromptTemplate = 135;
constexpr int kPromptTextControl = 1037;
constexpr int kPromptButton = 1040;

// The task editor.
constexpr int kEditTemplate = 133;
constexpr int kEditDateLine = 1011;
constexpr int kEditSignInBox = 1023;
constexpr int kEditModeBox = 1020;
constexpr int kEditActionBox = 1021;
constexpr int kEditOperationBox = 1022;
constexpr int kEditHoursBox = 1024;
constexpr int kEditHoursUnit = 1108;
constexpr int kEditMinutesBox = 1025;
constexpr int kEditMinutesUnit = 1109;
constexpr int kEditParameterLabel = 1110;
constexpr int kEditParameterText = 1029;
constexpr int kEditRingBox = 1032;
constexpr int kEditSaveButton = 1030;
constexpr int kEditBackButton = 1034;
constexpr int kEditStatusLine = 1044;
constexpr int kEditSyncBox = 1079;
constexpr int kEditStopBox = 1099;

// The task list.
constexpr int kListTemplate = 140;
constexpr int kListView = 1045;
constexpr int kListHint = 1091;
constexpr int kListSyncDeleteBox = 1099;
constexpr int kListSyncNote = 1092;
constexpr int kListBackButton = 1048;

}  // namespace tasks
