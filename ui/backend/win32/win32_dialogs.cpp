// Painting, message boxes, pickers, the tray icon, dragging and screenshots.
#include "ui/backend/win32/win32_port.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>

namespace ui::win32 {

namespace {

std::string RectText(const Rect& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.Width()) +
         " " + std::to_string(r.Height());
}

// Drawing on a window's paint DC; each operation is also written to the log the
// driver reads back.
class GdiPaint : public PaintContext {
 public:
  GdiPaint(Win32Port& port, HDC dc, Rect client, std::vector<std::string>& log)
      : port_(port), dc_(dc), client_(client), log_(log) {}
  Rect ClientRect() const override { return client_; }
  bool StretchBitmap(int bitmapId, const Rect& dest) override {
    HBITMAP bitmap = port_.Bitmap(bitmapId);
    if (!bitmap) return false;
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    HDC memory = CreateCompatibleDC(dc_);
    HGDIOBJ old = SelectObject(memory, bitmap);
    StretchBlt(dc_, dest.left, dest.top, dest.Width(), dest.Height(), memory, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    log_.push_back("bitmap " + std::to_string(bitmapId) + " " + RectText(dest));
    return true;
  }
  void DrawIcon(int iconId, Point at) override {
    const int size = GetSystemMetrics(SM_CXICON);
    if (HICON icon = port_.Icon(iconId, size)) {
      DrawIconEx(dc_, at.x, at.y, icon, size, size, 0, nullptr, DI_NORMAL);
    }
    log_.push_back("icon " + std::to_string(iconId) + " " + std::to_string(at.x) + " " +
                   std::to_string(at.y));
  }
  void FillRect(const Rect& rect, Color color) override {
    HBRUSH brush = CreateSolidBrush(color);
    const RECT r{rect.left, rect.top, rect.right, rect.bottom};
    ::FillRect(dc_, &r, brush);
    DeleteObject(brush);
    log_.push_back("fill " + RectText(rect) + " " + std::to_string(color));
  }

 private:
  Win32Port& port_;
  HDC dc_;
  Rect client_;
  std::vector<std::string>& log_;
};

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

void Win32Port::Paint(Win32Window& w) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w.hwnd, &ps);
  RECT client;
  ::GetClientRect(w.hwnd, &client);
  std::vector<std::string> log;
  GdiPaint paint(*this, dc, Rect{client.left, client.top, client.right, client.bottom}, log);
  const WindowId id = w.id;
  HWND hwnd = w.hwnd;
  if (w.client) w.client->HandlePaint(paint);
  EndPaint(hwnd, &ps);
  if (Win32Window* still = Find(id)) still->paintLog = std::move(log);
}

void Win32Port::Repaint(WindowId window) {
  if (HWND hwnd = Hwnd(window)) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
}

std::vector<std::string> Win32Port::PaintLog(WindowId window) {
  return windows_.PaintLog(window);
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
  actionError_.clear();
  if (boxes_.empty()) return Fail("no message box is open");
  Box& box = *boxes_.back();
  if (!common::MessageBoxHasButton(box.view.type, result)) {
    return Fail("the message box has no such button");
  }
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

// --- screenshots ---------------------------------------------------------------------

bool Win32Port::Screenshot(WindowId window, const std::string& path) {
  Pump();
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (window) {
    HWND hwnd = Hwnd(window);
    if (!hwnd) return false;
    ::GetWindowRect(hwnd, &area);
  }
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (dib) {
    HGDIOBJ old = SelectObject(memory, dib);
    ok = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, old);
    if (ok) {
      const int stride = (width * 3 + 3) & ~3;
      std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * 3 * height);
      for (int y = 0; y < height; ++y) {
        std::copy_n(static_cast<const std::uint8_t*>(bits) + static_cast<std::size_t>(y) * stride,
                    width * 3, bgr.begin() + static_cast<std::ptrdiff_t>(y) * width * 3);
      }
      ok = WritePng(W(path), width, height, bgr);
    }
    DeleteObject(dib);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace ui::win32
