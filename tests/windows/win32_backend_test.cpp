// The dialog framework on real Win32 windows, under Wine: the same semantics
// the headless backend promises, with the system's own loops, timers and boxes.
#include <gtest/gtest.h>

#include "platform/windows/win32.h"

#include <commctrl.h>

#include <atomic>
#include <thread>

#include "tests/ui/backend_contract.h"
#include "tests/ui/test_dialogs.h"
#include "ui/backend/win32/win32_backend.h"
#include "ui/backend/win32/win32_port.h"

namespace uitest {
namespace {

using ui::IDCANCEL;
using ui::IDOK;

// The Win32 backend with a scenario runner as its user.
struct Win32Harness {
  std::unique_ptr<ui::win32::Win32Backend> backend = ui::win32::CreateWin32Backend();
  ui::ScenarioRunner runner{*backend, *backend};

  Win32Harness() {
    ui::Backend::SetCurrent(backend.get());
    RegisterTestTemplates();
    backend->SetScript(&runner);
  }
  ~Win32Harness() {
    if (backend) backend->SetScript(nullptr);
    ui::Backend::SetCurrent(nullptr);
  }
  bool Script(const std::string& text) { return runner.LoadText(text, "test"); }
};

// The dialog's own window: other test programs on the display have dialogs
// of the same class and caption.
HWND HwndOf(const ui::Dialog& dlg) {
  return ui::win32::CurrentPort()->Hwnd(dlg.GetSafeHwnd());
}

struct Win32PortUnderTest : PortUnderTest {
  std::unique_ptr<ui::win32::Win32Backend> port = ui::win32::CreateWin32Backend();
  ui::Backend& backend() override { return *port; }
  ui::UserActions& user() override { return *port; }
};

INSTANTIATE_TEST_SUITE_P(Win32, BackendContract,
                         ::testing::Values(PortFactory{
                             "Win32", [] { return std::make_unique<Win32PortUnderTest>(); }}),
                         PortName);

TEST(Win32Templates, ControlsAreTheSystemsOwnAtTheirDialogUnits) {
  constexpr int kTemplate = 601;
  ui::DialogTemplate t;
  t.id = kTemplate;
  t.width = 226;
  t.height = 147;
  t.style = ui::ds::kPopup | ui::ds::kVisible | ui::ds::kSysMenu;
  t.fontFace = "微软雅黑";
  t.fontPoints = 12;
  using ui::ControlKind;
  namespace cs = ui::cs;
  t.controls = {
      {1, ControlKind::Static, "标签", {7, 18, 27, 8}, cs::kRight},
      {2, ControlKind::Bitmap, "", {211, 0, 8, 8}, cs::kNotify, 130},
      {3, ControlKind::Button, "确定", {10, 40, 50, 14}, cs::kDefault},
      {4, ControlKind::CheckBox, "记住", {70, 40, 50, 14}, 0},
      {5, ControlKind::Edit, "", {10, 60, 80, 14}, cs::kPassword | cs::kBorder},
      {6, ControlKind::Edit, "", {100, 60, 80, 30}, cs::kMultiline | cs::kWantReturn},
      {7, ControlKind::ComboBox, "", {10, 95, 60, 60}, cs::kDropList},
      {8, ControlKind::ComboBox, "", {80, 95, 60, 60}, cs::kDropDown},
      {9, ControlKind::ListView, "", {7, 30, 212, 72}, cs::kIconView | cs::kSingleSel},
      {10, ControlKind::ListView, "", {150, 95, 70, 40}, cs::kReportView | cs::kHidden},
  };
  ui::RegisterTemplate(t);
  struct Expect {
    int id;
    const wchar_t* windowClass;
    LONG_PTR styleBits;
  };
  const Expect expected[] = {
      {1, L"Static", SS_RIGHT},
      {2, L"Static", SS_BITMAP | SS_NOTIFY},
      {3, L"Button", BS_DEFPUSHBUTTON},
      {4, L"Button", BS_AUTOCHECKBOX},
      {5, L"Edit", ES_PASSWORD},
      {6, L"Edit", ES_MULTILINE | ES_WANTRETURN},
      {7, L"ComboBox", CBS_DROPDOWNLIST},
      {8, L"ComboBox", CBS_DROPDOWN},
      {9, WC_LISTVIEWW, LVS_ICON | LVS_SINGLESEL},
      {10, WC_LISTVIEWW, LVS_REPORT},
  };

  Win32Harness h;
  TestDlg dlg(kTemplate);
  ASSERT_TRUE(dlg.Create());
  HWND dialog = HwndOf(dlg);
  ASSERT_NE(dialog, nullptr);
  RECT unit{0, 0, 226, 147};
  MapDialogRect(dialog, &unit);
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, unit.right) << "the size is in the font's dialog units";
  EXPECT_EQ(client.bottom, unit.bottom);

  for (const Expect& e : expected) {
    SCOPED_TRACE(e.id);
    HWND control = GetDlgItem(dialog, e.id);
    ASSERT_NE(control, nullptr);
    wchar_t name[64];
    GetClassNameW(control, name, 64);
    EXPECT_STREQ(name, e.windowClass);
    EXPECT_EQ(GetWindowLongPtrW(control, GWL_STYLE) & e.styleBits, e.styleBits);
    // The dialog manager maps position and size each on its own.
    const ui::ControlTemplate* source = t.FindControl(e.id);
    RECT r{source->rect.x, source->rect.y, source->rect.w, source->rect.h};
    MapDialogRect(dialog, &r);
    RECT actual;
    GetWindowRect(control, &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, r.left);
    EXPECT_EQ(actual.top, r.top);
    if (e.id != 2 && e.id != 7 && e.id != 8) {  // bitmaps take their size, combos their list's
      EXPECT_EQ(actual.right - actual.left, r.right);
      EXPECT_EQ(actual.bottom - actual.top, r.bottom);
    }
  }
  EXPECT_EQ(dlg.GetDlgItemText(1), "标签");
  EXPECT_FALSE(dlg.GetDlgItem(10).IsWindowVisible());
}

TEST(Win32MessageBoxes, TheSystemsBoxIsAnsweredFromTheScript) {
  struct Case {
    const char* name;
    const char* script;
    int answer;
    bool fails;
  };
  const Case cases[] = {
      {"ok",
       u8"click 501 10\nmsgbox ok text=\"要继续吗？\" caption=\"系统提示\" buttons=okcancel "
       u8"icon=question\nexpect text 501 13 \"1\"\n",
       IDOK, false},
      {"cancel", "click 501 10\nmsgbox cancel\n", IDCANCEL, false},
      {"nobody expected it", "click 501 10\nclick 501 12\n", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Win32Harness h;
    int answer = -5;
    TestDlg dlg(kOuter);
    dlg.onClick = [&] {
      answer = dlg.MessageBox("要继续吗？", "系统提示", ui::mb::kOkCancel | ui::mb::kIconQuestion);
      dlg.SetDlgItemText(kLabel, std::to_string(answer));
    };
    ASSERT_TRUE(h.Script(c.script));
    dlg.DoModal();
    EXPECT_EQ(h.runner.Failed(), c.fails) << h.runner.Report();
    if (!c.fails) {
      EXPECT_EQ(answer, c.answer);
    }
  }
}

// A page that keeps Escape and Enter from the dialog manager, as pages do.
class FilterDlg : public TestDlg {
 public:
  FilterDlg() : TestDlg(kOuter) {}
  bool filter = true;
  std::vector<unsigned> keys;

 protected:
  bool PreTranslateMessage(const ui::Message& m) override {
    if (m.message != ui::msg::kKeyDown) return false;
    keys.push_back(static_cast<unsigned>(m.wParam) | (m.modifiers << 16));
    return filter && (m.wParam == ui::key::kEscape || m.wParam == ui::key::kReturn);
  }
};

TEST(Win32Keys, PreTranslateMessageSeesKeysBeforeTheDialogManager) {
  {
    Win32Harness h;
    FilterDlg dlg;
    ASSERT_TRUE(
        h.Script("key 501 esc\nkey 501 11 enter\nkey 501 11 ctrl+a\n"
                 "expect window 501 visible\n"));
    EXPECT_EQ(dlg.DoModal(), -1) << "ends only when the script runs out";
    EXPECT_FALSE(h.runner.Failed()) << h.runner.Report();
    EXPECT_EQ(dlg.keys, (std::vector<unsigned>{ui::key::kEscape, ui::key::kReturn,
                                               ui::key::kA | (ui::mod::kCtrl << 16)}));
  }
  {
    Win32Harness h;
    FilterDlg dlg;
    dlg.filter = false;
    ASSERT_TRUE(h.Script("key 501 esc\n"));
    EXPECT_EQ(dlg.DoModal(), IDCANCEL) << "the dialog manager turns Escape into IDCANCEL";
  }
}

TEST(Win32Controls, TypingCountsGbkBytesAndNeverSplitsACharacter) {
  Win32Harness h;
  TestDlg dlg(kOuter);
  dlg.Create();
  ui::Edit edit(&dlg, kEdit);
  edit.SetLimitText(5);
  ASSERT_TRUE(h.backend->Type(dlg.GetSafeHwnd(), kEdit, "ab中文字"));
  EXPECT_EQ(dlg.GetDlgItemText(kEdit), "ab中");
  ASSERT_TRUE(h.backend->Type(dlg.GetSafeHwnd(), kEdit, "a\r\nb"));
  EXPECT_EQ(dlg.GetDlgItemText(kEdit), "ab");
  dlg.GetDlgItem(kButton).EnableWindow(false);
  EXPECT_FALSE(h.backend->Click(dlg.GetSafeHwnd(), kButton));
}

// Labels on the page background: no brush, and transparent text where asked.
class ColorDlg : public TestDlg {
 public:
  ColorDlg() : TestDlg(kOuter) {}

 protected:
  ui::CtlColor OnCtlColor(int id) override {
    if (id == kLabel) return {true, true};
    if (id == kCheck) return {true, false};
    return {};
  }
};

TEST(Win32Paint, LabelsGetTheHollowBrushAndTheTransparentModeTheyAskFor) {
  Win32Harness h;
  ColorDlg dlg;
  dlg.Create();
  HWND dialog = HwndOf(dlg);
  ASSERT_NE(dialog, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  struct Case {
    int id;
    bool hollow;
    int mode;
  };
  for (const Case& c :
       {Case{kLabel, true, TRANSPARENT}, Case{kCheck, true, OPAQUE}, Case{kEdit, false, OPAQUE}}) {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(1, 2, 3));
    const LRESULT brush = SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(GetDlgItem(dialog, c.id)));
    EXPECT_EQ(brush == reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), c.hollow) << c.id;
    EXPECT_EQ(GetBkMode(dc), c.mode) << c.id;
    // The base handling ran first: text that keeps the opaque mode has the
    // dialog's face colour behind it.
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_3DFACE)) << c.id;
  }
  DeleteDC(dc);
}

// A themed check box with the hollow brush asks its page for the background
// under it: it shows the page's own painting, not the dialog's grey.
class SkinnedDlg : public ColorDlg {
 protected:
  void OnPaint(ui::PaintContext& paint) override {
    paint.FillRect(paint.ClientRect(), ui::Rgb(200, 30, 30));
  }
};

// Controls made while it lives are the themed ones of common controls 6, as
// Orvane.exe's manifest asks for them.
class ThemedControls {
 public:
  ThemedControls() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + L"orvane-themed.manifest";
    const char manifest[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
        "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
        "processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"
        "</dependentAssembly></dependency></assembly>";
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, manifest, sizeof(manifest) - 1, &written, nullptr);
    CloseHandle(file);
    ACTCTXW context{};
    context.cbSize = sizeof(context);
    context.lpSource = path_.c_str();
    handle_ = CreateActCtxW(&context);
    active_ = handle_ != INVALID_HANDLE_VALUE && ActivateActCtx(handle_, &cookie_);
  }
  ~ThemedControls() {
    if (active_) DeactivateActCtx(0, cookie_);
    if (handle_ != INVALID_HANDLE_VALUE) ReleaseActCtx(handle_);
    DeleteFileW(path_.c_str());
  }
  bool active() const { return active_; }

 private:
  std::wstring path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};

TEST(Win32Paint, AHollowCheckBoxShowsThePageUnderIt) {
  Win32Harness h;
  ThemedControls themed;
  ASSERT_TRUE(themed.active());
  SkinnedDlg dlg;
  dlg.Create();
  dlg.SetWindowPos(40, 40);
  HWND check = GetDlgItem(HwndOf(dlg), kCheck);
  ASSERT_NE(check, nullptr);
  InvalidateRect(check, nullptr, TRUE);
  for (int i = 0; i < 10; ++i) {
    ui::win32::CurrentPort()->Pump();
    Sleep(30);
  }
  // Beside the short caption, at the control's right end, is background only.
  RECT r;
  GetWindowRect(check, &r);
  HDC screen = GetDC(nullptr);
  const COLORREF seen = GetPixel(screen, r.right - 3, (r.top + r.bottom) / 2);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(seen, RGB(200, 30, 30));
}

}  // namespace
}  // namespace uitest

namespace uitest {
namespace {

// A page's background drag: the press posts a caption press to itself.
class DragDlg : public TestDlg {
 public:
  DragDlg() : TestDlg(kOuter) {}

 protected:
  void OnLButtonDown(ui::Point) override { PostMessage(ui::msg::kNcLButtonDown, ui::kHitCaption); }
};

TEST(Win32Mouse, DraggingTheBackgroundMovesTheWindowButNotFromAButton) {
  Win32Harness h;
  DragDlg dlg;
  dlg.Create();
  dlg.SetWindowPos(100, 100);
  const ui::Rect before = dlg.GetWindowRect();
  ASSERT_TRUE(h.backend->Drag(dlg.GetSafeHwnd(), {150, 100}, {190, 130}));
  EXPECT_EQ(dlg.GetWindowRect(),
            ui::Rect::FromSize(before.left + 40, before.top + 30, before.Width(), before.Height()));
  // A press on the button stays the button's.
  RECT button;
  GetWindowRect(GetDlgItem(HwndOf(dlg), kButton), &button);
  const ui::Rect moved = dlg.GetWindowRect();
  const ui::Point onButton{button.left - moved.left + 2, button.top - moved.top + 2};
  ASSERT_TRUE(h.backend->Drag(dlg.GetSafeHwnd(), onButton, {onButton.x + 50, onButton.y}));
  EXPECT_EQ(dlg.GetWindowRect(), moved);
}

class TrayDlg : public TestDlg {
 public:
  TrayDlg() : TestDlg(kOuter) { OnMessage(ui::msg::kUser + 1, &TrayDlg::OnTray); }
  std::vector<std::intptr_t> mouse;

 private:
  std::intptr_t OnTray(std::uintptr_t, std::intptr_t lParam) {
    mouse.push_back(lParam);
    return 0;
  }
};

TEST(Win32Tray, TheIconReportsMouseMessagesToItsOwner) {
  Win32Harness h;
  TrayDlg dlg;
  dlg.Create();
  const ui::WindowId owner = dlg.GetSafeHwnd();
  ASSERT_TRUE(h.backend->TrayAdd(owner, 151, 151, "Orvane", ui::msg::kUser + 1));
  EXPECT_FALSE(h.backend->TrayAdd(owner, 151, 151, "Orvane", ui::msg::kUser + 1))
      << "adding again changes nothing";
  ASSERT_EQ(h.backend->TrayIcons().size(), 1u);
  EXPECT_EQ(h.backend->TrayIcons()[0].tip, "Orvane");
  ASSERT_TRUE(h.backend->ClickTray(owner, 151, ui::msg::kRButtonDown));
  EXPECT_EQ(dlg.mouse, std::vector<std::intptr_t>{ui::msg::kRButtonDown});
  EXPECT_TRUE(h.backend->TrayDelete(owner, 151));
  EXPECT_TRUE(h.backend->TrayIcons().empty());
}

TEST(Win32Resources, TheExecutableCarriesTheProgramsResources) {
  HMODULE self = GetModuleHandleW(nullptr);
  struct Resource {
    int id;
    const wchar_t* type;
  };
  for (const Resource& r :
       {Resource{128, RT_GROUP_ICON}, Resource{151, RT_GROUP_ICON}, Resource{142, RT_BITMAP},
        Resource{155, RT_BITMAP}, Resource{130, RT_BITMAP}, Resource{136, L"WAVE"},
        Resource{138, L"WAVE"}, Resource{139, L"WAVE"}}) {
    EXPECT_NE(FindResourceW(self, MAKEINTRESOURCEW(r.id), r.type), nullptr) << r.id;
  }
  wchar_t about[64] = {};
  LoadStringW(self, 101, about, 64);
  EXPECT_STREQ(about, L"\u5173\u4E8E Orvane(&A)...");

  // The page background goes through StretchBlt over the whole client area.
  Win32Harness h;
  class SkinDlg : public TestDlg {
   public:
    SkinDlg() : TestDlg(kOuter) {}

   protected:
    void OnPaint(ui::PaintContext& paint) override { paint.StretchBitmap(142, paint.ClientRect()); }
  } dlg;
  dlg.Create();
  h.backend->Repaint(dlg.GetSafeHwnd());
  const ui::Rect client = dlg.GetClientRect();
  EXPECT_EQ(h.backend->PaintLog(dlg.GetSafeHwnd()),
            std::vector<std::string>{"bitmap 142 0 0 " + std::to_string(client.Width()) + " " +
                                     std::to_string(client.Height())});
}

#ifdef ORVANE_EXE
TEST(Win32Resources, OrvaneExeAsksForAdministratorRightsAndIsDpiAware) {
  HMODULE exe = LoadLibraryExW(ORVANE_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const char* data = static_cast<const char*>(LockResource(LoadResource(exe, found)));
  const std::string manifest(data, SizeofResource(exe, found));
  EXPECT_NE(manifest.find(R"(level="requireAdministrator" uiAccess="false")"), std::string::npos);
  EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
  FreeLibrary(exe);
}
#endif

}  // namespace
}  // namespace uitest

namespace uitest {
namespace {

// Works the system's open-file dialog from a thread timer, as a person would:
// types `typed` into the file name box and presses OK, or cancels.
std::wstring g_typed;
VOID CALLBACK AnswerFileDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM found) -> BOOL {
        wchar_t name[16];
        GetClassNameW(hwnd, name, 16);
        // The page is disabled under the modal dialog; the dialog is not.
        if (std::wstring(name) == L"#32770" && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
          *reinterpret_cast<HWND*>(found) = hwnd;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  KillTimer(nullptr, timer);
  if (g_typed.empty()) {
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  SetDlgItemTextW(box, 0x47C, g_typed.c_str());  // the file name box
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST(Win32Pickers, TheSystemsOpenDialogAnswersWithTheChosenFileInGbk) {
  Win32Harness h;
  h.backend->SetScript(nullptr);
  TestDlg dlg(kOuter);
  dlg.Create();
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring file = std::wstring(temp) + L"\u4EFB\u52A1.txt";  // 任务.txt
  CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const std::vector<ui::FileFilter> filters = {{"文本文件", "*.txt"}, {"所有文件", "*.*"}};

  g_typed = file;
  SetTimer(nullptr, 0, 200, AnswerFileDialog);
  const std::optional<std::string> chosen = h.backend->PickOpenFile(dlg.GetSafeHwnd(), filters);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->substr(chosen->size() - 8), "任务.txt");

  g_typed.clear();
  SetTimer(nullptr, 0, 200, AnswerFileDialog);
  EXPECT_FALSE(h.backend->PickOpenFile(dlg.GetSafeHwnd(), filters).has_value());

  h.backend->SetNextPickerAnswer(std::string("C:\\脚本给的.txt"));
  EXPECT_EQ(h.backend->PickOpenFile(dlg.GetSafeHwnd(), filters), "C:\\脚本给的.txt")
      << "a scenario's answer is taken without a dialog";
  DeleteFileW(file.c_str());
}

}  // namespace
}  // namespace uitest
