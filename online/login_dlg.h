#pragma once
#include "app/page_base.h"
#include "ui/controls.h"

namespace online {

// The sign-in page: sign in with an id and a password, continue without an
// account, or register. It fills the server addresses, probes the server and
// runs the version check each time it opens, and can restore a remembered
// account and sign in by itself. It hands its caller nothing: the outcome is
// in the shared session and settings, and it always ends as a cancel.
class CLoginDlg : public app::PageBase {
 public:
  // `mainWindow` is the main window, which a sign-in or "免登陆" shows.
  explicit CLoginDlg(ui::Dialog* mainWindow);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnPaint(ui::PaintContext& paint) override;
  void OnClose() override;

 private:
  void RunVersionCheck();
  // Disables what needs the server.
  void GoOffline();
  void RestoreRememberedAccount();
  std::intptr_t OnRestore(std::uintptr_t, std::intptr_t);

  void OnSignIn();
  void OnRegister();
  void OnWithoutAccount();
  void OnCloseIcon();
  void OnRemember();
  void EnableAutoSignIn(bool enable);

  ui::Button signIn_;
  ui::Button register_;
  ui::Edit id_;
  ui::Edit password_;
  bool restored_ = false;  // the remembered account is restored at the first paint only
};

}  // namespace online
