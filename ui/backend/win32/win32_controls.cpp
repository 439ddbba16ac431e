// Controls: their set-up, state and contents, and the text at their edge.
#include "platform/text_codec.h"
#include "platform/windows/wide_text.h"
#include "ui/backend/win32/win32_port.h"

#include <algorithm>

namespace ui::win32 {

namespace {

// A quiet span: programmatic changes are not the user's typing.
class Quiet {
 public:
  explicit Quiet(int& counter) : counter_(counter) { ++counter_; }
  ~Quiet() { --counter_; }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;

 private:
  int& counter_;
};

}  // namespace

std::wstring W(std::string_view gbk) {
  return platform::windows::Wide(gbk);
}
std::string N(std::wstring_view utf16) {
  return platform::windows::Narrow(utf16);
}

int Utf16Before(std::string_view gbk, int byteOffset) {
  const std::size_t end = std::min<std::size_t>(static_cast<std::size_t>(byteOffset), gbk.size());
  return static_cast<int>(text::GbkToUtf16(gbk.substr(0, end)).size());
}

int GbkBytesBefore(std::string_view gbk, int utf16Offset) {
  const std::u16string wide = text::GbkToUtf16(gbk);
  const std::size_t end = std::min<std::size_t>(static_cast<std::size_t>(utf16Offset), wide.size());
  return static_cast<int>(text::Utf16ToGbk(wide.substr(0, end)).size());
}

std::string WindowTextOf(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, buffer.data(), length + 1);
  buffer.resize(static_cast<std::size_t>(std::max(got, 0)));
  return N(buffer);
}

void Win32Port::SetupControls(Win32Window& w) {
  for (const ControlTemplate& t : w.source->controls) {
    Win32Control c;
    static_cast<common::ControlRecord&>(c) = common::ControlRecordFrom(t);
    c.id = t.id;
    c.hwnd = GetDlgItem(w.hwnd, t.id);
    if (t.kind == ControlKind::ListView && c.hwnd) {
      ListView_SetExtendedListViewStyle(c.hwnd, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
      if (t.style & cs::kTransparent) {
        ListView_SetBkColor(c.hwnd, CLR_NONE);
        ListView_SetTextBkColor(c.hwnd, CLR_NONE);
      }
    }
    if (t.kind == ControlKind::Edit && c.hwnd) {
      // The byte limit is ours (GBK bytes); the control counts UTF-16 units,
      // of which there are never more than bytes.
      SendMessageW(c.hwnd, EM_SETLIMITTEXT, 0, 0);
    }
    if (t.kind == ControlKind::WebView) StartWebView(w, c);
    w.controls[t.id] = c;
    w.order.push_back(t.id);
  }
}

void Win32Port::EnforceEditLimit(Win32Window& w, Win32Control& c) {
  const std::string text = WindowTextOf(c.hwnd);
  if (static_cast<int>(text.size()) <= c.limit) return;
  Quiet quiet(quiet_);
  SetWindowTextW(c.hwnd, W(CutGbk(text, c.limit)).c_str());
  SendMessageW(c.hwnd, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  MessageBeep(MB_OK);
  (void)w;
}

std::string Win32Port::GetControlText(WindowId window, int id) {
  HWND hwnd = ControlHwnd(window, id);
  return hwnd ? WindowTextOf(hwnd) : std::string();
}

void Win32Port::SetControlText(WindowId window, int id, std::string_view text) {
  Win32Control* c = FindControl(window, id);
  if (!c || !c->hwnd) return;
  Quiet quiet(quiet_);
  SetWindowTextW(c->hwnd, W(text).c_str());
}

void Win32Port::EnableControl(WindowId window, int id, bool enable) {
  if (HWND hwnd = ControlHwnd(window, id)) ::EnableWindow(hwnd, enable);
}

bool Win32Port::IsControlEnabled(WindowId window, int id) {
  HWND hwnd = ControlHwnd(window, id);
  return hwnd && ::IsWindowEnabled(hwnd);
}

void Win32Port::ShowControl(WindowId window, int id, bool show) {
  if (HWND hwnd = ControlHwnd(window, id)) ::ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
}

bool Win32Port::IsControlVisible(WindowId window, int id) {
  HWND hwnd = ControlHwnd(window, id);
  return hwnd && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE);
}

Rect Win32Port::GetControlRect(WindowId window, int id) {
  HWND hwnd = ControlHwnd(window, id);
  if (!hwnd) return {};
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  // Screen to the parent's client coordinates.
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return Rect{r.left, r.top, r.right, r.bottom};
}

void Win32Port::MoveControl(WindowId window, int id, const Rect& rect) {
  if (HWND hwnd = ControlHwnd(window, id)) {
    ::MoveWindow(hwnd, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
  }
}

int Win32Port::GetCheck(WindowId window, int id) {
  HWND hwnd = ControlHwnd(window, id);
  return hwnd ? static_cast<int>(SendMessageW(hwnd, BM_GETCHECK, 0, 0)) : 0;
}

void Win32Port::SetCheck(WindowId window, int id, int state) {
  if (HWND hwnd = ControlHwnd(window, id)) SendMessageW(hwnd, BM_SETCHECK, state, 0);
}

void Win32Port::SetEditLimit(WindowId window, int id, int bytes) {
  if (Win32Control* c = FindControl(window, id)) c->limit = common::EditLimitFor(bytes);
}

void Win32Port::SetEditSelection(WindowId window, int id, int start, int end) {
  HWND hwnd = ControlHwnd(window, id);
  if (!hwnd) return;
  const std::string text = WindowTextOf(hwnd);
  const int from = start < 0 ? -1 : Utf16Before(text, start);
  const int to = end < 0 ? -1 : Utf16Before(text, end);
  SendMessageW(hwnd, EM_SETSEL, static_cast<WPARAM>(from), to);
}

void Win32Port::SetControlBitmap(WindowId window, int id, int bitmapId) {
  if (HWND hwnd = ControlHwnd(window, id)) {
    SendMessageW(hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Bitmap(bitmapId)));
  }
}

void Win32Port::SetControlFont(WindowId window, int id, const FontSpec& font) {
  Win32Control* c = FindControl(window, id);
  if (!c || !c->hwnd) return;
  LOGFONTW lf{};
  lf.lfHeight = font.height;
  lf.lfWeight = font.weight;
  const std::wstring face = W(font.face);
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  HFONT made = CreateFontIndirectW(&lf);
  if (!made) return;
  SendMessageW(c->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
  if (c->hfont) DeleteObject(c->hfont);
  c->hfont = made;
  c->font = font;
}

void Win32Port::SetFocus(WindowId window, int id) {
  HWND hwnd = id ? ControlHwnd(window, id) : Hwnd(window);
  if (hwnd) ::SetFocus(hwnd);
}

int Win32Port::GetFocus(WindowId window) {
  HWND focus = ::GetFocus();
  HWND dialog = Hwnd(window);
  if (!focus || !dialog) return 0;
  if (focus == dialog) return 0;
  // The edit inside an editable combo counts as the combo.
  for (HWND h = focus; h && h != dialog; h = GetParent(h)) {
    if (GetParent(h) == dialog) return GetDlgCtrlID(h);
  }
  return 0;
}

// --- combo boxes --------------------------------------------------------------------

int Win32Port::ComboAddString(WindowId window, int id, std::string_view text) {
  HWND hwnd = ControlHwnd(window, id);
  if (!hwnd) return -1;
  const std::wstring wide = W(text);
  return static_cast<int>(
      SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

void Win32Port::ComboReset(WindowId window, int id) {
  if (HWND hwnd = ControlHwnd(window, id)) SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
}

int Win32Port::ComboCount(WindowId window, int id) {
  HWND hwnd = ControlHwnd(window, id);
  return hwnd ? static_cast<int>(SendMessageW(hwnd, CB_GETCOUNT, 0, 0)) : 0;
}

std::string Win32Port::ComboItemText(WindowId window, int id, int index) {
  HWND hwnd = ControlHwnd(window, id);
  if (!hwnd) return {};
  const LRESULT length = SendMessageW(hwnd, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(hwnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
  buffer.resize(static_cast<std::size_t>(length));
  return N(buffer);
}

int Win32Port::ComboGetSel(WindowId window, int id) {
  HWND hwnd = ControlHwnd(window, id);
  return hwnd ? static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0)) : -1;
}

void Win32Port::ComboSetSel(WindowId window, int id, int index) {
  if (HWND hwnd = ControlHwnd(window, id)) SendMessageW(hwnd, CB_SETCURSEL, index, 0);
}

// --- list views ---------------------------------------------------------------------

void Win32Port::ListSetImageList(WindowId window, int id, const ImageList& images) {
  Win32Control* c = FindControl(window, id);
  if (!c || !c->hwnd) return;
  HIMAGELIST list = ImageList_Create(images.cx, images.cy, ILC_COLOR32 | ILC_MASK, 0, 1);
  for (int icon : images.iconResources) {
    HICON loaded = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(icon),
                                                 IMAGE_ICON, images.cx, images.cy, 0));
    ImageList_AddIcon(list, loaded);
    if (loaded) DestroyIcon(loaded);
  }
  const bool report = (c->style & cs::kReportView) != 0;
  ListView_SetImageList(c->hwnd, list, report ? LVSIL_SMALL : LVSIL_NORMAL);
  if (c->himages) ImageList_Destroy(c->himages);
  c->himages = list;
  c->images = images;
}

void Win32Port::ListSetColors(WindowId window, int id, Color background, Color textBackground) {
  if (HWND hwnd = ControlHwnd(window, id)) {
    ListView_SetBkColor(hwnd, background);
    ListView_SetTextBkColor(hwnd, textBackground);
    InvalidateRect(hwnd, nullptr, TRUE);
  }
}

void Win32Port::ListInsertColumn(WindowId window, int id, int column, std::string_view title,
                                 int width, bool centred) {
  HWND hwnd = ControlHwnd(window, id);
  if (!hwnd) return;
  std::wstring text = W(title);
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
  col.fmt = centred ? LVCFMT_CENTER : LVCFMT_LEFT;
  col.pszText = text.data();
  col.cx = width;
  col.iSubItem = column;
  SendMessageW(hwnd, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&col));
}

void Win32Port::ListDeleteAllItems(WindowId window, int id) {
  if (HWND hwnd = ControlHwnd(window, id)) ListView_DeleteAllItems(hwnd);
}

int Win32Port::ListInsertItem(WindowId window, int id, int index, std::string_view text,
                              int image) {
  HWND hwnd = ControlHwnd(window, id);
  if (!hwnd) return -1;
  std::wstring wide = W(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = index;
  item.pszText = wide.data();
  item.iImage = image;
  return static_cast<int>(SendMessageW(hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void Win32Port::ListSetItemText(WindowId window, int id, int item, int subItem,
                                std::string_view text) {
  HWND hwnd = ControlHwnd(window, id);
  if (!hwnd) return;
  std::wstring wide = W(text);
  LVITEMW lv{};
  lv.iSubItem = subItem;
  lv.pszText = wide.data();
  SendMessageW(hwnd, LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv));
}

std::string Win32Port::ListItemText(WindowId window, int id, int item, int subItem) {
  HWND hwnd = ControlHwnd(window, id);
  if (!hwnd || item < 0 || item >= ListView_GetItemCount(hwnd)) return {};
  std::wstring buffer(1024, L'\0');
  LVITEMW lv{};
  lv.iSubItem = subItem;
  lv.pszText = buffer.data();
  lv.cchTextMax = static_cast<int>(buffer.size());
  const LRESULT length = SendMessageW(hwnd, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv));
  buffer.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
  return N(buffer);
}

int Win32Port::ListItemCount(WindowId window, int id) {
  HWND hwnd = ControlHwnd(window, id);
  return hwnd ? ListView_GetItemCount(hwnd) : 0;
}

int Win32Port::ListColumnCount(WindowId window, int id) {
  HWND hwnd = ControlHwnd(window, id);
  if (!hwnd) return 0;
  HWND header = ListView_GetHeader(hwnd);
  return header ? Header_GetItemCount(header) : 0;
}

int Win32Port::ListSelected(WindowId window, int id) {
  HWND hwnd = ControlHwnd(window, id);
  return hwnd ? ListView_GetSelectionMark(hwnd) : -1;
}

// --- resources ----------------------------------------------------------------------

HBITMAP Win32Port::Bitmap(int bitmapId) {
  auto it = bitmaps_.find(bitmapId);
  if (it != bitmaps_.end()) return it->second;
  auto bitmap =
      static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  bitmaps_[bitmapId] = bitmap;
  return bitmap;
}

HICON Win32Port::Icon(int iconId, int size) {
  const auto key = std::make_pair(iconId, size);
  auto it = icons_.find(key);
  if (it != icons_.end()) return it->second;
  auto icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0));
  icons_[key] = icon;
  return icon;
}

}  // namespace ui::win32
