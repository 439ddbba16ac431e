#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ui/dialog_template.h"
#include "ui/geometry.h"
#include "ui/messages.h"
#include "ui/paint.h"
#include "ui/payload.h"

namespace ui {

// A window as the backend knows it; 0 is no window.
using WindowId = std::uint32_t;

// What a window tells its owner object. Dialog implements it.
class WindowClient {
 public:
  virtual ~WindowClient() = default;
  virtual void Attached(WindowId window) = 0;
  virtual bool HandleInitDialog() = 0;
  // True when the message was consumed before normal processing.
  virtual bool HandlePreTranslate(const Message& message) = 0;
  virtual std::intptr_t HandleMessage(const Message& message) = 0;
  virtual std::intptr_t HandleNotification(const Notification& notification) = 0;
  virtual void HandlePosted(std::uint32_t message, std::uintptr_t wParam,
                            std::unique_ptr<Payload> payload) = 0;
  virtual void HandlePaint(PaintContext& paint) = 0;
  virtual CtlColor HandleCtlColor(int controlId) = 0;
  // The window is being destroyed: called while its state still answers, and
  // the last call the object receives for it (the object may delete itself).
  virtual void Detached() = 0;
};

struct FileFilter {
  std::string description;  // GBK, e.g. "所有文件"
  std::string pattern;      // e.g. "*.*"
};

// What a window system port provides, in four narrow parts. All calls except
// Post come from the user-interface thread. Rectangles are pixels: window
// rectangles in screen coordinates, client rectangles from 0, 0.

// Windows and their loops, placement, timers and posting (<port>_windows.cpp).
class WindowPort {
 public:
  virtual ~WindowPort() = default;

  virtual WindowId CreateDialogWindow(const DialogTemplate& dialogTemplate, WindowId owner,
                                      WindowClient& client) = 0;
  virtual void DestroyWindow(WindowId window) = 0;
  virtual bool IsWindow(WindowId window) = 0;
  // Runs a nested loop for a modal window, its owner disabled, until EndModal
  // or a quit; answers the EndModal result, or -1 when a quit ended it.
  virtual int RunModal(WindowId window) = 0;
  virtual void EndModal(WindowId window, int result) = 0;
  // Runs the top-level loop until a quit; answers the exit code.
  virtual int RunMessageLoop() = 0;
  // Ends every loop; the process is to end with `exitCode`.
  virtual void PostQuit(int exitCode) = 0;
  virtual bool QuitPosted() = 0;
  virtual int ExitCode() = 0;

  virtual void Show(WindowId window, ShowCommand command) = 0;
  virtual bool IsVisible(WindowId window) = 0;
  virtual void EnableWindow(WindowId window, bool enable) = 0;
  virtual bool IsEnabled(WindowId window) = 0;
  virtual Rect GetWindowRect(WindowId window) = 0;
  virtual Rect GetClientRect(WindowId window) = 0;
  virtual void MoveWindow(WindowId window, const Rect& rect) = 0;
  virtual void SetTopmost(WindowId window, bool topmost) = 0;
  virtual bool IsTopmost(WindowId window) = 0;
  virtual Size ScreenSize() = 0;
  // The screen less the task bar and other docked bars.
  virtual Size WorkAreaSize() = 0;
  // The client area of a maximised window with a caption. Windows counts the
  // caption off the work area; elsewhere it is the work area.
  virtual Size FullScreenClientSize() { return WorkAreaSize(); }
  virtual void SetWindowText(WindowId window, std::string_view text) = 0;
  virtual void SetForeground(WindowId window) = 0;
  // Starts moving the window with the mouse, as a press on a caption would.
  virtual void BeginDrag(WindowId window, Point clientPoint) = 0;

  // Setting a running timer id again restarts its period.
  virtual void SetTimer(WindowId window, int timerId, unsigned periodMs) = 0;
  virtual void KillTimer(WindowId window, int timerId) = 0;

  // Thread-safe. Messages to one window arrive in the order posted.
  virtual void Post(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                    std::unique_ptr<Payload> payload) = 0;
};

// The numbered controls of a window (<port>_controls.cpp).
class ControlPort {
 public:
  virtual ~ControlPort() = default;

  virtual std::string GetControlText(WindowId window, int id) = 0;
  virtual void SetControlText(WindowId window, int id, std::string_view text) = 0;
  virtual void EnableControl(WindowId window, int id, bool enable) = 0;
  virtual bool IsControlEnabled(WindowId window, int id) = 0;
  virtual void ShowControl(WindowId window, int id, bool show) = 0;
  virtual bool IsControlVisible(WindowId window, int id) = 0;
  // A control's rectangle in client pixels; moving or resizing it.
  virtual Rect GetControlRect(WindowId window, int id) = 0;
  virtual void MoveControl(WindowId window, int id, const Rect& rect) = 0;
  virtual int GetCheck(WindowId window, int id) = 0;
  virtual void SetCheck(WindowId window, int id, int state) = 0;
  virtual void SetEditLimit(WindowId window, int id, int bytes) = 0;
  virtual void SetEditSelection(WindowId window, int id, int start, int end) = 0;
  virtual void SetControlBitmap(WindowId window, int id, int bitmapId) = 0;
  virtual void SetControlFont(WindowId window, int id, const FontSpec& font) = 0;
  virtual void SetFocus(WindowId window, int id) = 0;
  virtual int GetFocus(WindowId window) = 0;

  virtual int ComboAddString(WindowId window, int id, std::string_view text) = 0;
  virtual void ComboReset(WindowId window, int id) = 0;
  virtual int ComboCount(WindowId window, int id) = 0;
  virtual std::string ComboItemText(WindowId window, int id, int index) = 0;
  virtual int ComboGetSel(WindowId window, int id) = 0;
  virtual void ComboSetSel(WindowId window, int id, int index) = 0;

  virtual void ListSetImageList(WindowId window, int id, const ImageList& images) = 0;
  virtual void ListSetColors(WindowId window, int id, Color background, Color textBackground) = 0;
  virtual void ListInsertColumn(WindowId window, int id, int column, std::string_view title,
                                int width, bool centred) = 0;
  virtual void ListDeleteAllItems(WindowId window, int id) = 0;
  virtual int ListInsertItem(WindowId window, int id, int index, std::string_view text,
                             int image) = 0;
  virtual void ListSetItemText(WindowId window, int id, int item, int subItem,
                               std::string_view text) = 0;
  virtual std::string ListItemText(WindowId window, int id, int item, int subItem) = 0;
  virtual int ListItemCount(WindowId window, int id) = 0;
  virtual int ListColumnCount(WindowId window, int id) = 0;
  virtual int ListSelected(WindowId window, int id) = 0;

  virtual void WebNavigate(WindowId window, int id, std::string_view url) = 0;
  virtual std::string WebLocation(WindowId window, int id) = 0;
  // One step through the web view's history: -1 back, +1 forward. False when
  // there is no page that way (nothing moves then).
  virtual bool WebGo(WindowId window, int id, int delta) = 0;
  virtual void WebRefresh(WindowId window, int id) = 0;
};

// Message boxes, pickers, the system menu and the tray (<port>_system.cpp).
class SystemPort {
 public:
  virtual ~SystemPort() = default;

  // Modal; `owner` may be 0. Answers IDOK, IDCANCEL, IDYES or IDNO.
  virtual int MessageBox(WindowId owner, std::string_view text, std::string_view caption,
                         unsigned type) = 0;
  virtual std::optional<std::string> PickOpenFile(WindowId owner,
                                                  const std::vector<FileFilter>& filters) = 0;
  virtual std::optional<std::string> PickFolder(WindowId owner, std::string_view title) = 0;
  // Adds an entry to the window's system menu; choosing it sends
  // WM_SYSCOMMAND with `command`.
  virtual void AppendSystemMenu(WindowId window, unsigned command, std::string_view text) = 0;
  // Notification-area icon; mouse messages arrive as `callbackMessage` with
  // the mouse message number in lParam.
  virtual bool TrayAdd(WindowId owner, int iconId, int iconResource, std::string_view tip,
                       std::uint32_t callbackMessage) = 0;
  virtual bool TrayDelete(WindowId owner, int iconId) = 0;
};

// Asking for paints (<port>_paint.cpp); the paint itself reaches the window's
// object through WindowClient::HandlePaint.
class PaintPort {
 public:
  virtual ~PaintPort() = default;

  virtual void Invalidate(WindowId window, const std::optional<Rect>& rect, bool erase) = 0;
  // The part of the window under one of its controls, where the port knows it.
  virtual void InvalidateControl(WindowId window, int id, bool erase) = 0;
};

// A whole port.
class Backend : public WindowPort, public ControlPort, public SystemPort, public PaintPort {
 public:
  // The backend the program runs on; set once at start (tests set their own).
  static Backend& Current();
  static void SetCurrent(Backend* backend);
};

}  // namespace ui
