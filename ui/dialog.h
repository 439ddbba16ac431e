#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "ui/backend.h"
#include "ui/controls.h"

namespace ui {

class Dialog;

// Binds controls to members when a dialog initialises (and reads values back
// on OK), the way DoDataExchange does.
class DataExchange {
 public:
  DataExchange(Dialog& dialog, bool saving) : dialog_(dialog), saving_(saving) {}
  bool Saving() const { return saving_; }

  template <class ControlType>
  void Bind(int id, ControlType& control) {
    control = ControlType(&dialog_, id);
  }
  void Text(int id, std::string& value);
  void Check(int id, int& value);

 private:
  Dialog& dialog_;
  bool saving_;
};

// A thread-safe way to post to one window, for worker threads.
class WindowPoster {
 public:
  WindowPoster() = default;
  WindowPoster(Backend* backend, WindowId window) : backend_(backend), window_(window) {}
  void Post(std::uint32_t message, std::uintptr_t wParam,
            std::unique_ptr<Payload> payload = nullptr) const;
  WindowId Window() const { return window_; }

 private:
  Backend* backend_ = nullptr;
  WindowId window_ = 0;
};

// The name message boxes show when they have no caption of their own.
void SetAppName(std::string name);
const std::string& AppName();

// A dialog window made from a numbered template: the base of every window of
// the program. Derived classes bind handlers in their constructor (the message
// map) and override the On... hooks they need.
class Dialog : public WindowClient {
 public:
  explicit Dialog(int templateId, Dialog* parent = nullptr);
  ~Dialog() override;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally; answers the EndDialog result, or -1 when the
  // template is missing or a quit ended the run.
  int DoModal();
  // Makes the dialog as a modeless window; it shows itself when its template
  // says so (or on ShowWindow).
  bool Create(Dialog* parent = nullptr);
  // Makes a page with `new` as a modeless window owned by its parent, shows
  // it, and lets it delete itself when its window goes (so its class must not
  // delete itself in PostNcDestroy). Null, and nothing left over, when the
  // window could not be made.
  template <class Page, class... Args>
  static Page* OpenModeless(Args&&... args) {
    auto* page = new Page(std::forward<Args>(args)...);
    if (!page->Create()) {
      delete page;
      return nullptr;
    }
    page->freesItself_ = true;
    page->ShowWindow(ShowCommand::Show);
    return page;
  }
  void EndDialog(int result);
  void DestroyWindow();

  WindowId GetSafeHwnd() const { return window_; }
  bool IsWindow() const { return window_ != 0; }
  int TemplateId() const { return templateId_; }
  Dialog* GetParent() const { return parent_; }
  bool IsModal() const { return modal_; }

  // --- controls ------------------------------------------------------------
  Control GetDlgItem(int id) { return Control(this, id); }
  std::string GetDlgItemText(int id) const;
  void SetDlgItemText(int id, std::string_view text);
  int IsDlgButtonChecked(int id) const;
  void CheckDlgButton(int id, int state);
  bool UpdateData(bool saveAndValidate = true);

  // --- window --------------------------------------------------------------
  void ShowWindow(ShowCommand command);
  bool IsWindowVisible() const;
  void EnableWindow(bool enable);
  Rect GetWindowRect() const;
  Rect GetClientRect() const;
  void MoveWindow(const Rect& rect);
  void SetWindowPos(int x, int y);  // keeps the size
  void CenterWindow();              // on the desktop
  void SetTopmost(bool topmost);
  void Invalidate(bool erase = true);
  void InvalidateRect(const Rect& rect, bool erase = true);
  // Repaints what lies under a control (a label drawn on the background).
  void InvalidateControl(int id, bool erase = true);
  void SetWindowText(std::string_view text);
  void SetForegroundWindow();

  // --- the screen ------------------------------------------------------------
  Size ScreenSize() const;
  // The screen less the task bar.
  Size WorkAreaSize() const;
  // The client area of a maximised window with a caption.
  Size FullScreenClientSize() const;

  // --- timers, messages ----------------------------------------------------
  void SetTimer(int timerId, unsigned periodMs);
  void KillTimer(int timerId);
  // Caption empty: the application's name.
  int MessageBox(std::string_view text, std::string_view caption = {}, unsigned type = mb::kOk);
  // A message box that belongs to no window, for when none is open.
  static int UnownedMessageBox(std::string_view text, std::string_view caption = {},
                               unsigned type = mb::kOk);
  // The system's file-open dialog, owned by this window: the chosen path, or
  // nothing when the user cancels.
  std::optional<std::string> PickOpenFile(const std::vector<FileFilter>& filters);
  void PostMessage(std::uint32_t message, std::uintptr_t wParam = 0,
                   std::unique_ptr<Payload> payload = nullptr);
  WindowPoster Poster() const { return WindowPoster(backend_, window_); }
  // Ends every loop; the program ends with `exitCode`.
  void PostQuitMessage(int exitCode);
  // True once a quit was posted: what is left of a handler should not go on.
  bool QuitPosted() const;

  // --- the notification area -------------------------------------------------
  // Adds the window's icon `iconId`; mouse messages arrive as `callbackMessage`
  // with the mouse message number in lParam. False when it is there already.
  bool AddTrayIcon(int iconId, int iconResource, std::string_view tip,
                   std::uint32_t callbackMessage);
  bool RemoveTrayIcon(int iconId);

 protected:
  // --- hooks ---------------------------------------------------------------
  virtual bool OnInitDialog();
  virtual void DoDataExchange(DataExchange& dx);
  // True swallows the message before the dialog manager sees it.
  virtual bool PreTranslateMessage(const Message& message);
  virtual void OnPaint(PaintContext& paint);
  virtual CtlColor OnCtlColor(int controlId);
  virtual void OnTimer(int timerId);
  virtual void OnLButtonDown(Point point);
  virtual void OnLButtonDblClk(Point point);
  virtual void OnOK();
  virtual void OnCancel();
  virtual void OnClose();
  virtual void OnSysCommand(unsigned command);
  virtual void OnDestroy();
  // Called last, after the window is gone: modeless windows made with `new`
  // delete themselves here.
  virtual void PostNcDestroy();

  // --- message map -----------------------------------------------------------
  // A WM_COMMAND notification from a control (BN_CLICKED, EN_CHANGE, ...).
  template <class D>
  void OnCommand(int code, int controlId, void (D::*handler)()) {
    commands_[{code, controlId}] = [this, handler] { (static_cast<D*>(this)->*handler)(); };
  }
  template <class D>
  void OnClicked(int controlId, void (D::*handler)()) {
    OnCommand(notify::kClicked, controlId, handler);
  }
  // A WM_NOTIFY notification (NM_CLICK, LVN_ITEMCHANGED, ...); answers 0.
  template <class D>
  void OnNotify(int code, int controlId, void (D::*handler)(const Notification&)) {
    notifications_[{code, controlId}] = [this, handler](const Notification& n) {
      (static_cast<D*>(this)->*handler)(n);
    };
  }
  // Adds an entry to the window's system menu and binds its command; call
  // it once the window exists (OnInitDialog).
  template <class D>
  void AppendSystemMenuItem(unsigned command, std::string_view text, void (D::*handler)()) {
    sysCommands_[command] = [this, handler] { (static_cast<D*>(this)->*handler)(); };
    if (window_) backend_->AppendSystemMenu(window_, command, text);
  }
  // Any other window message, by number (WM_USER+1, ...).
  template <class D>
  void OnMessage(std::uint32_t message,
                 std::intptr_t (D::*handler)(std::uintptr_t, std::intptr_t)) {
    messages_[message] = [this, handler](std::uintptr_t w, std::intptr_t l) {
      return (static_cast<D*>(this)->*handler)(w, l);
    };
  }
  // A message posted with a payload; the handler owns the payload.
  template <class D>
  void OnPosted(std::uint32_t message,
                void (D::*handler)(std::uintptr_t, std::unique_ptr<Payload>)) {
    posted_[message] = [this, handler](std::uintptr_t w, std::unique_ptr<Payload> p) {
      (static_cast<D*>(this)->*handler)(w, std::move(p));
    };
  }

  // Forwards to the default processing of a message (the base class's handling).
  std::intptr_t DefaultMessage(const Message& message);

 private:
  friend class Control;  // controls act through the dialog's backend
  Backend& backend() const { return *backend_; }

  // WindowClient
  void Attached(WindowId window) override;
  bool HandleInitDialog() override;
  bool HandlePreTranslate(const Message& message) override;
  std::intptr_t HandleMessage(const Message& message) override;
  std::intptr_t HandleNotification(const Notification& notification) override;
  void HandlePosted(std::uint32_t message, std::uintptr_t wParam,
                    std::unique_ptr<Payload> payload) override;
  void HandlePaint(PaintContext& paint) override;
  CtlColor HandleCtlColor(int controlId) override;
  void Detached() override;

  bool MakeWindow(Dialog* parent);

  Backend* backend_;
  int templateId_;
  Dialog* parent_;
  WindowId window_ = 0;
  bool modal_ = false;
  bool inDestructor_ = false;
  bool freesItself_ = false;  // made by OpenModeless

  std::map<std::pair<int, int>, std::function<void()>> commands_;
  std::map<std::pair<int, int>, std::function<void(const Notification&)>> notifications_;
  std::map<std::uint32_t, std::function<std::intptr_t(std::uintptr_t, std::intptr_t)>> messages_;
  std::map<std::uint32_t, std::function<void(std::uintptr_t, std::unique_ptr<Payload>)>> posted_;
  std::map<unsigned, std::function<void()>> sysCommands_;
};

}  // namespace ui
