#include "online/webad_dlg.h"

#include "app/page_base.h"
#include "app/services.h"
#include "app/shared_state.h"
#include "online/endpoints.h"
#include "online/member_dlg.h"
#include "online/server_request.h"
#include "online/webbrowser_dlg.h"
#include "platform/http.h"
#include "ui/paint.h"

namespace online {

namespace {

constexpr int kFetchTimer = 1;
constexpr int kPlaceTimer = 2;
constexpr int kRequestTimer = 3;
constexpr unsigned kPeriodMs = 1000;
constexpr int kQuitCode = 18;
constexpr char kRegistrationSitePath[] = "/SoftWare/userroom/register.php";

}  // namespace

std::string RegistrationSiteUrl() {
  return ServerAddress(kRegistrationSitePath);
}

std::string AdRequestUrl(const std::string& queryUrl, int accountLevel,
                         const std::string& osMajorVersion) {
  // Judged as a number: "10" sorts below "6" as text but is no old system.
  const char* format =
      app::IsOldWindows(osMajorVersion) ? kAdRequestOldSystemFormat : kAdRequestFormat;
  return FillTemplate(format, {queryUrl, static_cast<long long>(accountLevel)});
}

void SettleAdPassword(std::string& password) {
  if (password < std::string("1")) password = "0";
}

bool AdFetchDue(const platform::LocalTime& now, std::array<int, 4>& slotFired,
                platform::LocalTime& lastFetch, int& refetchCount) {
  bool due = false;
  for (std::size_t i = 0; i < slotFired.size(); ++i) {
    if (now.hour == kAdSlots[i].hour && now.minute == kAdSlots[i].minute && slotFired[i] == 0) {
      slotFired[i] = 1;
      due = true;
    }
  }
  // The hours are ignored: only minutes past the hour are compared.
  if (now.minute - lastFetch.minute > 30) {
    ++refetchCount;
    if (refetchCount == 1 || refetchCount == 3 || refetchCount == 6) {
      lastFetch = now;
      due = true;
    }
    if (refetchCount == 6) refetchCount = 0;
  }
  return due;
}

CWebadDlg::CWebadDlg(ui::Dialog* mainWindow, std::function<void()> confirmClose)
    : ui::Dialog(kAdTemplate, nullptr),
      mainWindow_(mainWindow),
      confirmClose_(std::move(confirmClose)) {
  OnClicked(kAdClose, &CWebadDlg::OnCloseIcon);
  OnNotify(ui::notify::kWebNewWindow, kAdView, &CWebadDlg::OnNewWindow);
}

void CWebadDlg::DoDataExchange(ui::DataExchange& dx) {
  ui::Dialog::DoDataExchange(dx);
  dx.Bind(kAdView, view_);
}

bool CWebadDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  app::SharedState& shared = app::Shared();
  shared.adQueryUrl = ServerAddress(kAdQueryPath);
  shared.adLastFetch = app::Services().clock.Now();
  const ui::Rect client = GetClientRect();
  clientWidth_ = client.Width();
  clientHeight_ = client.Height();
  SetWindowPos(-clientWidth_, -clientHeight_);
  SetTimer(kFetchTimer, kPeriodMs);
  SetTimer(kPlaceTimer, kPeriodMs);
  SetTimer(kRequestTimer, kPeriodMs);
  shared.adFetchPending = 1;
  return true;
}

void CWebadDlg::OnPaint(ui::PaintContext& paint) {
  paint.FillRect(paint.ClientRect(), ui::Rgb(255, 255, 255));
}

void CWebadDlg::OnTimer(int timerId) {
  app::SharedState& shared = app::Shared();
  switch (timerId) {
    case kFetchTimer:
      if (shared.adFetchPending == 1) {
        Fetch();
      } else if (AdFetchDue(app::Services().clock.Now(), shared.adSlotFired, shared.adLastFetch,
                            shared.adRefetchCount)) {
        shared.adFetchPending = 1;
      }
      break;
    case kPlaceTimer:
      Place();
      break;
    case kRequestTimer:
      ServeVisibilityRequest();
      break;
    default:
      break;
  }
}

void CWebadDlg::Fetch() {
  app::SharedState& shared = app::Shared();
  platform::Http& http = app::Services().http;
  // An unreachable server is not worth a word: the fetch counts as done.
  if (ServerProbe(http, VendorServer()) == RequestFailure::None) {
    SettleAdPassword(shared.session.accountPassword());
    shared.adRequestUrl =
        AdRequestUrl(shared.adQueryUrl, shared.session.accountLevel, shared.paths.osMajorVersion);
    const TextReply reply = ServerTextRequest(http, shared.adRequestUrl);
    if (!reply.ok()) {
      // Stopped first: a tick while a message is up would fetch, and fail,
      // once more for every second the user takes to answer.
      KillTimer(kFetchTimer);
      if (reply.failure == RequestFailure::Exception) MessageBox(kExceptionText);
      MessageBox(kNoFileText);
      PostQuitMessage(kQuitCode);
      return;
    }
    shared.adShown = reply.Joined() == "404m" ? 0 : 1;
    SetTimer(kPlaceTimer, kPeriodMs);
  }
  shared.adLastFetch = app::Services().clock.Now();
  shared.adPageUrl = shared.adRequestUrl;
  if (!shared.adPageUrl.empty()) view_.Navigate(shared.adPageUrl);
  shared.adFetchPending = 0;
}

void CWebadDlg::Place() {
  if (app::Shared().adShown == 1) {
    MoveWindow(ui::Rect{0, 0, clientWidth_, clientHeight_});
    const ui::Size area = FullScreenClientSize();
    SetWindowPos(area.cx - clientWidth_, area.cy - clientHeight_);
  } else {
    MoveWindow(ui::Rect{0, 0, 1, 1});
    SetWindowPos(-clientWidth_, -clientHeight_);
  }
  KillTimer(kPlaceTimer);
}

void CWebadDlg::ServeVisibilityRequest() {
  app::SharedState& shared = app::Shared();
  if (shared.adVisibilityRequest != 0 && shared.adVisibilityRequest != 1) return;
  shared.adShown = shared.adVisibilityRequest;
  shared.adVisibilityRequest = 2;
  SetTimer(kPlaceTimer, kPeriodMs);
}

void CWebadDlg::HideSoon() {
  app::Shared().adShown = 0;
  SetTimer(kPlaceTimer, kPeriodMs);
}

void CWebadDlg::OnCloseIcon() {
  HideSoon();
  app::Shared().adFetchPending = 0;
}

bool CWebadDlg::PreTranslateMessage(const ui::Message& message) {
  if (message.message == ui::msg::kKeyDown) {
    if (message.wParam == ui::key::kEscape || message.wParam == ui::key::kReturn) return true;
    if (message.wParam == ui::key::kApps) {
      if (mainWindow_) mainWindow_->ShowWindow(ui::ShowCommand::Hide);
      HideSoon();
      app::Shared().adFetchPending = 0;
      if (mainWindow_) {
        mainWindow_->CenterWindow();
        mainWindow_->ShowWindow(ui::ShowCommand::Show);
      }
      return true;
    }
  }
  if (message.message == ui::msg::kRButtonDown || message.message == ui::msg::kRButtonDblClk) {
    return true;
  }
  return ui::Dialog::PreTranslateMessage(message);
}

void CWebadDlg::OnNewWindow(const ui::Notification& n) {
  if (n.cancel) *n.cancel = true;
  const std::string url = n.url ? n.url : "";
  // As on the browser page: only web addresses open anywhere.
  if (!platform::IsWebUrl(url)) return;
  if (url.find(RegistrationSiteUrl()) != std::string::npos) {
    HideSoon();
    // Like every page, it opens over the main window: over this one it would
    // hang off the corner of the screen, its buttons out of reach.
    CMemberDlg page(mainWindow_ ? mainWindow_ : this);
    page.DoModal();
  } else if (IsVendorSite(url)) {
    app::Shared().browserPageUrl = url;
    CWebbrowserDlg page(this);
    page.DoModal();
  } else {
    app::Services().shell.Open(url);
  }
}

void CWebadDlg::OnClose() {
  // The window stays for the run: closing it is closing the program.
  if (confirmClose_) confirmClose_();
}

}  // namespace online
