#pragma once
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/backend.h"
#include "ui/backend/common/rules.h"
#include "ui/user_actions.h"

// Bookkeeping every window-system backend keeps the same way: which windows
// exist, what made them, who owns them, and what the program set on their
// controls that the driver reads back. No window system in here.
namespace ui::common {

// What a backend records about a control beside its own widgets. The ports
// that keep no system window per control hold its place and state here too.
struct ControlRecord {
  ControlKind kind = ControlKind::Static;
  std::uint32_t style = 0;
  Rect rect;  // client pixels
  bool visible = true;
  bool enabled = true;
  int bitmap = 0;
  int limit = 30000;  // edit text limit, GBK bytes
  std::optional<FontSpec> font;
  std::optional<ImageList> images;
  std::string url;  // web view: last address (GBK)
  // Web view history on the ports that keep it themselves; `url` is history[at].
  std::vector<std::string> history;
  int historyAt = -1;
  int refreshes = 0;
};

// A web view goes to a new address: what lay ahead in its history is dropped.
void WebVisit(ControlRecord& c, std::string url);
// One step back (-1) or forward (+1) in the history; false at its end.
bool WebStep(ControlRecord& c, int delta);

// What a backend records about a dialog window beside its own handles.
struct WindowRecord {
  const DialogTemplate* source = nullptr;
  WindowClient* client = nullptr;  // null from the moment it detaches
  WindowId owner = 0;
  std::uint64_t created = 0;  // creation order
  bool modal = false;
  bool modalEnded = false;
  int modalResult = -1;
  bool dragArmed = false;  // the page asked for a move
  std::vector<int> order;  // controls in template order
  std::vector<std::string> paintLog;
};

struct TrayRecord {
  TrayIconView view;
  std::uint32_t callback = 0;  // message the owner gets for mouse events
};
using TrayKey = std::pair<WindowId, int>;  // owner, icon id

// A control's record as its template starts it.
ControlRecord ControlRecordFrom(const ControlTemplate& t);

// What stands between the user and a window's control, from the records.
template <class Window>
ReachView RecordReachView(const Window* w, int controlId,
                          const std::optional<std::string>& openBoxText) {
  ReachView v;
  v.windowExists = w && w->client;
  if (!v.windowExists) return v;
  v.openBoxText = openBoxText;
  v.templateId = w->source->id;
  v.windowVisible = w->visible && !w->minimized;
  v.windowEnabled = w->enabled;
  v.controlId = controlId;
  auto it = w->controls.find(controlId);
  v.controlExists = it != w->controls.end();
  if (v.controlExists) {
    v.controlVisible = it->second.visible;
    v.controlEnabled = it->second.enabled;
  }
  return v;
}

// The window's controls in template order, as a drag sees them.
template <class Window>
std::vector<ControlUnder> RecordControlsUnder(const Window& w) {
  std::vector<ControlUnder> under;
  for (int id : w.order) {
    auto it = w.controls.find(id);
    if (it == w.controls.end()) continue;
    const ControlRecord& c = it->second;
    under.push_back({id, c.rect, c.kind, c.style, c.visible, c.enabled});
  }
  return under;
}

// The focused control as the dialog manager sees it.
template <class Window>
std::optional<FocusedControl> RecordFocus(const Window& w, int controlId) {
  auto it = w.controls.find(controlId);
  if (controlId == 0 || it == w.controls.end()) return std::nullopt;
  return FocusedControl{controlId, it->second.kind, it->second.style};
}

// Edit limit as EM_LIMITTEXT takes it: zero means the largest limit.
int EditLimitFor(int bytes);
// Cuts GBK text to at most `limit` bytes without splitting a character; a
// limit of zero or less leaves the text whole.
std::string CutGbk(std::string_view gbk, int limit);
// The tray tip as the system keeps it: 127 bytes at most.
std::string TrayTip(std::string_view tip);
// Whether a message box of `type` has a button that ends it with `result`.
bool MessageBoxHasButton(unsigned type, int result);

// Ends a modal loop still running on the window (with -1), then detaches the
// window's object; nothing calls into it afterwards.
void Detach(WindowRecord& w);
// Calls into the window's object directly, for backends with no system
// message in between; nothing happens once the object has detached.
void SendCommand(const WindowRecord* w, int controlId, int code);
void SendNotify(const WindowRecord* w, const Notification& notification);
// The colours the window's object picks for a control.
CtlColor ControlColorOf(const WindowRecord* w, int controlId);
// Asks the window's object whether the web view may go to `url` (or open a
// new window with it); true unless it cancels.
bool AllowNavigation(const WindowRecord& w, int controlId, const std::string& url, bool newWindow);
// Why the open message box (null: none) cannot be answered with `result`;
// empty when it can.
std::string AnswerError(const MessageBoxView* open, int result);
// The lines of the paint log the driver reads back, the same on every port.
std::string PaintBitmapLine(int bitmapId, const Rect& dest);
std::string PaintIconLine(int iconId, Point at);
std::string PaintFillLine(const Rect& rect, Color color);
// The message the owner gets when its tray icon sees `mouseMessage`.
Message TrayMessage(const TrayRecord& tray, int iconId, std::uint32_t mouseMessage);

template <class Tray>
std::vector<TrayIconView> TrayViews(const std::map<TrayKey, Tray>& tray) {
  std::vector<TrayIconView> views;
  for (auto& [key, entry] : tray) views.push_back(entry.view);
  return views;
}

// A backend's windows by id. `Window` extends WindowRecord and has a
// `controls` map whose records extend ControlRecord.
template <class Window>
class WindowBook {
 public:
  using Control = typename decltype(Window::controls)::mapped_type;
  using Map = std::map<WindowId, Window>;

  Window* Find(WindowId window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : &it->second;
  }
  Control* FindControl(WindowId window, int id) {
    Window* w = Find(window);
    if (!w) return nullptr;
    auto it = w->controls.find(id);
    return it == w->controls.end() ? nullptr : &it->second;
  }

  // Live windows made from the template, oldest first.
  std::vector<WindowId> OfTemplate(int templateId) const {
    std::vector<std::pair<std::uint64_t, WindowId>> found;
    for (auto& [id, w] : windows_) {
      if (w.source->id == templateId && w.client) found.emplace_back(w.created, id);
    }
    std::sort(found.begin(), found.end());
    std::vector<WindowId> ids;
    for (auto& [created, id] : found) ids.push_back(id);
    return ids;
  }
  std::vector<WindowId> OwnedBy(WindowId owner) const {
    std::vector<WindowId> owned;
    for (auto& [id, w] : windows_) {
      if (w.owner == owner) owned.push_back(id);
    }
    return owned;
  }
  int TemplateOf(WindowId window) {
    Window* w = Find(window);
    return w ? w->source->id : 0;
  }
  bool IsModalRunning(WindowId window) {
    Window* w = Find(window);
    return w && w->modal && !w->modalEnded;
  }

  // What the program set, read back.
  std::vector<std::string> PaintLog(WindowId window) {
    Window* w = Find(window);
    return w ? w->paintLog : std::vector<std::string>{};
  }
  std::optional<FontSpec> ControlFont(WindowId window, int id) {
    Control* c = FindControl(window, id);
    return c ? c->font : std::nullopt;
  }
  std::optional<ImageList> ListImages(WindowId window, int id) {
    Control* c = FindControl(window, id);
    return c ? c->images : std::nullopt;
  }
  int EditLimit(WindowId window, int id) {
    Control* c = FindControl(window, id);
    return c ? c->limit : 0;
  }
  std::string WebLocation(WindowId window, int id) {
    Control* c = FindControl(window, id);
    return c ? c->url : std::string();
  }
  CtlColor ControlColor(WindowId window, int id) { return ControlColorOf(Find(window), id); }

  // The map itself, for what only one backend does with it.
  typename Map::iterator begin() { return windows_.begin(); }
  typename Map::iterator end() { return windows_.end(); }
  typename Map::reverse_iterator rbegin() { return windows_.rbegin(); }
  bool empty() const { return windows_.empty(); }
  std::size_t size() const { return windows_.size(); }
  Window& operator[](WindowId window) { return windows_[window]; }
  void Add(WindowId window, Window w) { windows_.emplace(window, std::move(w)); }
  void Erase(WindowId window) { windows_.erase(window); }

 private:
  Map windows_;
};

}  // namespace ui::common
