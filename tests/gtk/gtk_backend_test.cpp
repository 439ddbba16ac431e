// The GTK port on a real display: what the headless backend cannot show,
// because it comes from the GLib main loop, real time and real widgets.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <ostream>
#include <thread>
#include <vector>

#include "tests/ui/backend_contract.h"
#include "ui/backend/gtk/gtk_port.h"
#include "ui/controls.h"
#include "ui/dialog.h"

namespace ui {
void PrintTo(const Rect& r, std::ostream* out) {
  *out << r.left << "," << r.top << " " << r.Width() << "x" << r.Height();
}
}  // namespace ui

namespace {

using ui::gtk::GtkPort;

constexpr int kTemplate = 9101;
constexpr int kInnerTemplate = 9102;
constexpr int kWebTemplate = 9103;
constexpr int kComboTemplate = 9104;
constexpr int kWebIconTemplate = 9105;
constexpr int kWeb = 2006;
constexpr int kCombo = 2007;
constexpr int kLabel = 2001;
constexpr int kEdit = 2002;
constexpr int kButton = 2003;
constexpr int kNotes = 2004;
constexpr int kDone = 2005;
constexpr std::uint32_t kPosted = ui::msg::kUser + 7;
constexpr std::uint32_t kTrayCallback = ui::msg::kUser + 1;

void RegisterTestTemplates() {
  ui::DialogTemplate outer;
  outer.id = kTemplate;
  outer.width = 160;
  outer.height = 90;
  outer.style = ui::ds::kPopup;
  outer.fontFace = "微软雅黑";
  outer.fontPoints = 12;
  outer.controls = {
      {kLabel, ui::ControlKind::Static, "标签", {5, 5, 40, 8}, 0, 0},
      {kEdit, ui::ControlKind::Edit, "", {5, 20, 60, 12}, ui::cs::kBorder, 0},
      {kButton, ui::ControlKind::Button, "打开", {70, 20, 40, 14}, 0, 0},
      {kNotes, ui::ControlKind::Edit, "", {5, 40, 100, 30}, ui::cs::kMultiline, 0},
  };
  ui::RegisterTemplate(outer);
  ui::DialogTemplate inner = outer;
  inner.id = kInnerTemplate;
  inner.controls = {{kDone, ui::ControlKind::Button, "完成", {5, 5, 40, 14}, 0, 0}};
  ui::RegisterTemplate(inner);
  ui::DialogTemplate web = outer;
  web.id = kWebTemplate;
  web.controls = {{kWeb, ui::ControlKind::WebView, "", {0, 0, 160, 90}, 0, 0},
                  {kLabel, ui::ControlKind::Static, "x", {150, 0, 10, 10}, 0, 0}};
  ui::RegisterTemplate(web);
  ui::DialogTemplate webIcon = web;
  webIcon.id = kWebIconTemplate;
  webIcon.controls[1] = {kButton,          ui::ControlKind::Static, "x",
                         {150, 0, 10, 10}, ui::cs::kNotify,         0};
  ui::RegisterTemplate(webIcon);
  ui::DialogTemplate combo = outer;
  combo.id = kComboTemplate;
  combo.controls = {{kCombo, ui::ControlKind::ComboBox, "", {5, 5, 80, 60}, ui::cs::kDropList, 0}};
  ui::RegisterTemplate(combo);
}

// Counts payloads freed, to see each freed exactly once.
std::atomic<int> g_freed{0};
struct CountedPayload : ui::Payload {
  explicit CountedPayload(int v) : value(v) {}
  ~CountedPayload() override { ++g_freed; }
  int value;
};

class TestDialog : public ui::Dialog {
 public:
  explicit TestDialog(int templateId, ui::Dialog* parent = nullptr)
      : ui::Dialog(templateId, parent) {
    OnClicked(kButton, &TestDialog::OnButton);
    OnClicked(kDone, &TestDialog::OnDoneButton);
    OnPosted(kPosted, &TestDialog::OnPostedValue);
    OnMessage(kTrayCallback, &TestDialog::OnTray);
    OnMessage(ui::msg::kSize, &TestDialog::OnSize);
  }
  std::function<void()> onButton;
  std::function<void()> onDone;
  std::function<void(int)> onTimer;
  std::vector<int> received;
  std::vector<std::string> seen;   // mouse, keys and commands, in order
  std::vector<std::string> sizes;  // size changes: kind, width x height
  bool dragByBackground = false;

 protected:
  void OnTimer(int timerId) override {
    if (onTimer) onTimer(timerId);
  }
  void OnLButtonDown(ui::Point point) override {
    seen.push_back("down " + std::to_string(point.x) + "," + std::to_string(point.y));
    if (dragByBackground) PostMessage(ui::msg::kNcLButtonDown, ui::kHitCaption);
  }
  bool PreTranslateMessage(const ui::Message& message) override {
    if (message.message == ui::msg::kKeyDown) {
      seen.push_back("key " + std::to_string(message.wParam) + " on " +
                     std::to_string(message.controlId));
    }
    return false;
  }
  void OnCancel() override { seen.push_back("cancel"); }
  void OnOK() override { seen.push_back("ok"); }

 private:
  void OnButton() {
    seen.push_back("button");
    if (onButton) onButton();
  }
  void OnDoneButton() {
    if (onDone) onDone();
  }
  std::intptr_t OnTray(std::uintptr_t iconId, std::intptr_t mouse) {
    seen.push_back("tray " + std::to_string(iconId) + " " + std::to_string(mouse));
    return 0;
  }
  std::intptr_t OnSize(std::uintptr_t kind, std::intptr_t size) {
    sizes.push_back(std::to_string(kind) + " " + std::to_string(ui::SizeWidth(size)) + "x" +
                    std::to_string(ui::SizeHeight(size)));
    return 0;
  }
  void OnPostedValue(std::uintptr_t, std::unique_ptr<ui::Payload> payload) {
    received.push_back(static_cast<CountedPayload&>(*payload).value);
  }
};

// Records what a drop list reports, with the selection it has at that moment.
class ComboDialog : public ui::Dialog {
 public:
  ComboDialog() : ui::Dialog(kComboTemplate) {
    OnCommand(ui::notify::kComboCloseUp, kCombo, &ComboDialog::OnCloseUp);
    OnCommand(ui::notify::kComboSelChange, kCombo, &ComboDialog::OnSelChange);
  }
  std::vector<std::string> seen;

 private:
  std::string Selected() { return std::to_string(ui::ComboBox(this, kCombo).GetCurSel()); }
  void OnCloseUp() { seen.push_back("close-up " + Selected()); }
  void OnSelChange() { seen.push_back("selection change " + Selected()); }
};

// A user made of steps; the loops run one whenever they are idle.
class Steps : public ui::Script {
 public:
  std::vector<std::function<void()>> steps;
  bool Step() override {
    if (next_ >= steps.size()) return false;
    steps[next_++]();
    return true;
  }

 private:
  std::size_t next_ = 0;
};

// The state changes a window manager reports as the user iconifies the window
// and brings it back.
void IconifiedAndBackByTheWindowManager(GtkWidget* top) {
  for (const GdkWindowState state : {GDK_WINDOW_STATE_ICONIFIED, GdkWindowState(0)}) {
    GdkEventWindowState event{};
    event.type = GDK_WINDOW_STATE;
    event.window = gtk_widget_get_window(top);
    event.changed_mask = GDK_WINDOW_STATE_ICONIFIED;
    event.new_window_state = state;
    gboolean handled = FALSE;
    g_signal_emit_by_name(top, "window-state-event", &event, &handled);
  }
}

class GtkBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int argc = 0;
    char** argv = nullptr;
    // Simulated input arrives as core X events, which GDK reads only when
    // told to: the effect on our handlers is the same.
    g_setenv("GDK_CORE_DEVICE_EVENTS", "1", TRUE);
    backend_ = ui::gtk::CreateGtkBackend(argc, argv);
    if (!backend_) GTEST_SKIP() << "no display";
    port_ = static_cast<GtkPort*>(backend_.get());
    ui::Backend::SetCurrent(port_);
    RegisterTestTemplates();
  }
  void TearDown() override {
    ui::Backend::SetCurrent(nullptr);
    backend_.reset();
  }

  std::unique_ptr<ui::gtk::GtkBackend> backend_;
  GtkPort* port_ = nullptr;
};

TEST_F(GtkBackendTest, ControlsSitAtTheirTemplateRectanglesAndKeepGbkText) {
  TestDialog dialog(kTemplate);
  ASSERT_TRUE(dialog.Create());
  dialog.ShowWindow(ui::ShowCommand::Show);
  port_->Repaint(dialog.GetSafeHwnd());

  // Every control exactly where its template puts it, whatever the theme wants.
  for (int id : {kLabel, kEdit, kButton, kNotes}) {
    SCOPED_TRACE(id);
    const ui::gtk::GtkControl* c = port_->FindControl(dialog.GetSafeHwnd(), id);
    ASSERT_NE(c, nullptr);
    GtkAllocation a;
    gtk_widget_get_allocation(c->outer, &a);
    EXPECT_EQ(ui::Rect::FromSize(a.x, a.y, a.width, a.height), c->rect);
  }
  EXPECT_EQ(dialog.GetClientRect(), ui::Rect::FromSize(0, 0, 320, 180));

  // A person typing is held to the byte limit, in whole GBK characters.
  port_->SetEditLimit(dialog.GetSafeHwnd(), kEdit, 5);
  GtkWidget* entry = port_->FindControl(dialog.GetSafeHwnd(), kEdit)->widget;
  int position = 0;
  gtk_editable_insert_text(GTK_EDITABLE(entry), u8"你好吗", -1, &position);
  EXPECT_EQ(dialog.GetDlgItemText(kEdit), "你好");

  // Multi-line text keeps its CR LF line ends, also once a person edits it.
  dialog.SetDlgItemText(kNotes, "一\r\n二");
  EXPECT_EQ(dialog.GetDlgItemText(kNotes), "一\r\n二");
  GtkTextBuffer* buffer = gtk_text_view_get_buffer(
      GTK_TEXT_VIEW(port_->FindControl(dialog.GetSafeHwnd(), kNotes)->widget));
  GtkTextIter end;
  gtk_text_buffer_get_end_iter(buffer, &end);
  gtk_text_buffer_insert(buffer, &end, u8"\n三", -1);
  EXPECT_EQ(dialog.GetDlgItemText(kNotes), "一\r\n二\r\n三");
}

// A person's mouse and keys, through the X server, reach the page as the
// driver's actions do: labels let clicks through, Escape and Enter pass
// PreTranslateMessage first, and the background drags the window.
TEST_F(GtkBackendTest, RealMouseAndKeysReachThePageLikeTheDriversActions) {
  TestDialog dialog(kTemplate);
  dialog.dragByBackground = true;
  ASSERT_TRUE(dialog.Create());
  dialog.MoveWindow(ui::Rect::FromSize(100, 100, 320, 180));
  dialog.ShowWindow(ui::ShowCommand::Show);
  port_->Repaint(dialog.GetSafeHwnd());
  GdkWindow* window = gtk_widget_get_window(port_->Find(dialog.GetSafeHwnd())->toplevel);
  ASSERT_NE(window, nullptr);
  auto click = [&](int x, int y) {
    gdk_test_simulate_button(window, x, y, 1, GdkModifierType(0), GDK_BUTTON_PRESS);
    gdk_test_simulate_button(window, x, y, 1, GDK_BUTTON1_MASK, GDK_BUTTON_RELEASE);
    port_->WaitUntil([] { return false; }, 600);  // past the double-click time
  };

  click(20, 14);   // on the label: it lets the click through
  click(160, 50);  // on the button
  gtk_widget_grab_focus(port_->FindControl(dialog.GetSafeHwnd(), kEdit)->widget);
  gdk_test_simulate_key(window, -1, -1, GDK_KEY_Escape, GdkModifierType(0), GDK_KEY_PRESS);
  gdk_test_simulate_key(window, -1, -1, GDK_KEY_Return, GdkModifierType(0), GDK_KEY_PRESS);
  port_->WaitUntil([&] { return dialog.seen.size() >= 6; }, 2000);
  EXPECT_EQ(dialog.seen, (std::vector<std::string>{"down 20,14", "button", "key 27 on 2002",
                                                   "cancel", "key 13 on 2002", "ok"}));

  // Without a window manager the backend moves the window itself.
  gdk_test_simulate_button(window, 200, 150, 1, GdkModifierType(0), GDK_BUTTON_PRESS);
  port_->WaitUntil([] { return false; }, 100);
  gdk_test_simulate_button(window, 240, 170, 1, GDK_BUTTON1_MASK, GDK_BUTTON_RELEASE);
  port_->WaitUntil([&] { return dialog.GetWindowRect().left != 100; }, 2000);
  EXPECT_EQ(dialog.GetWindowRect(), ui::Rect::FromSize(140, 120, 320, 180));
}

// A modal page takes the keyboard, and the input from its owner only: a
// person's click still reaches a modeless window such as a reminder, also
// under the page's message box.
TEST_F(GtkBackendTest, RealClicksReachAModelessWindowWhileAPageRunsModally) {
  TestDialog owner(kTemplate);
  TestDialog reminder(kTemplate);
  ASSERT_TRUE(owner.Create());
  ASSERT_TRUE(reminder.Create());
  reminder.MoveWindow(ui::Rect::FromSize(600, 100, 320, 180));
  reminder.ShowWindow(ui::ShowCommand::Show);
  port_->Repaint(reminder.GetSafeHwnd());
  GdkWindow* window = gtk_widget_get_window(port_->Find(reminder.GetSafeHwnd())->toplevel);
  ASSERT_NE(window, nullptr);
  auto clickReminder = [&] {
    const std::size_t before = reminder.seen.size();
    gdk_test_simulate_button(window, 160, 50, 1, GdkModifierType(0), GDK_BUTTON_PRESS);
    gdk_test_simulate_button(window, 160, 50, 1, GDK_BUTTON1_MASK, GDK_BUTTON_RELEASE);
    port_->WaitUntil([&] { return reminder.seen.size() > before; }, 2000);
    port_->WaitUntil([] { return false; }, 600);  // past the double-click time
  };

  TestDialog page(kInnerTemplate, &owner);
  page.onDone = [&] {
    page.MessageBox("任务添加成功！", "Orvane", ui::mb::kOk);
    page.EndDialog(ui::IDCANCEL);
  };
  Steps user;
  user.steps = {
      [&] {
        // The page has the keyboard, with or without a window manager.
        GtkWindow* top = GTK_WINDOW(port_->Find(page.GetSafeHwnd())->toplevel);
        EXPECT_TRUE(port_->WaitUntil([&] { return gtk_window_is_active(top) == TRUE; }, 2000));
      },
      clickReminder,
      [&] { EXPECT_TRUE(port_->Click(page.GetSafeHwnd(), kDone)) << port_->ActionError(); },
      clickReminder,  // under the message box
      [&] { EXPECT_TRUE(port_->AnswerMessageBox(ui::IDOK)); },
  };
  port_->SetScript(&user);
  page.DoModal();
  port_->SetScript(nullptr);
  EXPECT_EQ(reminder.seen, (std::vector<std::string>{"button", "button"}));
}

// Picking an entry from the open list, as GTK carries out a click on it: the
// close-up already sees the new selection, and the selection change follows.
TEST_F(GtkBackendTest, PickingFromAnOpenListReportsCloseUpWithTheNewSelection) {
  ComboDialog dialog;
  ASSERT_TRUE(dialog.Create());
  for (const char* entry : {"直接替换", "范围替换", "包含标记替换"}) {
    ui::ComboBox(&dialog, kCombo).AddString(entry);
  }
  dialog.ShowWindow(ui::ShowCommand::Show);
  port_->Repaint(dialog.GetSafeHwnd());
  GtkComboBox* combo = GTK_COMBO_BOX(port_->FindControl(dialog.GetSafeHwnd(), kCombo)->widget);
  auto pick = [&](int index) {
    gtk_combo_box_popup(combo);
    GtkWidget* menu =
        gtk_accessible_get_widget(GTK_ACCESSIBLE(gtk_combo_box_get_popup_accessible(combo)));
    ASSERT_TRUE(GTK_IS_MENU_SHELL(menu));
    ASSERT_TRUE(port_->WaitUntil([&] { return gtk_widget_get_mapped(menu) == TRUE; }, 2000));
    GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
    gtk_menu_shell_activate_item(
        GTK_MENU_SHELL(menu), GTK_WIDGET(g_list_nth_data(items, static_cast<guint>(index))), TRUE);
    g_list_free(items);
    port_->WaitUntil([] { return false; }, 300);
  };

  pick(1);
  pick(0);
  EXPECT_EQ(dialog.seen, (std::vector<std::string>{"close-up 1", "selection change 1", "close-up 0",
                                                   "selection change 0"}));
}

TEST_F(GtkBackendTest, TrayIconReportsClicksToItsWindowAndGoesWithIt) {
  auto dialog = std::make_unique<TestDialog>(kTemplate);
  ASSERT_TRUE(dialog->Create());
  const ui::WindowId window = dialog->GetSafeHwnd();
  const std::string longTip(200, 'x');
  EXPECT_TRUE(port_->TrayAdd(window, 151, 151, longTip, kTrayCallback));
  EXPECT_FALSE(port_->TrayAdd(window, 151, 151, "Orvane", kTrayCallback));  // already there
  ASSERT_EQ(port_->TrayIcons().size(), 1u);
  EXPECT_EQ(port_->TrayIcons()[0].tip, std::string(127, 'x'));

  EXPECT_TRUE(port_->ClickTray(window, 151, ui::msg::kRButtonUp));
  EXPECT_EQ(dialog->seen, std::vector<std::string>{"tray 151 517"});
  EXPECT_TRUE(port_->TrayDelete(window, 151));
  EXPECT_FALSE(port_->ClickTray(window, 151, ui::msg::kLButtonUp));

  EXPECT_TRUE(port_->TrayAdd(window, 151, 151, "Orvane", kTrayCallback));
  dialog.reset();
  EXPECT_TRUE(port_->TrayIcons().empty());
}

// With no notification area to show its icon (Xvfb has none), a window hidden
// behind its tray icon waits iconified in the task bar rather than vanishing,
// and coming back from there reaches the page as a click on the icon.
TEST_F(GtkBackendTest, WithoutANotificationAreaATrayHiddenWindowWaitsInTheTaskBar) {
  TestDialog dialog(kTemplate);
  ASSERT_TRUE(dialog.Create());
  dialog.ShowWindow(ui::ShowCommand::Show);
  port_->Pump();
  ASSERT_TRUE(port_->TrayAdd(dialog.GetSafeHwnd(), 151, 151, "Orvane", kTrayCallback));
  dialog.ShowWindow(ui::ShowCommand::Hide);
  port_->Pump();
  GtkWidget* top = port_->Find(dialog.GetSafeHwnd())->toplevel;
  EXPECT_FALSE(port_->IsVisible(dialog.GetSafeHwnd()));
  EXPECT_TRUE(gtk_widget_get_mapped(top));

  dialog.sizes.clear();
  IconifiedAndBackByTheWindowManager(top);
  EXPECT_EQ(dialog.seen, std::vector<std::string>{"tray 151 513"});
  EXPECT_TRUE(dialog.sizes.empty());

  // Shown again by the program, it is an ordinary window; without an icon it hides as always.
  dialog.ShowWindow(ui::ShowCommand::Restore);
  EXPECT_TRUE(port_->IsVisible(dialog.GetSafeHwnd()));
  ASSERT_TRUE(port_->TrayDelete(dialog.GetSafeHwnd(), 151));
  dialog.ShowWindow(ui::ShowCommand::Hide);
  port_->Pump();
  EXPECT_FALSE(gtk_widget_get_mapped(top));
}

TEST_F(GtkBackendTest, NestedModalRunsAndAnsweredMessageBoxEndInOrder) {
  TestDialog outer(kTemplate);
  std::vector<std::string> events;
  Steps user;
  int innerResult = 0;
  int boxResult = 0;
  ui::WindowId outerWindow = 0;
  outer.onButton = [&] {
    TestDialog inner(kInnerTemplate, &outer);
    inner.onDone = [&] {
      boxResult = inner.MessageBox("继续吗？", "系统提示", ui::mb::kYesNo | ui::mb::kIconQuestion);
      events.push_back("box answered");
      inner.EndDialog(5);
    };
    innerResult = inner.DoModal();
    events.push_back("inner ended");
  };
  user.steps = {
      [&] {
        outerWindow = outer.GetSafeHwnd();
        EXPECT_TRUE(port_->Click(outerWindow, kButton)) << port_->ActionError();
        events.push_back("click returned");
        outer.EndDialog(ui::IDOK);
      },
      [&] {
        // Inside the inner loop: the owner is disabled and out of the user's reach.
        EXPECT_FALSE(port_->IsEnabled(outerWindow));
        EXPECT_FALSE(port_->Click(outerWindow, kButton));
        const auto inner = port_->FindWindows(kInnerTemplate);
        ASSERT_EQ(inner.size(), 1u);
        EXPECT_TRUE(port_->Click(inner[0], kDone)) << port_->ActionError();
      },
      [&] {
        auto box = port_->OpenMessageBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->caption, "系统提示");
        EXPECT_FALSE(port_->AnswerMessageBox(ui::IDOK));  // a Yes/No box has no OK
        EXPECT_TRUE(port_->AnswerMessageBox(ui::IDNO));
      },
  };
  port_->SetScript(&user);
  const int outerResult = outer.DoModal();
  port_->SetScript(nullptr);

  EXPECT_EQ(boxResult, ui::IDNO);
  EXPECT_EQ(innerResult, 5);
  EXPECT_EQ(outerResult, ui::IDOK);
  EXPECT_EQ(events, (std::vector<std::string>{"box answered", "inner ended", "click returned"}));
  EXPECT_FALSE(port_->ScriptExhausted());
}

using uitest::BackendContract;

struct GtkPortUnderTest : uitest::PortUnderTest {
  std::unique_ptr<ui::gtk::GtkBackend> port;
  ui::Backend& backend() override { return *port; }
  ui::UserActions& user() override { return *port; }
};

INSTANTIATE_TEST_SUITE_P(Gtk, BackendContract,
                         ::testing::Values(uitest::PortFactory{
                             "Gtk",
                             []() -> std::unique_ptr<uitest::PortUnderTest> {
                               int argc = 0;
                               char** argv = nullptr;
                               g_setenv("GDK_CORE_DEVICE_EVENTS", "1", TRUE);
                               auto made = std::make_unique<GtkPortUnderTest>();
                               made->port = ui::gtk::CreateGtkBackend(argc, argv);
                               if (!made->port) return nullptr;
                               return made;
                             }}),
                         uitest::PortName);

// A minimised window's page hears a 0 x 0 size, as on Windows, and its size
// again on restore: when the program minimises it (no window manager on
// Xvfb iconifies anything) and when the window manager reports it.
TEST_F(GtkBackendTest, MinimisingReportsAZeroSizeAndRestoringTheSizeBack) {
  TestDialog dialog(kTemplate);
  ASSERT_TRUE(dialog.Create());
  dialog.ShowWindow(ui::ShowCommand::Show);
  port_->Pump();
  dialog.sizes.clear();
  dialog.ShowWindow(ui::ShowCommand::Minimize);
  dialog.ShowWindow(ui::ShowCommand::Minimize);
  dialog.ShowWindow(ui::ShowCommand::Restore);
  EXPECT_EQ(dialog.sizes, (std::vector<std::string>{"1 0x0", "0 320x180"}));

  dialog.sizes.clear();
  GtkWidget* top = port_->Find(dialog.GetSafeHwnd())->toplevel;
  IconifiedAndBackByTheWindowManager(top);
  EXPECT_EQ(dialog.sizes, (std::vector<std::string>{"1 0x0", "0 320x180"}));
  EXPECT_EQ(dialog.GetClientRect(), ui::Rect::FromSize(0, 0, 320, 180));
}

// The WebKit view is made when its control first shows on the screen: a
// shown window waiting off the screen, or passing over it on its way off,
// makes none, and the view starts at the address the program last chose.
// A static that reports clicks over a web view (the advertisement's close
// icon) keeps the mouse once the view has been made under it.
TEST_F(GtkBackendTest, AClickableStaticOverAWebViewGetsTheRealClick) {
  TestDialog dialog(kWebIconTemplate);
  ASSERT_TRUE(dialog.Create());
  const ui::WindowId window = dialog.GetSafeHwnd();
  dialog.MoveWindow(ui::Rect::FromSize(600, 100, 320, 180));
  dialog.ShowWindow(ui::ShowCommand::Show);
  port_->WebNavigate(window, kWeb, "about:blank");
  ASSERT_TRUE(
      port_->WaitUntil([&] { return port_->FindControl(window, kWeb)->webViewMade; }, 2000));
  port_->WaitUntil([] { return false; }, 500);
  GdkWindow* top = gtk_widget_get_window(port_->Find(window)->toplevel);
  gdk_test_simulate_button(top, 310, 8, 1, GdkModifierType(0), GDK_BUTTON_PRESS);
  gdk_test_simulate_button(top, 310, 8, 1, GDK_BUTTON1_MASK, GDK_BUTTON_RELEASE);
  port_->WaitUntil([&] { return !dialog.seen.empty(); }, 2000);
  EXPECT_EQ(dialog.seen, std::vector<std::string>{"button"});
}

TEST_F(GtkBackendTest, WebViewIsMadeWhenItFirstShowsOnTheScreen) {
  TestDialog dialog(kWebTemplate);
  ASSERT_TRUE(dialog.Create());
  const ui::WindowId window = dialog.GetSafeHwnd();
  auto made = [&] { return port_->FindControl(window, kWeb)->webViewMade; };
  dialog.MoveWindow(ui::Rect::FromSize(-320, -180, 320, 180));
  dialog.ShowWindow(ui::ShowCommand::Show);
  port_->WebNavigate(window, kWeb, "about:blank#one");
  port_->WebNavigate(window, kWeb, "about:blank#two");
  port_->WaitUntil(made, 300);
  EXPECT_FALSE(made());

  // Shrunk at the origin, then off the screen again, before the loop idles.
  dialog.MoveWindow(ui::Rect::FromSize(0, 0, 1, 1));
  dialog.MoveWindow(ui::Rect::FromSize(-320, -180, 1, 1));
  port_->WaitUntil(made, 300);
  EXPECT_FALSE(made());

  // Back and forward before it exists move among the addresses asked for.
  EXPECT_TRUE(port_->WebGo(window, kWeb, -1));
  EXPECT_FALSE(port_->WebGo(window, kWeb, -1));
  EXPECT_EQ(port_->WebLocation(window, kWeb), "about:blank#one");

  dialog.MoveWindow(ui::Rect::FromSize(900, 800, 320, 180));
  ASSERT_TRUE(port_->WaitUntil(made, 2000));
  GtkWidget* view = port_->FindControl(window, kWeb)->widget;
  EXPECT_STREQ(G_OBJECT_TYPE_NAME(view), "WebKitWebView");
  auto uri = [&] {
    gchar* value = nullptr;
    g_object_get(view, "uri", &value, nullptr);
    std::string text = value ? value : "";
    g_free(value);
    return text;
  };
  port_->WaitUntil([&] { return !uri().empty(); }, 5000);
  EXPECT_EQ(uri(), "about:blank#one");
  EXPECT_EQ(port_->WebLocation(window, kWeb), "about:blank#one");
  // With a web process already running the address comes before the layout.
  port_->WaitUntil([&] { return gtk_widget_get_allocated_width(view) > 1; }, 2000);
  GtkAllocation a;
  gtk_widget_get_allocation(view, &a);
  EXPECT_EQ(ui::Rect::FromSize(a.x, a.y, a.width, a.height), ui::Rect::FromSize(0, 0, 320, 180));

  // It keeps its place under the control that the template puts over it.
  GList* children = gtk_container_get_children(GTK_CONTAINER(port_->Find(window)->layout));
  const int viewAt = g_list_index(children, port_->FindControl(window, kWeb)->outer);
  const int labelAt = g_list_index(children, port_->FindControl(window, kLabel)->outer);
  g_list_free(children);
  EXPECT_LT(viewAt, labelAt);
  EXPECT_GE(viewAt, 0);
}

}  // namespace
