#pragma once
#include "platform/windows/win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ui/backend/common/window_book.h"
#include "ui/backend/win32/win32_backend.h"

namespace ui::win32 {

class WebHost;

// What the port keeps beside a control's own window.
struct Win32Control : common::ControlRecord {
  int id = 0;
  HWND hwnd = nullptr;
  HFONT hfont = nullptr;
  HIMAGELIST himages = nullptr;
  std::shared_ptr<WebHost> web;  // a web view's browser control; null: the stand-in label
};

// One drawing operation of a window's last paint.
struct PaintOp {
  enum class Kind { Bitmap, Icon, Fill } kind = Kind::Fill;
  int resource = 0;
  Rect rect;
  Color color = 0;
};

struct Win32Window : common::WindowRecord {
  WindowId id = 0;
  HWND hwnd = nullptr;
  std::map<int, Win32Control> controls;
  // The last paint, drawn again for a control that asks for its parent's
  // background (WM_PRINTCLIENT) without running the page's paint once more.
  std::vector<PaintOp> paintOps;
};

class Win32Port : public Win32Backend {
 public:
  Win32Port();
  ~Win32Port() override;

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
  Size ScreenSize() override;
  Size WorkAreaSize() override;
  Size FullScreenClientSize() override;
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

  // --- used by the window procedures ----------------------------------------------
  INT_PTR DialogMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void DeliverNextPosted();
  void ScriptTimer();

  Win32Window* Find(WindowId window);
  Win32Window* FindByHwnd(HWND hwnd);
  Win32Control* FindControl(WindowId window, int id);
  HWND Hwnd(WindowId window);
  HWND ControlHwnd(WindowId window, int id);

  // Web views (win32_web.cpp). The class of control that web views host; a
  // test names one that does not exist to see the stand-in.
  void UseWebControlClass(const GUID& classId);
  // The page's own navigation: true when the dialog lets it go.
  bool WebDecide(WindowId window, int id, const std::string& url, bool newWindow);
  void WebLoaded(WindowId window, int id, const std::string& url);

  // Resources of the running executable, loaded once; null when missing.
  HBITMAP Bitmap(int bitmapId);
  HICON Icon(int iconId, int size);

 private:
  struct PostedMessage {
    WindowId window = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::unique_ptr<Payload> payload;
  };
  struct Box {
    MessageBoxView view;
    HWND hwnd = nullptr;    // found once the system has made it
    bool answered = false;  // the script waits until the box has returned
  };

  // Windows (win32_windows.cpp).
  bool InitDialog(HWND hwnd, Win32Window& w);
  void Detach(Win32Window& w);
  // The page's PreTranslateMessage; true when it kept the message.
  bool PageTakes(const MSG& msg);
  bool PreTranslate(MSG& msg);
  // Takes one message off the queue and handles it; false when there was none.
  bool ProcessOne();
  // Runs a loop until `done`, a quit, or the script runs out; the script acts
  // whenever the loop is idle.
  void RunLoopUntil(const std::function<bool()>& done);
  // Processes messages for `milliseconds` of real time without driving the script.
  void RunFor(unsigned milliseconds);
  void Notify(Win32Window& w, const NMHDR& header, LPARAM lParam, INT_PTR& result);
  void Command(Win32Window& w, WPARAM wParam, LPARAM lParam);
  // Painting (win32_paint.cpp).
  void Paint(Win32Window& w);
  void PrintClient(const Win32Window& w, HDC dc);
  // Controls (win32_controls.cpp).
  void SetupControls(Win32Window& w);
  void EnforceEditLimit(Win32Window& w, Win32Control& c);
  // Web views (win32_web.cpp).
  void StartWebView(Win32Window& w, Win32Control& c);
  // Offers a key to the browser control it was typed into; true when taken.
  bool WebKeyTaken(MSG& msg);
  // The user's side (win32_user.cpp).
  Win32Control* Reachable(WindowId window, int id);
  bool Fail(std::string why);
  void SendCommand(Win32Window& w, int id, int code);
  void SendMouse(Win32Window& w, UINT message, Point at);
  // System dialogs with loops of their own (win32_system.cpp): the script
  // acts from a thread timer.
  class SystemLoopScope;

  common::WindowBook<Win32Window> windows_;
  std::map<HWND, WindowId> byHwnd_;
  WindowId nextWindow_ = 0x100;
  std::uint64_t sequence_ = 0;
  const DialogTemplate* creating_ = nullptr;
  WindowClient* creatingClient_ = nullptr;
  WindowId creatingOwner_ = 0;
  int quiet_ = 0;  // programmatic changes: no edit-limit checks
  int loopDepth_ = 0;

  HWND messageWindow_ = nullptr;
  std::mutex postMutex_;
  std::deque<PostedMessage> posted_;

  std::vector<std::unique_ptr<Box>> boxes_;  // innermost last
  std::map<common::TrayKey, common::TrayRecord> tray_;
  std::optional<std::optional<std::string>> pickerAnswer_;
  UINT_PTR scriptTimer_ = 0;
  bool inScriptTimer_ = false;

  bool oleTried_ = false;
  bool oleStarted_ = false;
  GUID webClass_;

  std::map<int, HBITMAP> bitmaps_;
  std::map<std::pair<int, int>, HICON> icons_;

  Script* script_ = nullptr;
  bool scriptExhausted_ = false;
  bool quit_ = false;
  int exitCode_ = 0;
  bool driving_ = false;  // a driver action is under way
  std::string actionError_;

  friend class DrivingScope;
};

// The port of this process (one UI thread, one port).
Win32Port* CurrentPort();

// Text at the edge: the program's GBK and the controls' UTF-16.
std::wstring W(std::string_view gbk);
std::string N(std::wstring_view utf16);
using common::CutGbk;
// Byte offset in GBK text <-> UTF-16 offset.
int Utf16Before(std::string_view gbk, int byteOffset);
int GbkBytesBefore(std::string_view gbk, int utf16Offset);
// A control's text as the program holds it.
std::string WindowTextOf(HWND hwnd);

// Writes a 24-bit top-down BGR image as a PNG file.
bool WritePng(const std::wstring& path, int width, int height,
              const std::vector<std::uint8_t>& bgr);

}  // namespace ui::win32
