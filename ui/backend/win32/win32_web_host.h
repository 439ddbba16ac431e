#pragma once
#include "platform/windows/win32.h"

#include <ocidl.h>
#include <ole2.h>

#include <functional>
#include <memory>
#include <string>

struct IWebBrowser2;

// The system's browser control inside a web view's window, hosted through
// its COM interfaces by a small container of our own: the client and
// in-place sites the control asks for, and a sink for its events.
namespace ui::win32 {

// What the page inside the control does that the port hears about. Addresses
// are the program's GBK.
struct WebHostEvents {
  // The page wants to go to `url`, or to open a new window with it; true lets
  // it. New windows are cancelled whatever the answer.
  std::function<bool(const std::string& url, bool newWindow)> decide;
  // The page at `url` has finished loading.
  std::function<void(const std::string& url)> loaded;
};

// The system's WebBrowser control.
const CLSID& BrowserControlClass();

class WebSite;

class WebHost {
 public:
  // Creates the control of class `classId` filling `window`, activates it in
  // place and connects its events; null when the system cannot make it.
  static std::unique_ptr<WebHost> Create(HWND window, WebHostEvents events, const CLSID& classId);
  ~WebHost();
  WebHost(const WebHost&) = delete;
  WebHost& operator=(const WebHost&) = delete;

  // The program's own moves: the control does not report them back.
  // `expected` is where a back or forward step leads.
  void Navigate(const std::string& url);
  bool Go(int delta, const std::string& expected);
  void Refresh();
  // Where the control itself says it is (empty when it has no document).
  std::string Location();

  // Lets the control see a key before the dialog manager does; true when it
  // took it (Tab between links, the editing keys of a form field).
  bool TranslateKey(MSG& msg);
  // The control's own window in place, null once closed.
  HWND ControlWindow();
  // The control, and where it sends its events: a test plays the control
  // through them. Null once closed.
  IWebBrowser2* Browser();
  IDispatch* EventSink();
  // Unadvises, deactivates and releases the control; nothing is heard after.
  // The window's destruction does this too.
  void Close();

 private:
  explicit WebHost(HWND window);
  bool Start(const CLSID& classId, WebHostEvents events);
  void FitToWindow();
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  WNDPROC oldProc_ = nullptr;
  WebSite* site_ = nullptr;  // one reference
  IOleObject* object_ = nullptr;
  IWebBrowser2* browser_ = nullptr;
  IConnectionPoint* events_ = nullptr;
  DWORD cookie_ = 0;
};

}  // namespace ui::win32
