#pragma once
#include "app/page_base.h"

// A page with one control of every kind, to see and drive each backend.
class CGalleryDlg : public app::PageBase {
 public:
  explicit CGalleryDlg(ui::Dialog* parent = nullptr);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;

 private:
  void OnCloseIcon();
  void OnLabel();
  void OnAsk();
  void OnTick();
  void OnEditChange();
  void OnChoose();
  void OnListClick(const ui::Notification& n);
  void OnDone();
  void Say(const std::string& text);

  ui::ComboBox choices_;
  ui::ComboBox cities_;
  ui::ListView icons_;
  ui::ListView rows_;
  ui::Edit password_;
  ui::WebView web_;
};
