// Message boxes, pickers, the tray icon and dragging.
#include "ui/backend/win32/win32_port.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>

namespace ui::win32 {

namespace {

VOID CALLBACK ScriptTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  if (Win32Port* port = CurrentPort()) port->ScriptTimer();
}

// The system's message box that no dialog of ours owns: the newest enabled one.
HWND FindSystemBox(Win32Port& port, const std::vector<HWND>& taken) {
  struct Search {
    Win32Port* port;
    const std::vector<HWND>* taken;
    HWND found = nullptr;
  } search{&port, &taken};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lParam) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lParam);
        wchar_t name[16] = {};
        GetClassNameW(hwnd, name, 16);
        if (std::wstring(name) == L"#32770" && !s->port->FindByHwnd(hwnd) &&
            IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) &&
            std::find(s->taken->begin(), s->taken->end(), hwnd) == s->taken->end()) {
          s->found = hwnd;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

// While a system dialog runs its own loop, a thread timer lets the script act.
class Win32Port::SystemLoopScope {
 public:
  explicit SystemLoopScope(Win32Port& port) : port_(port), outer_(port.scriptTimer_ != 0) {
    if (port_.script_ && !outer_) port_.scriptTimer_ = ::SetTimer(nullptr, 0, 20, ScriptTimerProc);
  }
  ~SystemLoopScope() {
    if (!outer_ && port_.scriptTimer_) {
      ::KillTimer(nullptr, port_.scriptTimer_);
      port_.scriptTimer_ = 0;
    }
  }
  SystemLoopScope(const SystemLoopScope&) = delete;
  SystemLoopScope& operator=(const SystemLoopScope&) = delete;

 private:
  Win32Port& port_;
  bool outer_;
};

void Win32Port::ScriptTimer() {
  if (inScriptTimer_ || !script_ || quit_) return;
  if (!boxes_.empty() && boxes_.back()->answered) return;
  inScriptTimer_ = true;
  if (!script_->Step()) {
    scriptExhausted_ = true;
    PostQuit(0);
  }
  inScriptTimer_ = false;
}

// --- message boxes ------------------------------------------------------------------

int Win32Port::MessageBox(WindowId owner, std::string_view text, std::string_view caption,
                          unsigned type) {
  if (quit_) return 0;
  auto box = std::make_unique<Box>();
  box->view = MessageBoxView{std::string(text), std::string(caption), type};
  boxes_.push_back(std::move(box));
  int result = 0;
  {
    SystemLoopScope scope(*this);
    result = MessageBoxW(Hwnd(owner), W(text).c_str(), W(caption).c_str(), type);
  }
  boxes_.pop_back();
  return result;
}

std::optional<MessageBoxView> Win32Port::OpenMessageBox() {
  if (boxes_.empty()) return std::nullopt;
  return boxes_.back()->view;
}

bool Win32Port::AnswerMessageBox(int result) {
  actionError_ = common::AnswerError(boxes_.empty() ? nullptr : &boxes_.back()->view, result);
  if (!actionError_.empty()) return false;
  Box& box = *boxes_.back();
  if (!box.hwnd || !::IsWindow(box.hwnd)) {
    std::vector<HWND> taken;
    for (auto& other : boxes_) {
      if (other.get() != &box && other->hwnd) taken.push_back(other->hwnd);
    }
    // The system may still be making it.
    const DWORD start = GetTickCount();
    while (!(box.hwnd = FindSystemBox(*this, taken)) && GetTickCount() - start < 5000) {
      MSG msg;
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      } else {
        Sleep(10);
      }
    }
    if (!box.hwnd) return Fail("the message box did not appear");
  }
  // As pressing the button: the box ends with its id.
  box.answered = true;
  PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(result, BN_CLICKED), 0);
  return true;
}

// --- pickers ------------------------------------------------------------------------

void Win32Port::SetNextPickerAnswer(std::optional<std::string> path) {
  pickerAnswer_ = std::move(path);
}

std::optional<std::string> Win32Port::PickOpenFile(WindowId owner,
                                                   const std::vector<FileFilter>& filters) {
  if (pickerAnswer_) {
    std::optional<std::string> answer = *pickerAnswer_;
    pickerAnswer_.reset();
    return answer;
  }
  std::wstring filter;
  for (const FileFilter& f : filters) {
    filter += W(f.description);
    filter += L'\0';
    filter += W(f.pattern);
    filter += L'\0';
  }
  filter += L'\0';
  std::wstring file(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = Hwnd(owner);
  ofn.lpstrFilter = filters.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.Flags =
      OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
  SystemLoopScope scope(*this);
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return N(file.c_str());
}

std::optional<std::string> Win32Port::PickFolder(WindowId owner, std::string_view title) {
  if (pickerAnswer_) {
    std::optional<std::string> answer = *pickerAnswer_;
    pickerAnswer_.reset();
    return answer;
  }
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::wstring heading = W(title);
  BROWSEINFOW info{};
  info.hwndOwner = Hwnd(owner);
  info.lpszTitle = heading.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  std::optional<std::string> result;
  {
    SystemLoopScope scope(*this);
    if (LPITEMIDLIST chosen = SHBrowseForFolderW(&info)) {
      wchar_t path[MAX_PATH] = {};
      if (SHGetPathFromIDListW(chosen, path)) result = N(path);
      CoTaskMemFree(chosen);
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return result;
}

// --- tray icon ------------------------------------------------------------------------

bool Win32Port::TrayAdd(WindowId owner, int iconId, int iconResource, std::string_view tip,
                        std::uint32_t callbackMessage) {
  HWND hwnd = Hwnd(owner);
  const auto key = std::make_pair(owner, iconId);
  if (!hwnd || tray_.count(key)) return false;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = hwnd;
  data.uID = static_cast<UINT>(iconId);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callbackMessage;
  data.hIcon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconResource), IMAGE_ICON, 16, 16, 0));
  const std::string shortTip = common::TrayTip(tip);
  const std::wstring wideTip = W(shortTip);
  wcsncpy(data.szTip, wideTip.c_str(), std::size(data.szTip) - 1);
  const bool added = Shell_NotifyIconW(NIM_ADD, &data) != 0;
  if (data.hIcon) DestroyIcon(data.hIcon);
  if (!added) return false;
  tray_[key] =
      common::TrayRecord{TrayIconView{owner, iconId, iconResource, shortTip}, callbackMessage};
  return true;
}

bool Win32Port::TrayDelete(WindowId owner, int iconId) {
  const auto key = std::make_pair(owner, iconId);
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = Hwnd(owner);
  data.uID = static_cast<UINT>(iconId);
  const bool deleted = data.hWnd && Shell_NotifyIconW(NIM_DELETE, &data) != 0;
  return tray_.erase(key) > 0 && deleted;
}

std::vector<TrayIconView> Win32Port::TrayIcons() {
  return common::TrayViews(tray_);
}

bool Win32Port::ClickTray(WindowId owner, int iconId, std::uint32_t mouseMessage) {
  actionError_.clear();
  auto it = tray_.find({owner, iconId});
  if (it == tray_.end()) return Fail("no such tray icon");
  HWND hwnd = Hwnd(owner);
  if (!hwnd) return Fail("the tray icon's window is gone");
  // What the shell sends the owner when the icon is clicked.
  SendMessageW(hwnd, it->second.callback, static_cast<WPARAM>(iconId),
               static_cast<LPARAM>(mouseMessage));
  Pump();
  return true;
}

// --- dragging -----------------------------------------------------------------------

void Win32Port::BeginDrag(WindowId window, Point clientPoint) {
  Win32Window* w = Find(window);
  if (!w) return;
  if (driving_) {
    // The driver moves the window by its own offset; the real pointer is elsewhere.
    w->dragArmed = true;
    return;
  }
  if (!(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) return;  // the button is already up
  POINT p{clientPoint.x, clientPoint.y};
  ClientToScreen(w->hwnd, &p);
  // A press on the caption: the system moves the window until the button is released.
  ReleaseCapture();
  SendMessageW(w->hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
}

// --- system menu ---------------------------------------------------------------------

void Win32Port::AppendSystemMenu(WindowId window, unsigned command, std::string_view text) {
  HWND hwnd = Hwnd(window);
  if (!hwnd) return;
  if (HMENU menu = GetSystemMenu(hwnd, FALSE)) {
    AppendMenuW(menu, MF_STRING, command, W(text).c_str());
  }
}

}  // namespace ui::win32
