#pragma once

// Template and control ids of the tools page and the three batch tool pages,
// shared by their templates and their pages.
namespace tools {

constexpr int kGadgetsTemplate = 166;
constexpr int kReplaceTemplate = 173;
constexpr int kDownloadTemplate = 174;
constexpr int kExtractTemplate = 175;

// Every tools page.
constexpr int kBackButton = 1111;

namespace gadgets {
constexpr int kToolList = 1112;
constexpr int kToolIcon = 151;
}  // namespace gadgets

// Controls the batch pages share, each at its own place.
constexpr int kFolderEdit = 1124;
constexpr int kFolderButton = 1127;
constexpr int kFormatEdit = 1128;
constexpr int kStatusLabel = 1132;
// The download and extract pages' save folder.
constexpr int kSaveFolderEdit = 1125;

namespace replace {
constexpr int kModeList = 1057;
constexpr int kKeywordEdit = 1129;
constexpr int kEndMarkerLabel = 1130;
constexpr int kEndMarkerEdit = 1131;
constexpr int kReplacementEdit = 1088;
constexpr int kStartButton = 1112;
// The keyword field's heights in pixels: alone, and above the end-marker row.
constexpr int kKeywordTallHeight = 77;
constexpr int kKeywordShortHeight = 32;
}  // namespace replace

namespace download {
constexpr int kSaveFolderButton = 1133;
constexpr int kModeList = 1135;
constexpr int kStartMarkerEdit = 1129;
constexpr int kEndMarkerLabel = 1130;
constexpr int kEndMarkerEdit = 1131;
constexpr int kUrlEdit = 1136;
constexpr int kIntervalEdit = 1138;
constexpr int kCheckDuplicate = 1099;
constexpr int kStartButton = 1137;
}  // namespace download

namespace extract {
// Start and end marker of pair n (0 to 3): kFirstMarker + 2n and + 2n + 1.
constexpr int kFirstMarker = 1139;
constexpr int kTemplateEdit = 1088;
constexpr int kSaveFolderButton = 1129;
constexpr int kSaveFileEdit = 1135;
constexpr int kContain = 1100;
constexpr int kCheckDuplicate = 1099;
constexpr int kAutoLine = 1101;
constexpr int kEachIdentifier = 1102;
constexpr int kEachFile = 1103;
constexpr int kStartButton = 1138;
}  // namespace extract

}  // namespace tools
