#include "online/webbrowser_dlg.h"

#include "app/services.h"
#include "app/shared_state.h"
#include "online/endpoints.h"
#include "online/webdaohang_dlg.h"
#include "platform/http.h"

namespace online {

namespace {

constexpr int kCommandTimer = 1;
constexpr unsigned kCommandPeriodMs = 500;
constexpr char kNavigationCaption[] = "网址导航";

}  // namespace

bool IsVendorSite(const std::string& url) {
  for (const char* keyword : kSiteKeywords) {
    if (url.find(keyword) != std::string::npos) return true;
  }
  return false;
}

bool IsNavigationPage(const std::string& url, const std::string& navigationPageUrl) {
  return !navigationPageUrl.empty() && url.find(navigationPageUrl) != std::string::npos;
}

std::optional<ui::Rect> ScaleToClient(const ui::Rect& control, int oldWidth, int oldHeight,
                                      int newWidth, int newHeight) {
  if (oldWidth <= 0 || oldHeight <= 0) return std::nullopt;
  auto scale = [](int value, int to, int from) {
    return static_cast<int>(static_cast<long long>(value) * to / from);
  };
  return ui::Rect{scale(control.left, newWidth, oldWidth), scale(control.top, newHeight, oldHeight),
                  scale(control.right, newWidth, oldWidth),
                  scale(control.bottom, newHeight, oldHeight)};
}

CWebbrowserDlg::CWebbrowserDlg(ui::Dialog* parent) : ui::Dialog(kBrowserTemplate, parent) {
  OnMessage(ui::msg::kSize, &CWebbrowserDlg::OnSize);
  OnNotify(ui::notify::kWebNewWindow, kBrowserView, &CWebbrowserDlg::OnNewWindow);
  OnNotify(ui::notify::kWebBeforeNavigate, kBrowserView, &CWebbrowserDlg::OnNavigation);
  OnNotify(ui::notify::kWebDocumentComplete, kBrowserView, &CWebbrowserDlg::OnNavigation);
}

void CWebbrowserDlg::DoDataExchange(ui::DataExchange& dx) {
  ui::Dialog::DoDataExchange(dx);
  dx.Bind(kBrowserView, view_);
}

bool CWebbrowserDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  app::SharedState& shared = app::Shared();
  // The control fills the template's client area: the size change of
  // maximising (now or, on some systems, a little later) scales it from there.
  const ui::Rect client = GetClientRect();
  shared.browserLastClientWidth = client.Width();
  shared.browserLastClientHeight = client.Height();
  ShowWindow(ui::ShowCommand::Maximize);

  if (shared.browserPageUrl.empty()) {
    shared.browserPageUrl = ServerAddress("/");
  } else if (IsNavigationPage(shared.browserPageUrl, shared.urls.navigationPageUrl)) {
    SetWindowText(kNavigationCaption);
    shared.navBarOpen = 1;
    showsNavigationPage_ = true;
    OpenNavigationBar();
  }
  view_.Navigate(shared.browserPageUrl);
  SetTimer(kCommandTimer, kCommandPeriodMs);
  return true;
}

void CWebbrowserDlg::OnTimer(int timerId) {
  if (timerId != kCommandTimer) return;
  app::SharedState& shared = app::Shared();
  if (shared.browserHomeRequest == 1) {
    view_.Navigate(shared.browserPageUrl);
    shared.browserHomeRequest = 0;
  }
  // A move past either end of the history is left as 2 for the bar to tell.
  if (shared.browserBackRequest == 1) {
    shared.browserBackRequest = view_.GoBack() ? 0 : 2;
  }
  if (shared.browserForwardRequest == 1) {
    shared.browserForwardRequest = view_.GoForward() ? 0 : 2;
  }
  if (shared.browserRefreshRequest == 1) {
    shared.browserRefreshRequest = 0;
    view_.Refresh();
  }
}

std::intptr_t CWebbrowserDlg::OnSize(std::uintptr_t, std::intptr_t size) {
  app::SharedState& shared = app::Shared();
  const int width = ui::SizeWidth(size);
  const int height = ui::SizeHeight(size);
  // A size with no width or height (the system minimised the page) leaves
  // the control where it is, and so does the size change after it: there is
  // nothing to scale from.
  if (view_.IsBound() && width > 0 && height > 0) {
    if (std::optional<ui::Rect> scaled =
            ScaleToClient(view_.GetRect(), shared.browserLastClientWidth,
                          shared.browserLastClientHeight, width, height)) {
      view_.MoveWindow(*scaled);
    }
  }
  shared.browserLastClientWidth = width;
  shared.browserLastClientHeight = height;
  return 0;
}

bool CWebbrowserDlg::PreTranslateMessage(const ui::Message& message) {
  if (message.message == ui::msg::kKeyDown) {
    if (message.wParam == ui::key::kEscape || message.wParam == ui::key::kReturn) return true;
    if (message.wParam == ui::key::kApps) {
      OnClose();
      return true;
    }
  }
  // The page's own context menu never opens.
  if (message.message == ui::msg::kRButtonDown || message.message == ui::msg::kRButtonDblClk) {
    return true;
  }
  return ui::Dialog::PreTranslateMessage(message);
}

void CWebbrowserDlg::OnNewWindow(const ui::Notification& n) {
  if (n.cancel) *n.cancel = true;
  const std::string url = n.url ? n.url : "";
  // A page asks for the window: for a file or program address the shell would
  // start that file instead of a browser, and the page's view has no business
  // there either.
  if (!platform::IsWebUrl(url)) return;
  if (IsVendorSite(url)) {
    view_.Navigate(url);
  } else {
    app::Services().shell.Open(url);
  }
}

void CWebbrowserDlg::OnClose() {
  if (showsNavigationPage_) app::Shared().navBarOpen = 0;
  ui::Dialog::OnClose();
}

void CWebbrowserDlg::OnDestroy() {
  // However the page goes, its bar follows.
  if (showsNavigationPage_) app::Shared().navBarOpen = 0;
  ui::Dialog::OnDestroy();
}

}  // namespace online
