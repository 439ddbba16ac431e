#pragma once
#include <array>
#include <functional>
#include <string>

#include "online/interexp.h"
#include "platform/clock.h"
#include "resources/templates/web_ids.h"
#include "ui/dialog.h"

namespace online {

// The advertisement query as sent: the account level, and "&Wx=X" on
// systems older than major version 6.
std::string AdRequestUrl(const std::string& queryUrl, int accountLevel,
                         const std::string& osMajorVersion);

// The password the advertisement fetch leaves: one that sorts below "1" byte
// by byte (empty, or beginning with "0" or anything lower) becomes "0".
void SettleAdPassword(std::string& password);

// The fixed times of day an advertisement is fetched, each once a run.
struct AdSlot {
  int hour;
  int minute;
};
inline constexpr AdSlot kAdSlots[] = {{11, 20}, {13, 20}, {16, 30}, {20, 45}};

// Whether `now` starts a fetch outside the first: a fixed slot not yet fired
// (marked fired), or a half-hour occasion whose count is 1, 3 or 6 (which
// moves `lastFetch` to now; 6 starts the count again).
bool AdFetchDue(const platform::LocalTime& now, std::array<int, 4>& slotFired,
                platform::LocalTime& lastFetch, int& refetchCount);

// The small borderless window in the bottom-right corner that shows the
// vendor's advertisement. It lives for the whole run: hiding shrinks it and
// moves it off the screen.
class CWebadDlg : public ui::Dialog {
 public:
  // `mainWindow` is the window the context-menu key brings back to the
  // centre; `confirmClose` asks its close question (closing this window asks
  // the same).
  CWebadDlg(ui::Dialog* mainWindow, std::function<void()> confirmClose);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool PreTranslateMessage(const ui::Message& message) override;
  void OnPaint(ui::PaintContext& paint) override;
  void OnTimer(int timerId) override;
  void OnClose() override;

 private:
  void Fetch();
  void Place();
  void ServeVisibilityRequest();
  void HideSoon();
  void OnCloseIcon();
  void OnNewWindow(const ui::Notification& n);

  ui::Dialog* mainWindow_;
  std::function<void()> confirmClose_;
  CInterexp view_;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
};

// The address of the vendor's registration site, which a link in the
// advertisement opens as the registration page.
std::string RegistrationSiteUrl();

}  // namespace online
