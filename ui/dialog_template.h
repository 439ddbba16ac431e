#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ui {

enum class ControlKind {
  Static,    // text label
  Bitmap,    // static showing a bitmap resource
  Button,    // push button
  CheckBox,  // auto check box
  Edit,
  ComboBox,
  ListView,
  WebView,
  GroupBox,
};

// Control styles, one bit each; the backends translate them to their own.
namespace cs {
constexpr std::uint32_t kNotify = 1u << 0;      // statics: report clicks (SS_NOTIFY)
constexpr std::uint32_t kRight = 1u << 1;       // right-aligned text
constexpr std::uint32_t kCenter = 1u << 2;      // centred text
constexpr std::uint32_t kMultiline = 1u << 3;   // edit: several lines
constexpr std::uint32_t kWantReturn = 1u << 4;  // edit: Enter inserts a line break
constexpr std::uint32_t kPassword = 1u << 5;    // edit: shows bullets
constexpr std::uint32_t kReadOnly = 1u << 6;
constexpr std::uint32_t kNumber = 1u << 7;       // edit: digits only
constexpr std::uint32_t kDropList = 1u << 8;     // combo: choose only
constexpr std::uint32_t kDropDown = 1u << 9;     // combo: editable
constexpr std::uint32_t kIconView = 1u << 10;    // list view: large icons
constexpr std::uint32_t kReportView = 1u << 11;  // list view: rows and columns
constexpr std::uint32_t kSingleSel = 1u << 12;
constexpr std::uint32_t kTransparent = 1u << 13;  // list view: no background of its own
constexpr std::uint32_t kDefault = 1u << 14;      // push button: the default button
constexpr std::uint32_t kHidden = 1u << 15;       // not visible at start
constexpr std::uint32_t kDisabled = 1u << 16;     // disabled at start
constexpr std::uint32_t kBorder = 1u << 17;
constexpr std::uint32_t kVScroll = 1u << 18;
constexpr std::uint32_t kHScroll = 1u << 19;
constexpr std::uint32_t kAutoHScroll = 1u << 20;
constexpr std::uint32_t kAutoVScroll = 1u << 21;
constexpr std::uint32_t kTabStop = 1u << 22;
constexpr std::uint32_t kFlat = 1u << 23;  // push button drawn flat
}  // namespace cs

// Dialog styles.
namespace ds {
constexpr std::uint32_t kPopup = 1u << 0;    // WS_POPUP: no caption, no border
constexpr std::uint32_t kVisible = 1u << 1;  // WS_VISIBLE: shown when made
constexpr std::uint32_t kSysMenu = 1u << 2;
constexpr std::uint32_t kCaption = 1u << 3;  // title bar
constexpr std::uint32_t kBorder = 1u << 4;
constexpr std::uint32_t kCenter = 1u << 5;      // DS_CENTER
constexpr std::uint32_t kAppWindow = 1u << 6;   // WS_EX_APPWINDOW: on the task bar
constexpr std::uint32_t kToolWindow = 1u << 7;  // WS_EX_TOOLWINDOW: not on the task bar
constexpr std::uint32_t kTopmost = 1u << 8;     // WS_EX_TOPMOST
constexpr std::uint32_t kChild = 1u << 9;       // WS_CHILD
constexpr std::uint32_t kMinimizeBox = 1u << 10;
}  // namespace ds

// A rectangle in dialog units: x, y, width, height.
struct DluRect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
};

struct ControlTemplate {
  int id = 0;
  ControlKind kind = ControlKind::Static;
  std::string text;  // GBK
  DluRect rect;
  std::uint32_t style = 0;  // cs:: bits
  int resource = 0;         // bitmap id of a Bitmap control
};

struct DialogTemplate {
  int id = 0;
  int width = 0;            // dialog units
  int height = 0;           // dialog units
  std::uint32_t style = 0;  // ds:: bits
  std::string caption;      // GBK
  std::string fontFace;     // GBK
  int fontPoints = 9;
  std::vector<ControlTemplate> controls;

  const ControlTemplate* FindControl(int controlId) const;
};

// Pixels per dialog unit on every backend that lays out by itself: a page of
// 226 x 147 units covers the 450 x 290 background.
constexpr int kPixelsPerDluX = 2;
constexpr int kPixelsPerDluY = 2;

// Templates are registered once, by id, by the resources module.
void RegisterTemplate(DialogTemplate dialogTemplate);
const DialogTemplate* FindTemplate(int templateId);

}  // namespace ui
