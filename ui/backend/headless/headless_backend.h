#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/virtual_clock.h"
#include "ui/backend.h"
#include "ui/backend/common/window_book.h"
#include "ui/user_actions.h"

namespace ui::headless {

// The framework in memory: windows and controls are plain records, time is a
// virtual clock, and the user is a script. Everything a user would see can be
// read back. Deterministic: nothing happens unless the script says so.
class HeadlessBackend : public Backend, public UserActions {
 public:
  explicit HeadlessBackend(platform::sim::VirtualClock& clock);
  ~HeadlessBackend() override;

  void SetScreenSize(Size size) { screen_ = size; }
  // Unless set, the work area is the screen above a 40-pixel task bar.
  void SetWorkAreaSize(Size size) { workArea_ = size; }
  platform::sim::VirtualClock& Clock() { return clock_; }
  // How many windows were ever made (tests check that pages close).
  int LiveWindowCount() const { return static_cast<int>(windows_.size()); }
  // What the program set that no scenario command reads: a window's caption,
  // how often a web view was refreshed.
  std::string WindowTitle(WindowId window);
  int WebRefreshes(WindowId window, int id);

  // --- Backend ---------------------------------------------------------------
  WindowId CreateDialogWindow(const DialogTemplate& dialogTemplate, WindowId owner,
                              WindowClient& client) override;
  void DestroyWindow(WindowId window) override;
  bool IsWindow(WindowId window) override;
  int RunModal(WindowId window) override;
  void EndModal(WindowId window, int result) override;
  int RunMessageLoop() override;
  void PostQuit(int exitCode) override;
  bool QuitPosted() override { return quit_; }
  int ExitCode() override { return exitCode_; }

  void Show(WindowId window, ShowCommand command) override;
  bool IsVisible(WindowId window) override;
  void EnableWindow(WindowId window, bool enable) override;
  bool IsEnabled(WindowId window) override;
  Rect GetWindowRect(WindowId window) override;
  Rect GetClientRect(WindowId window) override;
  void MoveWindow(WindowId window, const Rect& rect) override;
  void SetTopmost(WindowId window, bool topmost) override;
  bool IsTopmost(WindowId window) override;
  Size ScreenSize() override { return screen_; }
  Size WorkAreaSize() override;
  void SetWindowText(WindowId window, std::string_view text) override;
  void Invalidate(WindowId window, const std::optional<Rect>& rect, bool erase) override;
  void InvalidateControl(WindowId window, int id, bool erase) override;
  void SetForeground(WindowId window) override;

  std::string GetControlText(WindowId window, int id) override;
  void SetControlText(WindowId window, int id, std::string_view text) override;
  void EnableControl(WindowId window, int id, bool enable) override;
  bool IsControlEnabled(WindowId window, int id) override;
  void ShowControl(WindowId window, int id, bool show) override;
  bool IsControlVisible(WindowId window, int id) override;
  Rect GetControlRect(WindowId window, int id) override;
  void MoveControl(WindowId window, int id, const Rect& rect) override;
  int GetCheck(WindowId window, int id) override;
  void SetCheck(WindowId window, int id, int state) override;
  void SetEditLimit(WindowId window, int id, int bytes) override;
  void SetEditSelection(WindowId window, int id, int start, int end) override;
  void SetControlBitmap(WindowId window, int id, int bitmapId) override;
  void SetControlFont(WindowId window, int id, const FontSpec& font) override;
  void SetFocus(WindowId window, int id) override;
  int GetFocus(WindowId window) override;

  int ComboAddString(WindowId window, int id, std::string_view text) override;
  void ComboReset(WindowId window, int id) override;
  int ComboCount(WindowId window, int id) override;
  std::string ComboItemText(WindowId window, int id, int index) override;
  int ComboGetSel(WindowId window, int id) override;
  void ComboSetSel(WindowId window, int id, int index) override;

  void ListSetImageList(WindowId window, int id, const ImageList& images) override;
  void ListSetColors(WindowId window, int id, Color background, Color textBackground) override;
  void ListInsertColumn(WindowId window, int id, int column, std::string_view title, int width,
                        bool centred) override;
  void ListDeleteAllItems(WindowId window, int id) override;
  int ListInsertItem(WindowId window, int id, int index, std::string_view text, int image) override;
  void ListSetItemText(WindowId window, int id, int item, int subItem,
                       std::string_view text) override;
  std::string ListItemText(WindowId window, int id, int item, int subItem) override;
  int ListItemCount(WindowId window, int id) override;
  int ListColumnCount(WindowId window, int id) override;
  int ListSelected(WindowId window, int id) override;

  void WebNavigate(WindowId window, int id, std::string_view url) override;
  std::string WebLocation(WindowId window, int id) override;
  bool WebGo(WindowId window, int id, int delta) override;
  void WebRefresh(WindowId window, int id) override;

  void SetTimer(WindowId window, int timerId, unsigned periodMs) override;
  void KillTimer(WindowId window, int timerId) override;

  int MessageBox(WindowId owner, std::string_view text, std::string_view caption,
                 unsigned type) override;
  std::optional<std::string> PickOpenFile(WindowId owner,
                                          const std::vector<FileFilter>& filters) override;
  std::optional<std::string> PickFolder(WindowId owner, std::string_view title) override;
  bool TrayAdd(WindowId owner, int iconId, int iconResource, std::string_view tip,
               std::uint32_t callbackMessage) override;
  bool TrayDelete(WindowId owner, int iconId) override;
  void AppendSystemMenu(WindowId window, unsigned command, std::string_view text) override;
  void BeginDrag(WindowId window, Point clientPoint) override;

  void Post(WindowId window, std::uint32_t message, std::uintptr_t wParam,
            std::unique_ptr<Payload> payload) override;

  // --- UserActions -------------------------------------------------------------
  void SetScript(Script* script) override { script_ = script; }
  bool ScriptExhausted() override { return scriptExhausted_; }
  std::string ActionError() override { return actionError_; }

  std::vector<WindowId> FindWindows(int templateId) override;
  int TemplateOf(WindowId window) override;
  bool IsModalRunning(WindowId window) override;

  bool Click(WindowId window, int controlId) override;
  bool DoubleClick(WindowId window, int controlId) override;
  bool Type(WindowId window, int controlId, const std::string& text) override;
  bool ChooseCombo(WindowId window, int controlId, int index) override;
  bool TypeCombo(WindowId window, int controlId, const std::string& text) override;
  bool ClickList(WindowId window, int controlId, int item, int subItem) override;
  bool DoubleClickList(WindowId window, int controlId, int item, int subItem) override;
  bool PressKey(WindowId window, int controlId, int virtualKey, unsigned modifiers) override;
  bool Drag(WindowId window, Point from, Point to) override;
  bool DoubleClickAt(WindowId window, Point at) override;
  bool SystemClose(WindowId window) override;
  bool SystemCommand(WindowId window, unsigned command) override;

  std::optional<MessageBoxView> OpenMessageBox() override;
  bool AnswerMessageBox(int result) override;

  std::vector<TrayIconView> TrayIcons() override;
  bool ClickTray(WindowId owner, int iconId, std::uint32_t mouseMessage) override;
  void SetNextPickerAnswer(std::optional<std::string> path) override;
  bool RightClick(WindowId window, int controlId, bool& takenByPage) override;
  bool WebNavigateByUser(WindowId window, int controlId, const std::string& url,
                         bool newWindow) override;

  void Advance(unsigned milliseconds) override;
  bool SetLocalTime(int year, int month, int day, int hour, int minute, int second) override;
  void Pump() override;
  bool WaitUntil(const std::function<bool()>& done, unsigned milliseconds) override;

  std::vector<std::string> PaintLog(WindowId window) override;
  std::string WindowCaption(WindowId window) override;
  std::optional<FontSpec> ControlFont(WindowId window, int controlId) override;
  std::optional<ImageList> ListImages(WindowId window, int controlId) override;
  CtlColor ControlColor(WindowId window, int controlId) override;
  int EditLimit(WindowId window, int controlId) override;
  std::pair<int, int> EditSelection(WindowId window, int controlId) override;
  void Repaint(WindowId window) override;
  bool Screenshot(WindowId window, const std::string& path) override;

  // A list column as the program inserted it, for tests.
  struct ColumnFormat {
    int width = 0;
    bool centred = false;
  };
  std::vector<ColumnFormat> ListColumnFormats(WindowId window, int controlId);

 private:
  struct Control : common::ControlRecord {
    std::string text;
    int check = 0;
    int selStart = 0;
    int selEnd = 0;
    std::vector<std::string> items;  // combo entries
    int selection = -1;              // combo or list selection
    std::vector<std::string> columns;
    std::vector<ColumnFormat> columnFormats;
    std::vector<std::vector<std::string>> rows;  // list rows: item text, then sub-items
  };
  struct Timer {
    unsigned period = 0;
    std::uint64_t due = 0;
    std::uint64_t order = 0;  // ties fire in the order the timers were set
  };
  struct Window : common::WindowRecord {
    bool visible = false;
    bool minimized = false;
    bool enabled = true;
    bool topmost = false;
    bool dirty = true;
    int focus = 0;
    Rect rect;
    std::string title;
    std::map<int, Control> controls;
    std::map<int, Timer> timers;
    std::vector<std::pair<unsigned, std::string>> systemMenu;  // added entries
  };
  struct PostedMessage {
    WindowId window = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::unique_ptr<Payload> payload;
  };
  struct Box {
    MessageBoxView view;
    WindowId owner = 0;
    bool answered = false;
    int result = 0;
  };

  Window* Find(WindowId window);
  Control* FindControl(WindowId window, int id);
  // The control a user may act on, or null with ActionError set.
  Control* Reachable(WindowId window, int id);
  bool Fail(std::string why);
  void SendCommand(WindowId window, int id, int code);
  void SendNotify(WindowId window, const Notification& notification);
  void PaintWindow(WindowId window, Window& state);
  // Runs a nested loop until `done`, a quit, or the script runs out.
  void RunLoopUntil(const std::function<bool()>& done);
  bool ProcessPosted();

  platform::sim::VirtualClock& clock_;
  Size screen_{1920, 1080};
  std::optional<Size> workArea_;
  common::WindowBook<Window> windows_;
  WindowId nextWindow_ = 0x100;
  std::uint64_t sequence_ = 0;

  std::mutex postMutex_;
  std::deque<PostedMessage> posted_;

  std::vector<std::unique_ptr<Box>> boxes_;  // open message boxes, innermost last
  std::map<common::TrayKey, common::TrayRecord> tray_;
  std::optional<std::optional<std::string>> pickerAnswer_;

  Script* script_ = nullptr;
  bool scriptExhausted_ = false;
  bool quit_ = false;
  int exitCode_ = 0;
  std::string actionError_;
};

}  // namespace ui::headless
