#pragma once

// Template and control ids of the settings, registration and feedback pages,
// shared by their templates and their pages.
namespace account {

// The settings page.
constexpr int kConfigTemplate = 144;
constexpr int kConfigStartAtLogOn = 1057;  // "开机启动"
constexpr int kConfigSyncTasks = 1078;     // "网络同步"
constexpr int kConfigAutoSignIn = 1100;    // "自动登陆"
constexpr int kConfigAutoUpdate = 1099;    // "自动更新"
constexpr int kConfigSave = 1070;
constexpr int kConfigBack = 1071;
constexpr int kConfigVersionLine = 1113;

// The registration page.
constexpr int kMemberTemplate = 141;
constexpr int kMemberEmail = 1049;
constexpr int kMemberPassword = 1043;
constexpr int kMemberPasswordAgain = 1051;
constexpr int kMemberNickname = 1052;
constexpr int kMemberSex = 1053;
constexpr int kMemberQq = 1054;
constexpr int kMemberRegister = 1005;
constexpr int kMemberBack = 1056;
constexpr int kMemberEmailLabel = 1058;
constexpr int kMemberPasswordLabel = 1059;
constexpr int kMemberPasswordAgainLabel = 1060;
constexpr int kMemberNicknameLabel = 1061;
constexpr int kMemberSexLabel = 1062;
constexpr int kMemberQqLabel = 1063;
constexpr int kMemberScanCode = 1141;
constexpr int kMemberScanCodeBitmap = 183;
// The three lines under the scan code.
constexpr int kMemberScanLine1 = 1142;
constexpr int kMemberScanLine2 = 1143;
constexpr int kMemberScanLine3 = 1144;

// The feedback page.
constexpr int kComplainTemplate = 152;
constexpr int kComplainName = 1081;
constexpr int kComplainEmail = 1049;
constexpr int kComplainMessage = 1088;
constexpr int kComplainSubmit = 1083;
constexpr int kComplainBack = 1090;
constexpr int kComplainNameLabel = 1084;
constexpr int kComplainEmailLabel = 1085;
constexpr int kComplainMessageLabel = 1087;
// The message box takes this many bytes at most.
constexpr int kComplainMessageLimit = 200;

}  // namespace account
