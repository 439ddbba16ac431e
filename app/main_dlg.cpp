#include "app/main_dlg.h"

#include <string_view>
#include <vector>

#include "app/about_dlg.h"
#include "app/advertisement.h"
#include "app/config_dlg.h"
#include "app/services.h"
#include "app/settings_file.h"
#include "app/shared_state.h"
#include "online/complain_dlg.h"
#include "online/endpoints.h"
#include "online/login_dlg.h"
#include "online/webbrowser_dlg.h"
#include "resources/templates/app_ids.h"
#include "tasks/edit_dlg.h"
#include "tasks/task_dlg.h"
#include "tools/gadgets_dlg.h"

namespace app {

namespace {

constexpr char kInstanceLockName[] = "DravoOV";
constexpr int kQuitCode = 18;
constexpr unsigned kAboutCommand = 0x10;
constexpr char kAboutMenuText[] = "关于 Orvane(&A)...";
constexpr char kTrayTip[] = "Orvane";
constexpr char kQuestionCaption[] = "系统提示";
constexpr ui::Color kListColor = ui::Rgb(240, 240, 240);

// The background under each status label, repainted when its text changes.
constexpr ui::Rect kUserLabelArea{77, 50, 220, 70};
constexpr ui::Rect kPointsCaptionArea{214, 50, 281, 70};
constexpr ui::Rect kPointsArea{0, 0, 440, 280};

// --- navigation ------------------------------------------------------------

// Opens one page modally over the main window.
using PageOpener = void (*)(COrvaneDlg& main);

template <class Page>
void OpenPage(COrvaneDlg& main) {
  Page page(&main);
  page.DoModal();
}

void MarkTaskListDirty() {
  Shared().taskValues.listDirty = 1;
}

void PointAtPersonalPage() {
  SharedState& shared = Shared();
  shared.browserPageUrl =
      online::FillTemplate(shared.urls.personalPageUrlFormat,
                           {shared.session.accountId(), shared.session.accountPassword()});
}

void PointAtInstructions() {
  SharedState& shared = Shared();
  shared.browserPageUrl = shared.urls.instructionsPageUrl;
}

struct NavigationEntry {
  const char* text;
  void (*prepare)();  // the shared values the page reads, set before it opens
  bool signedInOnly;
  PageOpener open;  // null while the page is not built
};

// What each entry opens, compared byte for byte in this order.
constexpr NavigationEntry kNavigation[] = {
    {"添加任务", nullptr, false, OpenPage<tasks::CEditDlg>},
    {"管理任务", MarkTaskListDirty, false, OpenPage<tasks::CTaskDlg>},
    {"个人中心", PointAtPersonalPage, false, OpenPage<online::CWebbrowserDlg>},
    {"系统设置", nullptr, false, OpenPage<CConfigDlg>},
    {"任务管理", nullptr, false, OpenPage<tasks::CEditDlg>},
    {"建议反馈", nullptr, false, OpenPage<online::CComplainDlg>},
    {"使用说明", PointAtInstructions, false, OpenPage<online::CWebbrowserDlg>},
    {"小工具", nullptr, true, OpenPage<tools::CGadgetsDlg>},
};

// The entries of each session state; null for a state that offers none.
std::vector<std::string_view> EntriesFor(const SessionState& session) {
  if (session.signedIn == 0 && session.serverReachable == 0) return {"任务管理", "系统设置"};
  if (session.signedIn == 0) return {"任务管理", "系统设置", "建议反馈", "使用说明"};
  if (session.accountLevel == 0 || session.accountLevel == 1) {
    return {"添加任务", "管理任务", "个人中心", "小工具", "系统设置", "建议反馈", "使用说明"};
  }
  return {};
}

}  // namespace

COrvaneDlg::COrvaneDlg() : PageBase(kMainTemplate, nullptr) {
  SetFallbackFontControls(
      {kMainUserCaption, kMainUserLabel, kMainPointsCaption, kMainPointsLabel, kNavigationList});
  SetLabelColors({kMainUserCaption}, {kMainUserLabel, kMainPointsLabel, kMainPointsCaption});
  OnClicked(kMainCloseIcon, &COrvaneDlg::OnCloseIcon);
  OnClicked(kMainTrayIcon, &COrvaneDlg::OnToTray);
  OnClicked(kMainUserLabel, &COrvaneDlg::OnUserLabel);
  OnNotify(ui::notify::kClick, kNavigationList, &COrvaneDlg::OnNavigationClick);
  OnNotify(ui::notify::kItemChanged, kNavigationList, &COrvaneDlg::OnNavigationChanged);
  OnMessage(kTrayCallbackMessage, &COrvaneDlg::OnTrayMessage);
}

void COrvaneDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(kNavigationList, navigation_);
}

bool COrvaneDlg::OnInitDialog() {
  PageBase::OnInitDialog();
  AppendSystemMenuItem(kAboutCommand, kAboutMenuText, &COrvaneDlg::OnAbout);

  // One instance at a time, decided before anything is read or shown.
  platform::Platform& services = Services();
  if (!services.instanceLock.Acquire(kInstanceLockName)) {
    ui::Dialog::UnownedMessageBox("已经打开了!");
    PostQuitMessage(0);
    return true;
  }

  SharedState& shared = Shared();
  shared.paths = DeriveAppPaths(services);
  navigation_.SetColors(kListColor, kListColor);
  SetTimer(kRequestTimer, kMainTimerPeriodMs);
  shared.settings = ReadSettingsAtStart(services, shared.paths);

  {
    online::CLoginDlg login(this);
    login.DoModal();
  }
  if (QuitPosted()) return true;

  OpenAdvertisementWindow(*this);
  shared.adVisibilityRequest = 2;
  CenterWindow();
  return true;
}

void COrvaneDlg::OnTimer(int timerId) {
  SharedState& shared = Shared();
  if (timerId == kRequestTimer) {
    if (shared.MainWindowRequest == 1) {
      ShowWindow(ui::ShowCommand::Show);
      SetTimer(kListTimer, kMainTimerPeriodMs);
      shared.MainWindowRequest = 2;
    } else if (shared.MainWindowRequest == 0) {
      ShowWindow(ui::ShowCommand::Hide);
      shared.MainWindowRequest = 2;
    }
  } else if (timerId == kListTimer) {
    RebuildNavigation();
    KillTimer(kListTimer);
  }
}

void COrvaneDlg::SetStatusLabel(int id, const std::string& text) {
  SetDlgItemText(id, text);
  // The label has no background of its own: repaint the skin under it.
  const ui::Rect& area = id == kMainUserLabel       ? kUserLabelArea
                         : id == kMainPointsCaption ? kPointsCaptionArea
                                                    : kPointsArea;
  InvalidateRect(area, true);
}

void COrvaneDlg::RebuildNavigation() {
  const SessionState& session = Shared().session;
  navigation_.DeleteAllItems();
  const std::vector<std::string_view> entries = EntriesFor(session);
  if (session.signedIn == 0) {
    SetStatusLabel(kMainUserLabel, session.serverReachable ? "点击登陆" : "重新联网");
    SetStatusLabel(kMainPointsCaption, "");
  } else if (!entries.empty()) {
    SetStatusLabel(kMainUserLabel, session.nickname());
    SetStatusLabel(kMainPointsCaption, "积分：");
  }
  SetStatusLabel(kMainPointsLabel, session.points());

  navigation_.SetImageList(ui::ImageList{32, 32, std::vector<int>(entries.size(), kTaskIcon)});
  for (std::size_t i = 0; i < entries.size(); ++i) {
    navigation_.InsertItem(static_cast<int>(i), entries[i], static_cast<int>(i));
  }
}

void COrvaneDlg::OnNavigationClick(const ui::Notification& n) {
  if (n.item == -1) return;
  const std::string text = navigation_.GetItemText(n.item, 0);
  for (const NavigationEntry& entry : kNavigation) {
    if (text != entry.text) continue;
    if (entry.signedInOnly && Shared().session.signedIn != 1) return;
    if (entry.prepare) entry.prepare();
    if (entry.open) entry.open(*this);
    return;
  }
}

void COrvaneDlg::OnUserLabel() {
  if (Shared().session.signedIn != 0) return;
  Shared().MainWindowRequest = 0;
  online::CLoginDlg login(this);
  login.DoModal();
}

void COrvaneDlg::OnToTray() {
  Shared().MainWindowRequest = 0;
  AddTrayIcon(kTaskIcon, kTaskIcon, kTrayTip, kTrayCallbackMessage);
}

void COrvaneDlg::Quit() {
  RemoveTrayIcon(kTaskIcon);
  PostQuitMessage(kQuitCode);
}

void COrvaneDlg::OnClose() {
  // A quit like any other, so the program ends with the same code.
  Quit();
}

void COrvaneDlg::OnCloseIcon() {
  ConfirmClose();
}

void COrvaneDlg::ConfirmClose() {
  if (MessageBox("确定要关闭吗？", kQuestionCaption, ui::mb::kOkCancel | ui::mb::kIconQuestion) ==
      ui::IDOK) {
    Quit();
  }
}

std::intptr_t COrvaneDlg::OnTrayMessage(std::uintptr_t, std::intptr_t mouseMessage) {
  if (mouseMessage == ui::msg::kLButtonDown) {
    ShowWindow(ui::ShowCommand::Restore);
  } else if (mouseMessage == ui::msg::kRButtonDown) {
    if (MessageBox("确定要退出吗？", kQuestionCaption, ui::mb::kOkCancel | ui::mb::kIconQuestion) ==
        ui::IDOK) {
      Quit();
    }
  }
  return 0;
}

void COrvaneDlg::OnSysCommand(unsigned command) {
  // The about entry, whatever the system keeps in the low four bits.
  if ((command & 0xFFF0u) == kAboutCommand) {
    OnAbout();
    return;
  }
  PageBase::OnSysCommand(command);
}

void COrvaneDlg::OnAbout() {
  CAboutDlg about(this);
  about.DoModal();
}

void COrvaneDlg::OnDestroy() {
  // A window closed by the system's close command leaves no icon behind.
  RemoveTrayIcon(kTaskIcon);
  CloseAdvertisementWindow();
  PageBase::OnDestroy();
}

}  // namespace app
