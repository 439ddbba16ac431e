// The browser page on the Win32 build, under Wine: the real page with the
// system's browser control in it, maximised, with the navigation bar over it.
// Keeps a screenshot beside the test (web-browser-page.png).
#include <gtest/gtest.h>

#include "platform/windows/win32.h"

#include "app/services.h"
#include "app/shared_state.h"
#include "online/endpoints.h"
#include "online/webad_dlg.h"
#include "online/webbrowser_dlg.h"
#include "platform/sim/sim_platform.h"
#include "resources/templates/templates.h"
#include "ui/backend/win32/win32_backend.h"
#include "ui/backend/win32/win32_port.h"
#include "ui/backend/win32/win32_web_host.h"
#include "ui/scenario.h"

namespace {

struct BrowserPageOnWin32 {
  std::unique_ptr<ui::win32::Win32Backend> backend = ui::win32::CreateWin32Backend();
  ui::ScenarioRunner runner{*backend, *backend};
  app::SharedStateScope state;

  BrowserPageOnWin32() {
    ui::Backend::SetCurrent(backend.get());
    resources::RegisterTemplates();
    online::FillServerUrls(app::Shared().urls);
    backend->SetScript(&runner);
    // The browser's own window covers the web view's client area exactly.
    runner.AddCommand(
        "expect browser-fills", [](ui::ScenarioContext& ctx, const ui::ScenarioCommand&) {
          if (!ctx.Usage(3, "expect browser-fills WINDOW CONTROL")) return false;
          const ui::WindowId w = ctx.WindowArg(1);
          const auto id = ctx.ControlArg(2);
          if (!w || !id) return false;
          ui::win32::Win32Port& port = *ui::win32::CurrentPort();
          ui::win32::Win32Control* c = port.FindControl(w, *id);
          if (!c || !c->web) return ctx.Fail("no browser control");
          RECT view{}, inner{}, page{};
          GetClientRect(c->hwnd, &view);
          GetClientRect(c->web->ControlWindow(), &inner);
          GetClientRect(port.Hwnd(w), &page);
          if (inner.right != view.right || inner.bottom != view.bottom ||
              view.right != page.right || view.bottom != page.bottom) {
            return ctx.Fail("browser " + std::to_string(inner.right) + "x" +
                            std::to_string(inner.bottom) + ", page " + std::to_string(page.right) +
                            "x" + std::to_string(page.bottom));
          }
          return true;
        });
  }
  ~BrowserPageOnWin32() {
    backend->SetScript(nullptr);
    ui::Backend::SetCurrent(nullptr);
  }
};

TEST(Win32BrowserPage, TheNavigationPageOpensMaximisedInTheBrowserControlWithItsBar) {
  BrowserPageOnWin32 p;
  app::SharedState& shared = app::Shared();
  shared.browserPageUrl = shared.urls.navigationPageUrl + "?dlu=1&dl=100001&pd=secret";
  const std::string script =
      "expect window 145 visible\n"
      "expect window 156 visible\n"
      "expect web 145 1077 \"" +
      shared.browserPageUrl +
      "\"\n"
      "expect browser-fills 145 1077\n"
      "advance 1s\n"
      "screenshot \"web-browser-page.png\"\n"
      "key 145 1077 apps\n"
      "expect windows 145 0\n"
      "advance 600ms\n"
      "expect windows 156 0\n";
  ASSERT_TRUE(p.runner.LoadText(script, "browser page"));
  online::CWebbrowserDlg page;
  page.DoModal();
  EXPECT_FALSE(p.runner.Failed()) << p.runner.Report();
  EXPECT_EQ(shared.navBarOpen, 0);
}

// Shown, the advertisement meets the corner of the client area Windows gives
// a maximised window: the work area less a caption, not the work area itself.
TEST(Win32Advertisement, AShownAdvertisementSitsInTheFullScreenClientAreasCorner) {
  BrowserPageOnWin32 p;
  platform::sim::SimPlatform sim;  // no server answers: the first fetch stays silent
  app::ServicesScope services(sim.Get());
  app::Shared().adVisibilityRequest = 1;
  auto* ad = ui::Dialog::OpenModeless<online::CWebadDlg>(nullptr, [] {});
  ASSERT_NE(ad, nullptr);
  ui::Rect placed{};
  p.runner.AddCommand("note-rect", [&](ui::ScenarioContext&, const ui::ScenarioCommand&) {
    placed = ad->GetWindowRect();
    return true;
  });
  ASSERT_TRUE(p.runner.LoadText("advance 2500ms\nnote-rect\n", "advertisement"));
  p.backend->RunMessageLoop();
  ad->DestroyWindow();
  EXPECT_FALSE(p.runner.Failed()) << p.runner.Report();
  EXPECT_EQ(app::Shared().adShown, 1);
  EXPECT_EQ(placed.right, GetSystemMetrics(SM_CXFULLSCREEN));
  EXPECT_EQ(placed.bottom, GetSystemMetrics(SM_CYFULLSCREEN));
  EXPECT_GT(placed.Width(), 1);
}

}  // namespace
