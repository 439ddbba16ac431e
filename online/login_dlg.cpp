#include "online/login_dlg.h"

#include "app/account_file.h"
#include "app/services.h"
#include "app/settings_file.h"
#include "app/shared_state.h"
#include "online/endpoints.h"
#include "online/member_dlg.h"
#include "online/server_request.h"
#include "online/server_text.h"
#include "online/sign_in_hooks.h"
#include "online/version_check.h"
#include "resources/templates/online_ids.h"

namespace online {

namespace {

constexpr int kQuitCode = 18;
constexpr int kMaxSignInFailures = 3;
// The main window's timer that rebuilds its navigation list.
constexpr int kMainListTimer = 1;
constexpr unsigned kMainListDelayMs = 100;
// Posted by the first paint: the remembered account is restored once the
// page has been drawn.
constexpr std::uint32_t kRestoreMessage = ui::msg::kUser + 31;

constexpr char kNotice[] = "没有账号？点击“注册”，或点击“免登陆”直接使用。";
constexpr char kHintCaption[] = "提示";
constexpr char kQuestionCaption[] = "系统提示";
constexpr char kSignInAccepted[] = "login111";

}  // namespace

CLoginDlg::CLoginDlg(ui::Dialog* mainWindow) : app::PageBase(kLoginTemplate, mainWindow) {
  SetFallbackFontControls({kLoginIdCaption, kLoginPasswordCaption, kLoginRemember, kLoginAutoSignIn,
                           kLoginId, kLoginPassword, kLoginSignIn, kLoginRegister,
                           kLoginWithoutAccount});
  SetLabelColors({kLoginIdCaption}, {kLoginPasswordCaption, kLoginAutoSignIn, kLoginRemember});
  OnClicked(kLoginSignIn, &CLoginDlg::OnSignIn);
  OnClicked(kLoginRegister, &CLoginDlg::OnRegister);
  OnClicked(kLoginWithoutAccount, &CLoginDlg::OnWithoutAccount);
  OnClicked(kLoginRemember, &CLoginDlg::OnRemember);
  OnClicked(kLoginCloseIcon, &CLoginDlg::OnCloseIcon);
  OnMessage(kRestoreMessage, &CLoginDlg::OnRestore);
}

void CLoginDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(kLoginSignIn, signIn_);
  dx.Bind(kLoginRegister, register_);
  dx.Bind(kLoginId, id_);
  dx.Bind(kLoginPassword, password_);
}

bool CLoginDlg::OnInitDialog() {
  app::PageBase::OnInitDialog();
  SetDlgItemText(kLoginNotice, kNotice);

  app::SharedState& shared = app::Shared();
  FillServerUrls(shared.urls);
  if (ServerProbe(app::Services().http, VendorServer()) != RequestFailure::None) {
    MessageBox("网络连接失败!");
    shared.session.serverReachable = 0;
    GoOffline();
  } else {
    shared.session.serverReachable = 1;
    RunVersionCheck();
    if (QuitPosted()) return true;  // an update ends the program
  }
  CenterWindow();
  return true;
}

void CLoginDlg::RunVersionCheck() {
  // The check says what failed and clears serverReachable itself.
  if (online::RunVersionCheck(*this) == VersionCheckResult::Offline) GoOffline();
}

void CLoginDlg::GoOffline() {
  // Only "免登陆" and the close icon are left.
  signIn_.EnableWindow(false);
  register_.EnableWindow(false);
  id_.EnableWindow(false);
  password_.EnableWindow(false);
}

void CLoginDlg::OnPaint(ui::PaintContext& paint) {
  app::PageBase::OnPaint(paint);
  if (restored_) return;
  restored_ = true;
  // Not inside the paint itself: signing in may ask questions and end the page.
  PostMessage(kRestoreMessage);
}

std::intptr_t CLoginDlg::OnRestore(std::uintptr_t, std::intptr_t) {
  RestoreRememberedAccount();
  return 0;
}

void CLoginDlg::RestoreRememberedAccount() {
  platform::Platform& services = app::Services();
  app::SharedState& shared = app::Shared();
  app::SessionState& session = shared.session;
  app::CreateFolderOf(services.files, shared.paths.settingsPath);
  app::CreateFolderOf(services.files, shared.paths.accountPath);
  if (shared.settings.rememberPassword != 1) {
    CheckDlgButton(kLoginRemember, 0);
    EnableAutoSignIn(false);
    return;
  }

  CheckDlgButton(kLoginRemember, 1);
  GetDlgItem(kLoginAutoSignIn).EnableWindow(true);
  const app::StoredAccount stored = app::ReadAccountFile(services.profiles, shared.paths);
  session.typedId = stored.id;
  session.typedPassword = stored.password;
  if (stored.usable) {
    SetDlgItemText(kLoginId, session.typedId);
    SetDlgItemText(kLoginPassword, session.typedPassword);
  } else {
    // Nothing usable is stored: forget that anything was.
    app::ForgetStoredAccount(services.files, services.profiles, shared.paths);
    CheckDlgButton(kLoginRemember, 0);
  }

  if (shared.settings.autoSignIn == 1) {
    CheckDlgButton(kLoginAutoSignIn, 1);
    // Without the server the request could only fail, and a failed sign-in
    // ends the program: the user would never reach "免登陆".
    if (session.serverReachable != 0) OnSignIn();
  } else {
    CheckDlgButton(kLoginAutoSignIn, 0);
  }
}

void CLoginDlg::OnSignIn() {
  platform::Platform& services = app::Services();
  app::SharedState& shared = app::Shared();
  app::SessionState& session = shared.session;
  if (session.signInFailures >= kMaxSignInFailures) {
    MessageBox("错误次数太多!", kHintCaption);
    return;
  }
  session.typedId = GetDlgItemText(kLoginId);
  session.typedPassword = GetDlgItemText(kLoginPassword);
  if (session.typedId.empty() || session.typedPassword.empty()) {
    MessageBox("不能为空!", kHintCaption);
    return;
  }

  // Id and password go into the query as typed.
  session.loginReplyText.clear();
  const TextReply reply = ServerTextRequest(
      services.http,
      FillTemplate(shared.urls.signInUrlFormat, {session.typedId, session.typedPassword}));
  if (!reply.ok()) {
    MessageBox(FailureText(reply.failure));
    PostQuitMessage(kQuitCode);
    return;
  }
  for (const std::string& line : reply.lines) session.loginReplyText += line;

  const std::vector<std::string> fields =
      SplitFields(session.loginReplyText, '|', app::kLoginReplyFieldCount);
  std::copy(fields.begin(), fields.end(), session.loginReply.begin());
  const std::string& code = session.loginReply[0];
  if (code == "404u" || code == "404ps") {
    session.signedIn = 0;
    MessageBox("账号或密码有误!", kHintCaption);
    ++session.signInFailures;
    session.loginReplyText.clear();
    return;
  }
  if (code != kSignInAccepted) return;

  session.signedIn = 1;
  session.loginReplyText.clear();
  session.accountId() = session.typedId;
  session.accountPassword() = session.typedPassword;
  shared.adVisibilityRequest = 0;

  app::CreateFolderOf(services.files, shared.paths.settingsPath);
  app::CreateFolderOf(services.files, shared.paths.accountPath);
  const bool remember = IsDlgButtonChecked(kLoginRemember) != 0;
  app::WriteSettingsFlag(services.profiles, shared.paths, app::kKeyRememberPassword, remember);
  app::WriteAccountFile(services.files, services.profiles, shared.paths, remember,
                        session.accountId(), session.accountPassword());
  shared.settings.rememberPassword = remember ? 1 : 0;
  const bool autoSignIn = IsDlgButtonChecked(kLoginAutoSignIn) != 0;
  app::WriteSettingsFlag(services.profiles, shared.paths, app::kKeyAutoSignIn, autoSignIn);
  shared.settings.autoSignIn = autoSignIn ? 1 : 0;

  session.accountLevel = LeadingNumber(session.loginReply[1]);
  if (session.accountLevel == 1 && shared.settings.syncTasks == 1) FetchTasksAfterSignIn(*this);

  if (ui::Dialog* main = GetParent()) {
    main->SetTimer(kMainListTimer, kMainListDelayMs);
    main->CenterWindow();
    main->ShowWindow(ui::ShowCommand::Show);
    // A hide request still pending from before would take the window we
    // have just shown away again, with no way back for the user.
    shared.MainWindowRequest = 2;
  }
  EndDialog(ui::IDCANCEL);
}

void CLoginDlg::OnRegister() {
  // The sign-in page stays as it is: the new id is for the user to type.
  CMemberDlg page(this);
  page.DoModal();
}

void CLoginDlg::OnWithoutAccount() {
  app::SharedState& shared = app::Shared();
  shared.session.signedIn = 0;
  if (ui::Dialog* main = GetParent()) main->SetTimer(kMainListTimer, kMainListDelayMs);
  shared.MainWindowRequest = 1;
  EndDialog(ui::IDCANCEL);
}

void CLoginDlg::OnCloseIcon() {
  if (MessageBox("确定要关闭吗？", kQuestionCaption, ui::mb::kOkCancel | ui::mb::kIconQuestion) ==
      ui::IDOK) {
    PostQuitMessage(kQuitCode);
  }
}

// The system close asks as the close icon does. Ending the page quietly
// instead would leave a main window that hid itself for this page hidden for
// good, with no tray icon to bring it back.
void CLoginDlg::OnClose() {
  OnCloseIcon();
}

void CLoginDlg::OnRemember() {
  const bool checked = IsDlgButtonChecked(kLoginRemember) != 0;
  EnableAutoSignIn(checked);
  app::Shared().settings.rememberPassword = checked ? 1 : 0;
}

void CLoginDlg::EnableAutoSignIn(bool enable) {
  GetDlgItem(kLoginAutoSignIn).EnableWindow(enable);
  if (!enable) CheckDlgButton(kLoginAutoSignIn, 0);
}

}  // namespace online
