#include "online/webdaohang_dlg.h"

#include "app/shared_state.h"
#include "ui/paint.h"

namespace online {

namespace {

constexpr int kCloseTimer = 1;
constexpr unsigned kClosePeriodMs = 500;

}  // namespace

CWebdaohangDlg::CWebdaohangDlg() : ui::Dialog(kNavBarTemplate, nullptr) {
  OnClicked(kNavBarHome, &CWebdaohangDlg::OnHome);
  OnClicked(kNavBarBack, &CWebdaohangDlg::OnBack);
  OnClicked(kNavBarRefresh, &CWebdaohangDlg::OnRefresh);
  OnClicked(kNavBarForward, &CWebdaohangDlg::OnForward);
}

bool CWebdaohangDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  CenterWindow();
  SetTopmost(true);
  SetTimer(kCloseTimer, kClosePeriodMs);
  return true;
}

void CWebdaohangDlg::OnPaint(ui::PaintContext& paint) {
  paint.StretchBitmap(kNavBarBackground, paint.ClientRect());
}

void CWebdaohangDlg::OnLButtonDown(ui::Point point) {
  // The bar has no caption: a press on its background moves it.
  PostMessage(ui::msg::kNcLButtonDown, ui::kHitCaption);
  ui::Dialog::OnLButtonDown(point);
}

void CWebdaohangDlg::OnTimer(int timerId) {
  if (timerId != kCloseTimer) return;
  if (app::Shared().navBarOpen == 0) {
    KillTimer(kCloseTimer);
    DestroyWindow();
    return;
  }
  TellEndOfHistory();
}

void CWebdaohangDlg::TellEndOfHistory() {
  app::SharedState& shared = app::Shared();
  if (shared.browserBackRequest == 2) {
    Tell(shared.browserBackRequest, kNoEarlierPageText);
  } else if (shared.browserForwardRequest == 2) {
    Tell(shared.browserForwardRequest, kNoLaterPageText);
  }
}

void CWebdaohangDlg::Tell(int& flag, const char* text) {
  flag = 0;
  MessageBox(text);
}

void CWebdaohangDlg::OnHome() {
  app::Shared().browserHomeRequest = 1;
}

void CWebdaohangDlg::OnBack() {
  app::SharedState& shared = app::Shared();
  if (shared.browserBackRequest == 2) {
    Tell(shared.browserBackRequest, kNoEarlierPageText);
  } else {
    shared.browserBackRequest = 1;
  }
}

void CWebdaohangDlg::OnRefresh() {
  app::Shared().browserRefreshRequest = 1;
}

void CWebdaohangDlg::OnForward() {
  app::SharedState& shared = app::Shared();
  if (shared.browserForwardRequest == 2) {
    Tell(shared.browserForwardRequest, kNoLaterPageText);
  } else {
    shared.browserForwardRequest = 1;
  }
}

void OpenNavigationBar() {
  ui::Dialog::OpenModeless<CWebdaohangDlg>();
}

}  // namespace online
