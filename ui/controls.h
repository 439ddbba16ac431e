#pragma once
#include <string>
#include <string_view>

#include "ui/backend.h"

namespace ui {

class Dialog;

// A numbered control of a dialog, as a light handle (like CWnd* from
// GetDlgItem). Handles are bound by DoDataExchange and stay valid while the
// dialog's window lives.
class Control {
 public:
  Control() = default;
  Control(Dialog* dialog, int id) : dialog_(dialog), id_(id) {}

  int Id() const { return id_; }
  bool IsBound() const { return dialog_ != nullptr; }

  std::string GetWindowText() const;
  void SetWindowText(std::string_view text) const;
  void EnableWindow(bool enable) const;
  bool IsWindowEnabled() const;
  void ShowWindow(bool show) const;
  bool IsWindowVisible() const;
  // Client pixels of the dialog.
  Rect GetRect() const;
  void MoveWindow(const Rect& rect) const;
  void SetFont(const FontSpec& font) const;
  void SetFocus() const;

 protected:
  Backend& backend() const;
  WindowId window() const;

  Dialog* dialog_ = nullptr;
  int id_ = 0;
};

class Button : public Control {
 public:
  using Control::Control;
  int GetCheck() const;
  void SetCheck(int state) const;
  void SetBitmap(int bitmapId) const;
};

class Edit : public Control {
 public:
  using Control::Control;
  void SetLimitText(int bytes) const;
  void SetSel(int start, int end) const;
};

class ComboBox : public Control {
 public:
  using Control::Control;
  int AddString(std::string_view text) const;
  void ResetContent() const;
  int GetCount() const;
  std::string GetLBText(int index) const;
  int GetCurSel() const;
  void SetCurSel(int index) const;
};

class ListView : public Control {
 public:
  using Control::Control;
  void SetImageList(const ImageList& images) const;
  void SetBkColor(Color color) const;
  void SetColors(Color background, Color textBackground) const;
  enum class Align { Left, Centre };
  void InsertColumn(int column, std::string_view title, int width, Align align = Align::Left) const;
  void DeleteAllItems() const;
  int InsertItem(int index, std::string_view text, int image = -1) const;
  void SetItemText(int item, int subItem, std::string_view text) const;
  std::string GetItemText(int item, int subItem) const;
  int GetItemCount() const;
  int GetSelectionMark() const;
};

class WebView : public Control {
 public:
  using Control::Control;
  void Navigate(std::string_view url) const;
  std::string LocationUrl() const;
  // False at the end of the history that way.
  bool GoBack() const;
  bool GoForward() const;
  void Refresh() const;
};

}  // namespace ui
