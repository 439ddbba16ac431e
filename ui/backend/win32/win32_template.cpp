#include "ui/backend/win32/win32_template.h"

#include "platform/windows/win32.h"

#include <commctrl.h>

#include "platform/windows/wide_text.h"

namespace ui::win32 {

namespace {

// Atoms of the predefined window classes in a dialog template.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kComboBoxAtom = 0x0085;

class TemplateWriter {
 public:
  void Word(WORD value) { Raw(&value, sizeof(value)); }
  void Dword(DWORD value) { Raw(&value, sizeof(value)); }
  void Short(short value) { Raw(&value, sizeof(value)); }
  void Byte(BYTE value) { bytes_.push_back(value); }
  void Text(const std::wstring& text) {
    for (wchar_t c : text) Word(static_cast<WORD>(c));
    Word(0);
  }
  void Ordinal(WORD value) {
    Word(0xFFFF);
    Word(value);
  }
  void AlignDword() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  void Raw(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
  }
  std::vector<std::uint8_t> bytes_;
};

DWORD CommonControlStyle(std::uint32_t s) {
  DWORD style = WS_CHILD;
  if (!(s & cs::kHidden)) style |= WS_VISIBLE;
  if (s & cs::kDisabled) style |= WS_DISABLED;
  if (s & cs::kTabStop) style |= WS_TABSTOP;
  if (s & cs::kBorder) style |= WS_BORDER;
  if (s & cs::kVScroll) style |= WS_VSCROLL;
  if (s & cs::kHScroll) style |= WS_HSCROLL;
  return style;
}

}  // namespace

std::uint32_t DialogStyle(const DialogTemplate& t) {
  DWORD style = 0;
  if (t.style & ds::kPopup) style |= WS_POPUP;
  if (t.style & ds::kChild) style |= WS_CHILD;
  if (t.style & ds::kVisible) style |= WS_VISIBLE;
  if (t.style & ds::kSysMenu) style |= WS_SYSMENU;
  if (t.style & ds::kCaption) style |= WS_CAPTION;
  if (t.style & ds::kBorder) style |= WS_BORDER;
  if (t.style & ds::kMinimizeBox) style |= WS_MINIMIZEBOX;
  if (t.style & ds::kCenter) style |= DS_CENTER;
  // Always a font of our own: templates without one get the shell's dialog font.
  style |= DS_SETFONT;
  return style;
}

std::uint32_t DialogExStyle(const DialogTemplate& t) {
  DWORD exStyle = 0;
  if (t.style & ds::kAppWindow) exStyle |= WS_EX_APPWINDOW;
  if (t.style & ds::kToolWindow) exStyle |= WS_EX_TOOLWINDOW;
  if (t.style & ds::kTopmost) exStyle |= WS_EX_TOPMOST;
  return exStyle;
}

std::uint32_t ControlStyle(const ControlTemplate& c) {
  DWORD style = CommonControlStyle(c.style);
  const std::uint32_t s = c.style;
  switch (c.kind) {
    case ControlKind::Static:
      style |= (s & cs::kRight) ? SS_RIGHT : (s & cs::kCenter) ? SS_CENTER : SS_LEFT;
      if (s & cs::kNotify) style |= SS_NOTIFY;
      break;
    case ControlKind::Bitmap:
      style |= SS_BITMAP;
      if (s & cs::kNotify) style |= SS_NOTIFY;
      break;
    case ControlKind::WebView:
      // Holds the browser control, which draws over it; where there is none
      // it stands in, shows where the page would go and keeps the mouse as
      // the browser would.
      style |= SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS | SS_NOTIFY | WS_CLIPCHILDREN;
      break;
    case ControlKind::Button:
      style |= (s & cs::kDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      if (s & cs::kFlat) style |= BS_FLAT;
      break;
    case ControlKind::CheckBox:
      style |= BS_AUTOCHECKBOX;
      break;
    case ControlKind::GroupBox:
      style |= BS_GROUPBOX;
      break;
    case ControlKind::Edit:
      style |= (s & cs::kRight) ? ES_RIGHT : (s & cs::kCenter) ? ES_CENTER : ES_LEFT;
      if (s & cs::kMultiline) style |= ES_MULTILINE;
      if (s & cs::kWantReturn) style |= ES_WANTRETURN;
      if (s & cs::kPassword) style |= ES_PASSWORD;
      if (s & cs::kReadOnly) style |= ES_READONLY;
      if (s & cs::kNumber) style |= ES_NUMBER;
      if (s & cs::kAutoHScroll) style |= ES_AUTOHSCROLL;
      if (s & cs::kAutoVScroll) style |= ES_AUTOVSCROLL;
      break;
    case ControlKind::ComboBox:
      style |= (s & cs::kDropDown) ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST;
      break;
    case ControlKind::ListView:
      style |= (s & cs::kReportView) ? LVS_REPORT : LVS_ICON;
      if (s & cs::kSingleSel) style |= LVS_SINGLESEL;
      style |= LVS_SHOWSELALWAYS | LVS_AUTOARRANGE;
      break;
  }
  return style;
}

std::vector<std::uint8_t> BuildDialogTemplate(const DialogTemplate& t) {
  using platform::windows::Wide;
  TemplateWriter w;
  w.Word(1);       // dlgVer
  w.Word(0xFFFF);  // signature: DLGTEMPLATEEX
  w.Dword(0);      // helpID
  w.Dword(DialogExStyle(t));
  w.Dword(DialogStyle(t));
  w.Word(static_cast<WORD>(t.controls.size()));
  w.Short(0);
  w.Short(0);
  w.Short(static_cast<short>(t.width));
  w.Short(static_cast<short>(t.height));
  w.Word(0);  // no menu
  w.Word(0);  // the dialog class
  w.Text(Wide(t.caption));
  w.Word(static_cast<WORD>(t.fontFace.empty() ? 9 : t.fontPoints));
  w.Word(FW_NORMAL);
  w.Byte(FALSE);  // italic
  w.Byte(DEFAULT_CHARSET);
  w.Text(t.fontFace.empty() ? std::wstring(L"MS Shell Dlg") : Wide(t.fontFace));
  for (const ControlTemplate& c : t.controls) {
    w.AlignDword();
    w.Dword(0);  // helpID
    w.Dword(0);  // exStyle
    w.Dword(ControlStyle(c));
    w.Short(static_cast<short>(c.rect.x));
    w.Short(static_cast<short>(c.rect.y));
    w.Short(static_cast<short>(c.rect.w));
    w.Short(static_cast<short>(c.rect.h));
    w.Dword(static_cast<DWORD>(c.id));
    switch (c.kind) {
      case ControlKind::Static:
      case ControlKind::Bitmap:
      case ControlKind::WebView:
        w.Ordinal(kStaticAtom);
        break;
      case ControlKind::Button:
      case ControlKind::CheckBox:
      case ControlKind::GroupBox:
        w.Ordinal(kButtonAtom);
        break;
      case ControlKind::Edit:
        w.Ordinal(kEditAtom);
        break;
      case ControlKind::ComboBox:
        w.Ordinal(kComboBoxAtom);
        break;
      case ControlKind::ListView:
        w.Text(WC_LISTVIEWW);
        break;
    }
    if (c.kind == ControlKind::Bitmap && c.resource > 0) {
      w.Ordinal(static_cast<WORD>(c.resource));
    } else if (c.kind == ControlKind::ComboBox || c.kind == ControlKind::ListView ||
               c.kind == ControlKind::WebView) {
      w.Text(L"");
    } else {
      w.Text(Wide(c.text));
    }
    w.Word(0);  // no creation data
  }
  return w.Take();
}

}  // namespace ui::win32
