#include "ui/dialog.h"

#include <cstdlib>

namespace ui {

namespace {
std::string& AppNameStorage() {
  static std::string name = "Orvane";
  return name;
}
}  // namespace

void SetAppName(std::string name) {
  AppNameStorage() = std::move(name);
}
const std::string& AppName() {
  return AppNameStorage();
}

void DataExchange::Text(int id, std::string& value) {
  if (saving_) {
    value = dialog_.GetDlgItemText(id);
  } else {
    dialog_.SetDlgItemText(id, value);
  }
}

void DataExchange::Check(int id, int& value) {
  if (saving_) {
    value = dialog_.IsDlgButtonChecked(id);
  } else {
    dialog_.CheckDlgButton(id, value);
  }
}

void WindowPoster::Post(std::uint32_t message, std::uintptr_t wParam,
                        std::unique_ptr<Payload> payload) const {
  if (backend_ && window_) backend_->Post(window_, message, wParam, std::move(payload));
}

Dialog::Dialog(int templateId, Dialog* parent)
    : backend_(&Backend::Current()), templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() {
  if (window_) {
    inDestructor_ = true;
    backend_->DestroyWindow(window_);
  }
}

bool Dialog::MakeWindow(Dialog* parent) {
  if (window_) return false;
  const DialogTemplate* dialogTemplate = FindTemplate(templateId_);
  if (!dialogTemplate) return false;
  if (parent) parent_ = parent;
  const WindowId owner = parent_ ? parent_->GetSafeHwnd() : 0;
  return backend_->CreateDialogWindow(*dialogTemplate, owner, *this) != 0;
}

int Dialog::DoModal() {
  modal_ = true;
  if (!MakeWindow(parent_)) {
    modal_ = false;
    return -1;
  }
  const int result = window_ ? backend_->RunModal(window_) : -1;
  if (window_) backend_->DestroyWindow(window_);
  modal_ = false;
  return result;
}

bool Dialog::Create(Dialog* parent) {
  modal_ = false;
  return MakeWindow(parent);
}

void Dialog::EndDialog(int result) {
  if (!window_) return;
  if (modal_) {
    backend_->EndModal(window_, result);
  } else {
    backend_->Show(window_, ShowCommand::Hide);
  }
}

void Dialog::DestroyWindow() {
  if (window_) backend_->DestroyWindow(window_);
}

std::string Dialog::GetDlgItemText(int id) const {
  return backend_->GetControlText(window_, id);
}
void Dialog::SetDlgItemText(int id, std::string_view text) {
  backend_->SetControlText(window_, id, text);
}
int Dialog::IsDlgButtonChecked(int id) const {
  return backend_->GetCheck(window_, id);
}
void Dialog::CheckDlgButton(int id, int state) {
  backend_->SetCheck(window_, id, state);
}

bool Dialog::UpdateData(bool saveAndValidate) {
  DataExchange dx(*this, saveAndValidate);
  DoDataExchange(dx);
  return true;
}

void Dialog::ShowWindow(ShowCommand command) {
  backend_->Show(window_, command);
}
bool Dialog::IsWindowVisible() const {
  return window_ && backend_->IsVisible(window_);
}
void Dialog::EnableWindow(bool enable) {
  backend_->EnableWindow(window_, enable);
}
Rect Dialog::GetWindowRect() const {
  return backend_->GetWindowRect(window_);
}
Rect Dialog::GetClientRect() const {
  return backend_->GetClientRect(window_);
}
void Dialog::MoveWindow(const Rect& rect) {
  backend_->MoveWindow(window_, rect);
}

void Dialog::SetWindowPos(int x, int y) {
  const Rect r = GetWindowRect();
  MoveWindow(Rect::FromSize(x, y, r.Width(), r.Height()));
}

void Dialog::CenterWindow() {
  const Size screen = ScreenSize();
  const Rect r = GetWindowRect();
  SetWindowPos((screen.cx - r.Width()) / 2, (screen.cy - r.Height()) / 2);
}

void Dialog::SetTopmost(bool topmost) {
  backend_->SetTopmost(window_, topmost);
}
void Dialog::Invalidate(bool erase) {
  backend_->Invalidate(window_, std::nullopt, erase);
}
void Dialog::InvalidateRect(const Rect& rect, bool erase) {
  backend_->Invalidate(window_, rect, erase);
}
void Dialog::InvalidateControl(int id, bool erase) {
  if (window_) backend_->InvalidateControl(window_, id, erase);
}
void Dialog::SetWindowText(std::string_view text) {
  backend_->SetWindowText(window_, text);
}
void Dialog::SetForegroundWindow() {
  backend_->SetForeground(window_);
}

Size Dialog::ScreenSize() const {
  return backend_->ScreenSize();
}
Size Dialog::WorkAreaSize() const {
  return backend_->WorkAreaSize();
}
Size Dialog::FullScreenClientSize() const {
  return backend_->FullScreenClientSize();
}

void Dialog::SetTimer(int timerId, unsigned periodMs) {
  if (window_) backend_->SetTimer(window_, timerId, periodMs);
}
void Dialog::KillTimer(int timerId) {
  if (window_) backend_->KillTimer(window_, timerId);
}

int Dialog::MessageBox(std::string_view text, std::string_view caption, unsigned type) {
  return backend_->MessageBox(window_, text,
                              caption.empty() ? std::string_view(AppName()) : caption, type);
}

int Dialog::UnownedMessageBox(std::string_view text, std::string_view caption, unsigned type) {
  return Backend::Current().MessageBox(
      0, text, caption.empty() ? std::string_view(AppName()) : caption, type);
}

std::optional<std::string> Dialog::PickOpenFile(const std::vector<FileFilter>& filters) {
  return backend_->PickOpenFile(window_, filters);
}

void Dialog::PostQuitMessage(int exitCode) {
  backend_->PostQuit(exitCode);
}

bool Dialog::QuitPosted() const {
  return backend_->QuitPosted();
}

bool Dialog::AddTrayIcon(int iconId, int iconResource, std::string_view tip,
                         std::uint32_t callbackMessage) {
  return window_ && backend_->TrayAdd(window_, iconId, iconResource, tip, callbackMessage);
}

bool Dialog::RemoveTrayIcon(int iconId) {
  return window_ && backend_->TrayDelete(window_, iconId);
}

void Dialog::PostMessage(std::uint32_t message, std::uintptr_t wParam,
                         std::unique_ptr<Payload> payload) {
  if (window_) backend_->Post(window_, message, wParam, std::move(payload));
}

// --- default hooks -----------------------------------------------------------

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}
void Dialog::DoDataExchange(DataExchange&) {}
bool Dialog::PreTranslateMessage(const Message&) {
  return false;
}
void Dialog::OnPaint(PaintContext&) {}
CtlColor Dialog::OnCtlColor(int) {
  return {};
}
void Dialog::OnTimer(int) {}
void Dialog::OnLButtonDown(Point) {}
void Dialog::OnLButtonDblClk(Point) {}

void Dialog::OnOK() {
  UpdateData(true);
  EndDialog(IDOK);
}
void Dialog::OnCancel() {
  EndDialog(IDCANCEL);
}
void Dialog::OnClose() {
  OnCancel();
}

void Dialog::OnSysCommand(unsigned command) {
  if ((command & 0xFFF0u) == syscmd::kClose) OnClose();
}

void Dialog::OnDestroy() {}
void Dialog::PostNcDestroy() {}

// --- dispatch ----------------------------------------------------------------

void Dialog::Attached(WindowId window) {
  window_ = window;
}

bool Dialog::HandleInitDialog() {
  return OnInitDialog();
}

bool Dialog::HandlePreTranslate(const Message& message) {
  return PreTranslateMessage(message);
}

std::intptr_t Dialog::DefaultMessage(const Message& message) {
  switch (message.message) {
    case msg::kNcLButtonDown:
      if (message.wParam == kHitCaption) backend_->BeginDrag(window_, message.point);
      return 0;
    case msg::kCommand: {
      const int code = static_cast<int>((message.wParam >> 16) & 0xFFFF);
      const int id = static_cast<int>(message.wParam & 0xFFFF);
      if (code == notify::kClicked && id == IDOK) OnOK();
      if (code == notify::kClicked && id == IDCANCEL) OnCancel();
      return 0;
    }
    default:
      return 0;
  }
}

std::intptr_t Dialog::HandleMessage(const Message& message) {
  switch (message.message) {
    case msg::kTimer:
      OnTimer(static_cast<int>(message.wParam));
      return 0;
    case msg::kLButtonDown:
      OnLButtonDown(message.point);
      return 0;
    case msg::kLButtonDblClk:
      OnLButtonDblClk(message.point);
      return 0;
    case msg::kClose:
      OnClose();
      return 0;
    case msg::kSysCommand: {
      auto it = sysCommands_.find(static_cast<unsigned>(message.wParam));
      if (it != sysCommands_.end()) {
        auto handler = it->second;
        handler();
        return 0;
      }
      OnSysCommand(static_cast<unsigned>(message.wParam));
      return 0;
    }
    case msg::kCommand: {
      const int code = static_cast<std::int16_t>((message.wParam >> 16) & 0xFFFF);
      const int id = static_cast<int>(message.wParam & 0xFFFF);
      auto it = commands_.find({code, id});
      if (it != commands_.end()) {
        auto handler = it->second;  // a handler may rebind the map
        handler();
        return 0;
      }
      return DefaultMessage(message);
    }
    default: {
      auto it = messages_.find(message.message);
      if (it != messages_.end()) {
        auto handler = it->second;
        return handler(message.wParam, message.lParam);
      }
      return DefaultMessage(message);
    }
  }
}

std::intptr_t Dialog::HandleNotification(const Notification& notification) {
  auto it = notifications_.find({notification.code, notification.controlId});
  if (it != notifications_.end()) {
    auto handler = it->second;
    handler(notification);
  }
  return 0;
}

void Dialog::HandlePosted(std::uint32_t message, std::uintptr_t wParam,
                          std::unique_ptr<Payload> payload) {
  auto it = posted_.find(message);
  if (it != posted_.end()) {
    auto handler = it->second;
    handler(wParam, std::move(payload));
    return;
  }
  Message m;
  m.message = message;
  m.wParam = wParam;
  HandleMessage(m);
}

void Dialog::HandlePaint(PaintContext& paint) {
  OnPaint(paint);
}

CtlColor Dialog::HandleCtlColor(int controlId) {
  return OnCtlColor(controlId);
}

void Dialog::Detached() {
  if (inDestructor_) {
    window_ = 0;
    return;
  }
  OnDestroy();  // the window and its controls still answer here
  window_ = 0;
  const bool frees = freesItself_;
  PostNcDestroy();  // may delete this: nothing may follow but our own delete
  if (frees) delete this;
}

}  // namespace ui
