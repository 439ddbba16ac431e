#pragma once
#include <cstdint>

#include "ui/geometry.h"

// Message, notification and key numbers. They keep the values the Windows
// headers give them, so page code reads the same on every backend.
namespace ui {

namespace msg {
constexpr std::uint32_t kSize = 0x0005;  // wParam: kind (0 restored, 1 minimised, 2 maximised)
constexpr std::uint32_t kClose = 0x0010;
constexpr std::uint32_t kPaint = 0x000F;
constexpr std::uint32_t kNcLButtonDown = 0x00A1;
constexpr std::uint32_t kKeyDown = 0x0100;
constexpr std::uint32_t kChar = 0x0102;
constexpr std::uint32_t kInitDialog = 0x0110;
constexpr std::uint32_t kCommand = 0x0111;
constexpr std::uint32_t kSysCommand = 0x0112;
constexpr std::uint32_t kTimer = 0x0113;
constexpr std::uint32_t kNotify = 0x004E;
constexpr std::uint32_t kMouseMove = 0x0200;
constexpr std::uint32_t kLButtonDown = 0x0201;
constexpr std::uint32_t kLButtonUp = 0x0202;
constexpr std::uint32_t kLButtonDblClk = 0x0203;
constexpr std::uint32_t kRButtonDown = 0x0204;
constexpr std::uint32_t kRButtonUp = 0x0205;
constexpr std::uint32_t kRButtonDblClk = 0x0206;
constexpr std::uint32_t kUser = 0x0400;
}  // namespace msg

// Hit-test code for WM_NCLBUTTONDOWN: the caption, which starts a window move.
constexpr std::uintptr_t kHitCaption = 2;

// System commands (WM_SYSCOMMAND wParam).
namespace syscmd {
constexpr std::uint32_t kMinimize = 0xF020;
constexpr std::uint32_t kMaximize = 0xF030;
constexpr std::uint32_t kClose = 0xF060;
constexpr std::uint32_t kRestore = 0xF120;
}  // namespace syscmd

// Notification codes (WM_COMMAND high word, or WM_NOTIFY code).
namespace notify {
constexpr int kClicked = 0;          // BN_CLICKED, STN_CLICKED
constexpr int kDoubleClicked = 5;    // BN_DOUBLECLICKED, STN_DBLCLK
constexpr int kEditChange = 0x0300;  // EN_CHANGE
constexpr int kComboSelChange = 1;   // CBN_SELCHANGE
constexpr int kComboEditChange = 5;  // CBN_EDITCHANGE
constexpr int kComboCloseUp = 8;     // CBN_CLOSEUP
constexpr int kClick = -2;           // NM_CLICK
constexpr int kDblClick = -3;        // NM_DBLCLK
constexpr int kRClick = -5;          // NM_RCLICK
constexpr int kItemChanged = -101;   // LVN_ITEMCHANGED
// Web view events (our own numbers, above the Windows ranges).
constexpr int kWebBeforeNavigate = 0x7001;
constexpr int kWebNewWindow = 0x7002;
constexpr int kWebDocumentComplete = 0x7003;
}  // namespace notify

// Command ids of the standard buttons; also message box results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

namespace key {
constexpr int kReturn = 0x0D;
constexpr int kEscape = 0x1B;
constexpr int kTab = 0x09;
constexpr int kApps = 0x5D;  // the context-menu key
constexpr int kA = 'A';
}  // namespace key

// Modifier keys held during a key press.
namespace mod {
constexpr unsigned kNone = 0;
constexpr unsigned kCtrl = 1;
constexpr unsigned kShift = 2;
constexpr unsigned kAlt = 4;
}  // namespace mod

// One window message as a handler or PreTranslateMessage sees it.
struct Message {
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  int controlId = 0;       // the control the message is aimed at (0: the dialog)
  unsigned modifiers = 0;  // key messages: mod:: bits held
  Point point;             // mouse messages: client coordinates
};

// A control notification (WM_COMMAND or WM_NOTIFY), with the list-view fields
// of NMITEMACTIVATE where they apply.
struct Notification {
  int code = 0;
  int controlId = 0;
  int item = -1;
  int subItem = 0;
  Point point;
  const char* url = nullptr;  // web view events: the address (GBK)
  bool* cancel = nullptr;     // web view events: set to true to stop the navigation
};

// What a page's WM_CTLCOLOR handler returns for one control.
struct CtlColor {
  bool hollowBrush = false;      // draw no background (NULL_BRUSH)
  bool transparentText = false;  // text background mode TRANSPARENT
  friend bool operator==(const CtlColor&, const CtlColor&) = default;
};

namespace mb {
// Buttons.
constexpr unsigned kOk = 0x0;
constexpr unsigned kOkCancel = 0x1;
constexpr unsigned kYesNo = 0x4;
// Icons.
constexpr unsigned kIconError = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconWarning = 0x30;
constexpr unsigned kIconInformation = 0x40;
constexpr unsigned kTopmost = 0x40000;

constexpr unsigned kButtonsMask = 0xF;
constexpr unsigned kIconMask = 0xF0;
}  // namespace mb

enum class ShowCommand { Hide, Show, ShowNormal, Restore, Minimize, ShowNoActivate, Maximize };

// WM_SIZE: the kinds of size change, and the new client size packed as
// Windows packs it (width in the low word, height in the high word).
namespace sizekind {
constexpr std::uintptr_t kRestored = 0;
constexpr std::uintptr_t kMinimized = 1;
constexpr std::uintptr_t kMaximized = 2;
}  // namespace sizekind
constexpr std::intptr_t PackSize(int width, int height) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(height & 0xFFFF) << 16) |
                                    static_cast<std::uint32_t>(width & 0xFFFF));
}
constexpr int SizeWidth(std::intptr_t lParam) {
  return static_cast<int>(lParam & 0xFFFF);
}
constexpr int SizeHeight(std::intptr_t lParam) {
  return static_cast<int>((lParam >> 16) & 0xFFFF);
}

}  // namespace ui
