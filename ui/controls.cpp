#include "ui/controls.h"

#include "ui/dialog.h"

namespace ui {

Backend& Control::backend() const {
  return dialog_->backend();
}
WindowId Control::window() const {
  return dialog_->GetSafeHwnd();
}

std::string Control::GetWindowText() const {
  return backend().GetControlText(window(), id_);
}
void Control::SetWindowText(std::string_view text) const {
  backend().SetControlText(window(), id_, text);
}
void Control::EnableWindow(bool enable) const {
  backend().EnableControl(window(), id_, enable);
}
bool Control::IsWindowEnabled() const {
  return backend().IsControlEnabled(window(), id_);
}
void Control::ShowWindow(bool show) const {
  backend().ShowControl(window(), id_, show);
}
bool Control::IsWindowVisible() const {
  return backend().IsControlVisible(window(), id_);
}
Rect Control::GetRect() const {
  return backend().GetControlRect(window(), id_);
}
void Control::MoveWindow(const Rect& rect) const {
  backend().MoveControl(window(), id_, rect);
}
void Control::SetFont(const FontSpec& font) const {
  backend().SetControlFont(window(), id_, font);
}
void Control::SetFocus() const {
  backend().SetFocus(window(), id_);
}

int Button::GetCheck() const {
  return backend().GetCheck(window(), id_);
}
void Button::SetCheck(int state) const {
  backend().SetCheck(window(), id_, state);
}
void Button::SetBitmap(int bitmapId) const {
  backend().SetControlBitmap(window(), id_, bitmapId);
}

void Edit::SetLimitText(int bytes) const {
  backend().SetEditLimit(window(), id_, bytes);
}
void Edit::SetSel(int start, int end) const {
  backend().SetEditSelection(window(), id_, start, end);
}

int ComboBox::AddString(std::string_view text) const {
  return backend().ComboAddString(window(), id_, text);
}
void ComboBox::ResetContent() const {
  backend().ComboReset(window(), id_);
}
int ComboBox::GetCount() const {
  return backend().ComboCount(window(), id_);
}
std::string ComboBox::GetLBText(int index) const {
  return backend().ComboItemText(window(), id_, index);
}
int ComboBox::GetCurSel() const {
  return backend().ComboGetSel(window(), id_);
}
void ComboBox::SetCurSel(int index) const {
  backend().ComboSetSel(window(), id_, index);
}

void ListView::SetImageList(const ImageList& images) const {
  backend().ListSetImageList(window(), id_, images);
}
void ListView::SetBkColor(Color color) const {
  backend().ListSetColors(window(), id_, color, color);
}
void ListView::SetColors(Color background, Color textBackground) const {
  backend().ListSetColors(window(), id_, background, textBackground);
}
void ListView::InsertColumn(int column, std::string_view title, int width, Align align) const {
  backend().ListInsertColumn(window(), id_, column, title, width, align == Align::Centre);
}
void ListView::DeleteAllItems() const {
  backend().ListDeleteAllItems(window(), id_);
}
int ListView::InsertItem(int index, std::string_view text, int image) const {
  return backend().ListInsertItem(window(), id_, index, text, image);
}
void ListView::SetItemText(int item, int subItem, std::string_view text) const {
  backend().ListSetItemText(window(), id_, item, subItem, text);
}
std::string ListView::GetItemText(int item, int subItem) const {
  return backend().ListItemText(window(), id_, item, subItem);
}
int ListView::GetItemCount() const {
  return backend().ListItemCount(window(), id_);
}
int ListView::GetSelectionMark() const {
  return backend().ListSelected(window(), id_);
}

void WebView::Navigate(std::string_view url) const {
  backend().WebNavigate(window(), id_, url);
}
std::string WebView::LocationUrl() const {
  return backend().WebLocation(window(), id_);
}
bool WebView::GoBack() const {
  return backend().WebGo(window(), id_, -1);
}
bool WebView::GoForward() const {
  return backend().WebGo(window(), id_, 1);
}
void WebView::Refresh() const {
  backend().WebRefresh(window(), id_);
}

}  // namespace ui
