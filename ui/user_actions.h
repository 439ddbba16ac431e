#pragma once
#include <functional>
#include <optional>
#include <string>
#include <utility>
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

// The user's side of a run: a backend calls Step whenever its loop has nothing
// else to do; Step performs one action, which may itself open nested loops.
class Script {
 public:
  virtual ~Script() = default;
  // False when the script has nothing more to do.
  virtual bool Step() = 0;
};

// What a user can do to the program and read off the screen, beyond what the
// Backend already answers. Each backend implements it by acting on its own
// widgets, so the same scenario runs everywhere. Called on the UI thread.
// Actions answer false when a user could not have done them (a disabled or
// hidden control, a window behind a modal one, ...); ActionError says why.
class UserActions {
 public:
  virtual ~UserActions() = default;

  // The script loops consult when idle. When it runs out while a loop is
  // running, the backend ends every loop as a quit would (exit code 0).
  virtual void SetScript(Script* script) = 0;
  virtual bool ScriptExhausted() = 0;
  virtual std::string ActionError() = 0;

  // Live windows made from the template, oldest first.
  virtual std::vector<WindowId> FindWindows(int templateId) = 0;
  virtual int TemplateOf(WindowId window) = 0;
  virtual bool IsModalRunning(WindowId window) = 0;

  virtual bool Click(WindowId window, int controlId) = 0;
  virtual bool DoubleClick(WindowId window, int controlId) = 0;
  // Replaces the edit's text as typing would (the limit applies), raising the
  // change notification.
  virtual bool Type(WindowId window, int controlId, const std::string& text) = 0;
  // Opens the combo's list and picks an entry with the mouse: the selection is
  // taken, then close-up, then selection change, as the system sends them.
  virtual bool ChooseCombo(WindowId window, int controlId, int index) = 0;
  // Types into the edit part of an editable combo.
  virtual bool TypeCombo(WindowId window, int controlId, const std::string& text) = 0;
  // Clicks a list-view item (-1: empty space) in a column.
  virtual bool ClickList(WindowId window, int controlId, int item, int subItem) = 0;
  virtual bool DoubleClickList(WindowId window, int controlId, int item, int subItem) = 0;
  // A key press with the focus on `controlId` (0: the dialog itself).
  virtual bool PressKey(WindowId window, int controlId, int virtualKey, unsigned modifiers) = 0;
  // Presses the left button at `from` (client pixels), moves to `to`, releases.
  virtual bool Drag(WindowId window, Point from, Point to) = 0;
  virtual bool DoubleClickAt(WindowId window, Point at) = 0;
  // The system's close command (Alt+F4).
  virtual bool SystemClose(WindowId window) = 0;
  virtual bool SystemCommand(WindowId window, unsigned command) = 0;

  virtual std::optional<MessageBoxView> OpenMessageBox() = 0;
  virtual bool AnswerMessageBox(int result) = 0;

  virtual std::vector<TrayIconView> TrayIcons() = 0;
  virtual bool ClickTray(WindowId owner, int iconId, std::uint32_t mouseMessage) = 0;

  // Presses and releases the right button in the middle of a control. The
  // page's PreTranslateMessage sees the press first; `takenByPage` tells
  // whether it kept the press from the control (a web view would otherwise
  // open its own menu).
  virtual bool RightClick(WindowId window, int controlId, bool& takenByPage) = 0;

  // The answer the next file or folder picker gives (nullopt: cancelled).
  virtual void SetNextPickerAnswer(std::optional<std::string> path) = 0;

  // A web view loading a page: the control reports the navigation as the
  // browser would, before it happens.
  virtual bool WebNavigateByUser(WindowId window, int controlId, const std::string& url,
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
  // The window's caption as the title bar shows it.
  virtual std::string WindowCaption(WindowId window) = 0;
  virtual std::optional<FontSpec> ControlFont(WindowId window, int controlId) = 0;
  virtual std::optional<ImageList> ListImages(WindowId window, int controlId) = 0;
  virtual CtlColor ControlColor(WindowId window, int controlId) = 0;
  virtual int EditLimit(WindowId window, int controlId) = 0;
  // Selected byte range of an edit: start, end.
  virtual std::pair<int, int> EditSelection(WindowId window, int controlId) = 0;
  virtual void Repaint(WindowId window) = 0;

  // Saves a PNG of a window (0: the whole screen); false when not supported.
  virtual bool Screenshot(WindowId window, const std::string& path) = 0;
};

}  // namespace ui
