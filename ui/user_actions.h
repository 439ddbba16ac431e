#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/backend.h"

namespace ui {

// A message box as the user sees it.
struct MessageBoxView {
  std::string text;     // GBK
  std::string caption;  // GBK
  unsigned type = 0;    // mb:: bits
};

// Tray icon as the user sees it.
struct TrayIconView {
  WindowId owner = 0;
  int iconId = 0;
  int iconResource = 0;
  std::string tip;
};

// What a user can do to the program and read off the screen, beyond what the
// Backend already answers. Each backend implements it by acting on its own
// widgets, so the same scenario runs everywhere. Called on the UI thread.
class UserActions {
 public:
  virtual ~UserActions() = default;

  // Live windows made from the template, oldest first.
  virtual std::vector<WindowId> FindWindows(int templateId) = 0;
  virtual int TemplateOf(WindowId window) = 0;
  virtual bool IsModalRunning(WindowId window) = 0;

  virtual void Click(WindowId window, int controlId) = 0;
  virtual void DoubleClick(WindowId window, int controlId) = 0;
  // Replaces the edit's text as typing would (the limit applies), raising the
  // change notification.
  virtual void Type(WindowId window, int controlId, const std::string& text) = 0;
  // Opens the combo's list and picks an entry: selection change, then close-up.
  virtual void ChooseCombo(WindowId window, int controlId, int index) = 0;
  // Types into the edit part of an editable combo.
  virtual void TypeCombo(WindowId window, int controlId, const std::string& text) = 0;
  // Clicks a list-view item (-1: empty space) in a column.
  virtual void ClickList(WindowId window, int controlId, int item, int subItem) = 0;
  virtual void DoubleClickList(WindowId window, int controlId, int item, int subItem) = 0;
  // A key press with the focus on `controlId` (0: the dialog itself).
  virtual void PressKey(WindowId window, int controlId, int virtualKey, unsigned modifiers) = 0;
  // Presses the left button at `from` (client pixels), moves to `to`, releases.
  virtual void Drag(WindowId window, Point from, Point to) = 0;
  virtual void DoubleClickAt(WindowId window, Point at) = 0;
  // The system's close command (Alt+F4).
  virtual void SystemClose(WindowId window) = 0;
  virtual void SystemCommand(WindowId window, unsigned command) = 0;

  virtual std::optional<MessageBoxView> OpenMessageBox() = 0;
  virtual void AnswerMessageBox(int result) = 0;

  virtual std::vector<TrayIconView> TrayIcons() = 0;
  virtual void ClickTray(WindowId owner, int iconId, std::uint32_t mouseMessage) = 0;

  // The answer the next file or folder picker gives (nullopt: cancelled).
  virtual void SetNextPickerAnswer(std::optional<std::string> path) = 0;

  // A web view loading a page: the control reports the navigation as the
  // browser would, before it happens.
  virtual void WebNavigateByUser(WindowId window, int controlId, const std::string& url,
                                 bool newWindow) = 0;

  // Time. On the headless backend the virtual clock moves and due timers
  // fire in order; on real toolkits the loop runs for that long.
  virtual void Advance(unsigned milliseconds) = 0;
  virtual bool SetLocalTime(int year, int month, int day, int hour, int minute, int second) = 0;

  // Processes what is pending (posted messages, repaints) and returns.
  virtual void Pump() = 0;
  // Processes pending work for up to `milliseconds` of real time, or until
  // `done` answers true; answers whether it did.
  virtual bool WaitUntil(const std::function<bool()>& done, unsigned milliseconds) = 0;

  // Paint operations of the window's last paint, one line each ("bitmap 142 0 0 452 294").
  virtual std::vector<std::string> PaintLog(WindowId window) = 0;
  virtual std::optional<FontSpec> ControlFont(WindowId window, int controlId) = 0;
  virtual std::optional<ImageList> ListImages(WindowId window, int controlId) = 0;
  virtual CtlColor ControlColor(WindowId window, int controlId) = 0;
  virtual int EditLimit(WindowId window, int controlId) = 0;
  virtual void Repaint(WindowId window) = 0;

  // Saves a PNG of a window (0: the whole screen); false when not supported.
  virtual bool Screenshot(WindowId window, const std::string& path) = 0;
};

}  // namespace ui
