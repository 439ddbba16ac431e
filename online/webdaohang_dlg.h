#pragma once
#include "resources/templates/web_ids.h"
#include "ui/dialog.h"

namespace online {

// The texts the bar shows when the browser page found no page that way.
inline constexpr const char* kNoEarlierPageText = "已经是最后一个了！";
inline constexpr const char* kNoLaterPageText = "已经是最前一个了！";

// The bar over a navigation page: home, back, refresh and forward only set
// the shared command flags, which the browser page serves. It closes itself
// once no navigation page is open.
class CWebdaohangDlg : public ui::Dialog {
 public:
  CWebdaohangDlg();

 protected:
  bool OnInitDialog() override;
  void OnPaint(ui::PaintContext& paint) override;
  void OnLButtonDown(ui::Point point) override;
  void OnTimer(int timerId) override;

 private:
  void OnHome();
  void OnBack();
  void OnRefresh();
  void OnForward();
  // Tells the user about a move the page could not make, once.
  void TellEndOfHistory();
  void Tell(int& flag, const char* text);
};

// Makes the bar, modeless, with no owner; it frees itself when it closes.
void OpenNavigationBar();

}  // namespace online
