#pragma once
#include <optional>
#include <string>

#include "online/interexp.h"
#include "resources/templates/web_ids.h"
#include "ui/dialog.h"

namespace online {

// The keywords in an address that mark one of the vendor's own sites; a new
// window to such an address stays inside the program.
inline constexpr const char* kSiteKeywords[] = {"dravo", "velmira", "quorix", "tandel", "orvane"};

// True when `url` contains one of the keywords (plain, case-sensitive).
bool IsVendorSite(const std::string& url);

// True when `url` shows the navigation page: it contains that page's whole
// address anywhere (so a query after it still counts). An empty navigation
// address matches nothing.
bool IsNavigationPage(const std::string& url, const std::string& navigationPageUrl);

// The control rectangle after the client area went from old to new size:
// each side scaled by new over old (integer arithmetic, multiplied first).
// Nothing when the old size has no width or height to divide by.
std::optional<ui::Rect> ScaleToClient(const ui::Rect& control, int oldWidth, int oldHeight,
                                      int newWidth, int newHeight);

// The browser page: shows `browserPageUrl` maximised, serves the commands of
// the navigation bar, and keeps links to the vendor's sites inside itself.
class CWebbrowserDlg : public ui::Dialog {
 public:
  explicit CWebbrowserDlg(ui::Dialog* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool PreTranslateMessage(const ui::Message& message) override;
  void OnTimer(int timerId) override;
  void OnClose() override;
  void OnDestroy() override;

 private:
  std::intptr_t OnSize(std::uintptr_t kind, std::intptr_t size);
  void OnNewWindow(const ui::Notification& n);
  void OnNavigation(const ui::Notification&) {}

  CInterexp view_;
  bool showsNavigationPage_ = false;
};

}  // namespace online
