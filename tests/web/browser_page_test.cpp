#include <gtest/gtest.h>

#include "online/endpoints.h"
#include "online/webbrowser_dlg.h"
#include "tests/web/web_fixture.h"

namespace {

using webtest::Opener;
using webtest::WebPages;

std::string Server(const std::string& path) {
  return online::VendorServer() + path;
}

// The browser page opened by the opener's button with `url`; the script acts
// from the opener's loop, so it sees what stays after the page has closed.
std::string RunBrowser(WebPages& p, const std::string& url, const std::string& script) {
  app::Shared().browserPageUrl = url;
  Opener opener([] {
    online::CWebbrowserDlg page;
    page.DoModal();
  });
  return p.Run(opener, script);
}

std::string NavigationPage() {
  return app::Shared().urls.navigationPageUrl + "?dlu=1&dl=100001&pd=secret";
}

TEST(BrowserRules, VendorSitesByKeyword) {
  struct Case {
    const char* url;
    bool vendor;
  };
  const Case cases[] = {
      {"http://www.orvane.test/a", true}, {"http://quorix.example/", true},
      {"http://x.test/?to=tandel", true}, {"http://www.Orvane.test/", false},
      {"http://example.com/", false},     {"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(online::IsVendorSite(c.url), c.vendor) << c.url;
  }
}

TEST(BrowserRules, NavigationPageBySubstring) {
  const std::string nav = "http://h/Too/daohang.php";
  EXPECT_TRUE(online::IsNavigationPage(nav, nav));
  EXPECT_TRUE(online::IsNavigationPage(nav + "?dlu=1&dl=1&pd=2", nav));
  EXPECT_TRUE(online::IsNavigationPage("http://other/?go=" + nav, nav));
  EXPECT_FALSE(online::IsNavigationPage("http://h/Too/daohang.ph", nav));
  EXPECT_FALSE(online::IsNavigationPage("http://h/SoftWare/userroom/stUser.php", nav));
  // Unknown navigation address: nothing is the navigation page.
  EXPECT_FALSE(online::IsNavigationPage("http://h/", ""));
}

TEST(BrowserRules, ScalesEachSideByNewOverOld) {
  struct Case {
    const char* name;
    ui::Rect control;
    int oldW, oldH, newW, newH;
    std::optional<ui::Rect> expected;
  };
  const Case cases[] = {
      {"fills and grows", {0, 0, 800, 520}, 800, 520, 1280, 984, ui::Rect{0, 0, 1280, 984}},
      {"multiplies before dividing",
       {10, 10, 790, 510},
       800,
       520,
       1000,
       700,
       ui::Rect{12, 13, 987, 686}},
      {"shrinks", {0, 0, 1280, 984}, 1280, 984, 640, 492, ui::Rect{0, 0, 640, 492}},
      {"no old width", {0, 0, 800, 520}, 0, 520, 1280, 984, std::nullopt},
      {"no old height", {0, 0, 800, 520}, 800, 0, 1280, 984, std::nullopt},
      {"large sizes do not overflow",
       {0, 0, 60000, 60000},
       60000,
       60000,
       50000,
       50000,
       ui::Rect{0, 0, 50000, 50000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(online::ScaleToClient(c.control, c.oldW, c.oldH, c.newW, c.newH), c.expected);
  }
}

TEST(BrowserPage, EmptyAddressShowsTheVendorHomeMaximised) {
  WebPages p;
  const std::string home = Server("/");
  EXPECT_EQ(RunBrowser(p, "",
                       R"(
    click 501 10
    expect rect 145 0 0 1920 1040
    expect control-rect 145 1077 0 0 1920 1040
    expect web 145 1077 ")" +
                           home + R"("
    expect caption 145 "Orvane"
    expect windows 156 0
    # Escape, Enter and the right button leave the page as it is.
    key 145 esc
    key 145 1077 enter
    right-click 145 1077 page
    expect window 145 visible
    close 145
    expect windows 145 0
  )"),
            "");
  EXPECT_EQ(app::Shared().browserPageUrl, home);
  EXPECT_EQ(app::Shared().navBarOpen, 0);
}

TEST(BrowserPage, PersonalCentreShowsNoBar) {
  WebPages p;
  const std::string personal = Server("/SoftWare/userroom/stUser.php?dlu=1&dl=100001&pd=secret");
  EXPECT_EQ(RunBrowser(p, personal, R"(
    click 501 10
    expect web 145 1077 ")" + personal + R"("
    expect caption 145 "Orvane"
    expect windows 156 0
    advance 600ms
    key 145 apps
    expect windows 145 0
  )"),
            "");
  EXPECT_EQ(app::Shared().navBarOpen, 0);
}

TEST(BrowserPage, NavigationPageWithItsQueryOpensTheBarWhichFollowsThePageOut) {
  WebPages p;
  const std::string nav = NavigationPage();
  EXPECT_EQ(RunBrowser(p, nav,
                       u8R"(
    click 501 10
    expect caption 145 "网址导航"
    expect window 156 visible
    expect window 156 topmost
    expect web 145 1077 ")" +
                           nav + R"("
    key 145 apps
    expect windows 145 0
    expect window 156 visible
    advance 500ms
    expect windows 156 0
  )"),
            "");
}

TEST(BrowserPage, NewWindowsStayInsideOnlyForTheVendorsSites) {
  WebPages p;
  const std::string nav = NavigationPage();
  EXPECT_EQ(RunBrowser(p, nav, R"(
    click 501 10
    web-navigate 145 1077 "http://example.com/page" new-window
    expect call "shell.open http://example.com/page" 1
    expect web 145 1077 ")" + nav + R"("
    # The shell would start a file or program address, not a browser: such a
    # window opens nowhere, a vendor's keyword in it or not.
    web-navigate 145 1077 "file:///C:/Windows/System32/calc.exe" new-window
    web-navigate 145 1077 "C:\\orvane\\run.exe" new-window
    expect no-call "shell.open file:///C:/Windows/System32/calc.exe"
    expect no-call "shell.open C:\\orvane\\run.exe"
    expect web 145 1077 ")" + nav + R"("
    web-navigate 145 1077 "http://www.orvane.test/news" new-window
    expect web 145 1077 "http://www.orvane.test/news"
    expect no-call "shell.open http://www.orvane.test/news"
    expect windows 145 1
    close 145
    advance 500ms
    expect windows 156 0
  )"),
            "");
}

TEST(BrowserPage, BarCommandsHomeBackForwardRefreshAndTheEndsOfTheHistory) {
  WebPages p;
  const std::string nav = NavigationPage();
  EXPECT_EQ(RunBrowser(p, nav,
                       u8R"(
    click 501 10
    web-navigate 145 1077 "http://www.orvane.test/a"
    web-navigate 145 1077 "http://www.orvane.test/b"
    # Home goes back to the address the page was opened with.
    click 156 1102
    expect web 145 1077 "http://www.orvane.test/b"
    advance 500ms
    expect web 145 1077 ")" +
                           nav + u8R"("
    click 156 1103
    advance 500ms
    expect web 145 1077 "http://www.orvane.test/b"
    click 156 1105
    advance 500ms
    expect web 145 1077 ")" +
                           nav + u8R"("
    # Nothing further ahead: the bar says so, once.
    click 156 1105
    advance 500ms
    advance 500ms
    msgbox ok text="已经是最前一个了！"
    advance 1s
    expect msgbox none
    click 156 1104
    advance 500ms
    expect refreshes 145 1077 1
    click 156 1103
    click 156 1103
    click 156 1103
    advance 500ms
    expect web 145 1077 "http://www.orvane.test/b"
    close 145
    advance 500ms
  )"),
            "");
}

TEST(BrowserPage, BackAtTheStartOfTheHistoryIsTold) {
  WebPages p;
  EXPECT_EQ(RunBrowser(p, NavigationPage(),
                       u8R"(
    click 501 10
    click 156 1103
    advance 1s
    msgbox ok text="已经是最后一个了！"
    close 145
    advance 500ms
    expect windows 156 0
  )"),
            "");
}

TEST(BrowserPage, MinimisedAndRestoredTheViewStillFillsThePage) {
  WebPages p;
  EXPECT_EQ(RunBrowser(p, "", R"(
    click 501 10
    syscommand 145 0xF020
    expect control-rect 145 1077 0 0 1920 1040
    syscommand 145 0xF120
    expect control-rect 145 1077 0 0 1920 1040
    expect caption 145 "Orvane"
    close 145
  )"),
            "");
}

TEST(BrowserPage, AZeroSizeIsRememberedAndNeverDividedBy) {
  WebPages p;
  int seenWidth = -1, seenHeight = -1;
  p.h.runner.AddCommand("remembered", [&](ui::ScenarioContext&, const ui::ScenarioCommand&) {
    seenWidth = app::Shared().browserLastClientWidth;
    seenHeight = app::Shared().browserLastClientHeight;
    return true;
  });
  EXPECT_EQ(RunBrowser(p, "", R"(
    click 501 10
    syscommand 145 0xF020
    remembered
    syscommand 145 0xF120
    expect control-rect 145 1077 0 0 1920 1040
    close 145
  )"),
            "");
  EXPECT_EQ(seenWidth, 0);
  EXPECT_EQ(seenHeight, 0);
  EXPECT_EQ(app::Shared().browserLastClientWidth, 1920);
}

}  // namespace
