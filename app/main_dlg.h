#pragma once
#include <cstdint>
#include <string>

#include "app/page_base.h"
#include "ui/controls.h"

namespace app {

// The main window timers: 1 rebuilds the navigation list once, 2 serves
// MainWindowRequest for the life of the window.
constexpr int kListTimer = 1;
constexpr int kRequestTimer = 2;
constexpr unsigned kMainTimerPeriodMs = 100;

// The notification-area icon's mouse messages.
constexpr std::uint32_t kTrayCallbackMessage = ui::msg::kUser + 1;

// The main window: it starts the program (a single instance, the settings,
// the sign-in page), then offers the pages of the session's state in its
// navigation list, shows the account in its status labels, and hides in the
// notification area. Every other page opens modally over it.
class COrvaneDlg : public PageBase {
 public:
  COrvaneDlg();

  // The close question ("确定要关闭吗？"); OK ends the program.
  void ConfirmClose();

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnTimer(int timerId) override;
  void OnSysCommand(unsigned command) override;
  // The system close command (Alt+F4) quits at once, without the question.
  void OnClose() override;
  void OnDestroy() override;

 private:
  void RebuildNavigation();
  void SetStatusLabel(int id, const std::string& text);

  void OnNavigationClick(const ui::Notification& n);
  void OnNavigationChanged(const ui::Notification&) {}
  void OnUserLabel();
  void OnToTray();
  void OnCloseIcon();
  void OnAbout();
  std::intptr_t OnTrayMessage(std::uintptr_t, std::intptr_t mouseMessage);
  void Quit();

  ui::ListView navigation_;
};

}  // namespace app
