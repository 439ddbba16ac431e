// Windows, loops, placement, timers and posting: the records and the virtual
// clock stand in for the window system.
#include "ui/backend/headless/headless_backend.h"

#include <algorithm>
#include <thread>

namespace ui::headless {

HeadlessBackend::HeadlessBackend(platform::sim::VirtualClock& clock) : clock_(clock) {}

HeadlessBackend::~HeadlessBackend() {
  // Windows still open belong to objects that outlive us only by mistake;
  // detach them so their destructors do not call back.
  while (!windows_.empty()) DestroyWindow(windows_.rbegin()->first);
}

HeadlessBackend::Window* HeadlessBackend::Find(WindowId window) {
  return windows_.Find(window);
}

HeadlessBackend::Control* HeadlessBackend::FindControl(WindowId window, int id) {
  return windows_.FindControl(window, id);
}

WindowId HeadlessBackend::CreateDialogWindow(const DialogTemplate& dialogTemplate, WindowId owner,
                                             WindowClient& client) {
  const WindowId id = nextWindow_++;
  Window w;
  w.source = &dialogTemplate;
  w.client = &client;
  w.owner = Find(owner) ? owner : 0;
  w.created = ++sequence_;
  w.topmost = (dialogTemplate.style & ds::kTopmost) != 0;
  w.title = dialogTemplate.caption;

  const Size size = common::DialogPixelSize(dialogTemplate);
  const int width = size.cx;
  const int height = size.cy;
  Point at;
  if (dialogTemplate.style & ds::kCenter) {
    at = {(screen_.cx - width) / 2, (screen_.cy - height) / 2};
  } else if (Window* o = Find(w.owner)) {
    // A dialog without the centring style opens at its owner's client origin.
    at = {o->rect.left, o->rect.top};
  }
  w.rect = Rect::FromSize(at.x, at.y, width, height);

  for (const ControlTemplate& t : dialogTemplate.controls) {
    Control c;
    static_cast<common::ControlRecord&>(c) = common::ControlRecordFrom(t);
    c.text = t.text;
    if (t.kind == ControlKind::ComboBox || t.kind == ControlKind::ListView) c.text.clear();
    w.controls.emplace(t.id, std::move(c));
    w.order.push_back(t.id);
  }
  windows_.Add(id, std::move(w));

  client.Attached(id);
  client.HandleInitDialog();
  if (Window* made = Find(id); made && (dialogTemplate.style & ds::kVisible)) {
    made->visible = true;
    made->dirty = true;
  }
  return id;
}

void HeadlessBackend::DestroyWindow(WindowId window) {
  Window* w = Find(window);
  if (!w || !w->client) return;
  // Owned windows go first, as the system destroys them with their owner.
  for (WindowId id : windows_.OwnedBy(window)) DestroyWindow(id);

  w = Find(window);
  if (!w || !w->client) return;
  common::Detach(*w);
  for (auto it = tray_.begin(); it != tray_.end();) {
    it = it->first.first == window ? tray_.erase(it) : std::next(it);
  }
  windows_.Erase(window);
}

bool HeadlessBackend::IsWindow(WindowId window) {
  return Find(window) != nullptr;
}

void HeadlessBackend::RunLoopUntil(const std::function<bool()>& done) {
  while (true) {
    Pump();
    if (done() || quit_) return;
    if (!script_ || !script_->Step()) {
      // The user has nothing more to do: end every loop, as a quit would.
      scriptExhausted_ = true;
      PostQuit(0);
      return;
    }
  }
}

int HeadlessBackend::RunModal(WindowId window) {
  Window* w = Find(window);
  if (!w || quit_) return -1;
  w->modal = true;
  const WindowId owner = w->owner;
  const bool ownerWasEnabled = owner && IsEnabled(owner);
  if (owner) EnableWindow(owner, false);
  if (!w->modalEnded && !w->visible) Show(window, ShowCommand::ShowNormal);

  RunLoopUntil([&] {
    Window* self = Find(window);
    return !self || self->modalEnded;
  });

  int result = -1;
  if (Window* self = Find(window)) {
    result = self->modalEnded ? self->modalResult : -1;
    self->modal = false;
    self->visible = false;
  }
  if (owner && ownerWasEnabled) EnableWindow(owner, true);
  return result;
}

void HeadlessBackend::EndModal(WindowId window, int result) {
  if (Window* w = Find(window)) {
    w->modalEnded = true;
    w->modalResult = result;
    w->visible = false;
  }
}

int HeadlessBackend::RunMessageLoop() {
  RunLoopUntil([] { return false; });
  return exitCode_;
}

void HeadlessBackend::PostQuit(int exitCode) {
  if (quit_) return;
  quit_ = true;
  exitCode_ = exitCode;
}

namespace {

// WM_SIZE as the system sends it after a window's client size changed.
void SendSize(const common::WindowRecord& w, std::uintptr_t kind, int width, int height) {
  if (!w.client) return;
  Message m;
  m.message = msg::kSize;
  m.wParam = kind;
  m.lParam = PackSize(width, height);
  w.client->HandleMessage(m);
}

}  // namespace

void HeadlessBackend::Show(WindowId window, ShowCommand command) {
  Window* w = Find(window);
  if (!w) return;
  switch (command) {
    case ShowCommand::Hide:
      w->visible = false;
      break;
    case ShowCommand::Minimize:
      w->visible = true;
      if (!w->minimized) {
        w->minimized = true;
        SendSize(*w, sizekind::kMinimized, 0, 0);
      }
      break;
    case ShowCommand::Maximize: {
      w->visible = true;
      w->minimized = false;
      w->dirty = true;
      const Size area = WorkAreaSize();
      w->rect = Rect{0, 0, area.cx, area.cy};
      SendSize(*w, sizekind::kMaximized, area.cx, area.cy);
      break;
    }
    case ShowCommand::Show:
    case ShowCommand::ShowNormal:
    case ShowCommand::Restore:
    case ShowCommand::ShowNoActivate: {
      w->visible = true;
      w->dirty = true;
      if (command != ShowCommand::Show && w->minimized) {
        w->minimized = false;
        SendSize(*w, sizekind::kRestored, w->rect.Width(), w->rect.Height());
      }
      break;
    }
  }
}

bool HeadlessBackend::IsVisible(WindowId window) {
  Window* w = Find(window);
  return w && w->visible;
}

void HeadlessBackend::EnableWindow(WindowId window, bool enable) {
  if (Window* w = Find(window)) w->enabled = enable;
}

bool HeadlessBackend::IsEnabled(WindowId window) {
  Window* w = Find(window);
  return w && w->enabled;
}

Rect HeadlessBackend::GetWindowRect(WindowId window) {
  Window* w = Find(window);
  return w ? w->rect : Rect{};
}

Rect HeadlessBackend::GetClientRect(WindowId window) {
  Window* w = Find(window);
  return w ? Rect{0, 0, w->rect.Width(), w->rect.Height()} : Rect{};
}

void HeadlessBackend::MoveWindow(WindowId window, const Rect& rect) {
  if (Window* w = Find(window)) {
    const bool resized = w->rect.Width() != rect.Width() || w->rect.Height() != rect.Height();
    w->rect = rect;
    w->dirty = true;
    if (resized) SendSize(*w, sizekind::kRestored, rect.Width(), rect.Height());
  }
}

void HeadlessBackend::SetTopmost(WindowId window, bool topmost) {
  if (Window* w = Find(window)) w->topmost = topmost;
}

bool HeadlessBackend::IsTopmost(WindowId window) {
  Window* w = Find(window);
  return w && w->topmost;
}

void HeadlessBackend::SetWindowText(WindowId window, std::string_view text) {
  if (Window* w = Find(window)) w->title = text;
}

void HeadlessBackend::SetForeground(WindowId) {}

void HeadlessBackend::SetTimer(WindowId window, int timerId, unsigned periodMs) {
  Window* w = Find(window);
  if (!w) return;
  // Setting a running timer again replaces it: its period starts over now.
  Timer& t = w->timers[timerId];
  t.period = std::max(periodMs, 10u);
  t.due = clock_.ElapsedMs() + t.period;
  t.order = ++sequence_;
}

void HeadlessBackend::KillTimer(WindowId window, int timerId) {
  if (Window* w = Find(window)) w->timers.erase(timerId);
}

void HeadlessBackend::Advance(unsigned milliseconds) {
  const std::uint64_t target = clock_.ElapsedMs() + milliseconds;
  while (!quit_) {
    WindowId dueWindow = 0;
    int dueTimer = 0;
    const Timer* best = nullptr;
    for (auto& [id, w] : windows_) {
      for (auto& [timerId, t] : w.timers) {
        if (t.due > target) continue;
        if (!best || t.due < best->due || (t.due == best->due && t.order < best->order)) {
          best = &t;
          dueWindow = id;
          dueTimer = timerId;
        }
      }
    }
    if (!best) break;
    if (best->due > clock_.ElapsedMs()) clock_.Advance(best->due - clock_.ElapsedMs());
    Window* w = Find(dueWindow);
    Timer& t = w->timers[dueTimer];
    // The next period counts from this tick; a late timer does not catch up.
    t.due = clock_.ElapsedMs() + t.period;
    if (w->client) {
      Message m;
      m.message = msg::kTimer;
      m.wParam = static_cast<std::uintptr_t>(dueTimer);
      w->client->HandleMessage(m);
    }
    Pump();
  }
  if (clock_.ElapsedMs() < target) clock_.Advance(target - clock_.ElapsedMs());
  Pump();
}

bool HeadlessBackend::SetLocalTime(int year, int month, int day, int hour, int minute, int second) {
  clock_.SetLocalTime(platform::LocalTime{year, month, day, hour, minute, second, 0, 0});
  return true;
}

void HeadlessBackend::BeginDrag(WindowId window, Point) {
  if (Window* w = Find(window)) w->dragArmed = true;
}

void HeadlessBackend::Post(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                           std::unique_ptr<Payload> payload) {
  std::lock_guard lock(postMutex_);
  posted_.push_back(PostedMessage{window, message, wParam, std::move(payload)});
}

bool HeadlessBackend::ProcessPosted() {
  bool any = false;
  while (true) {
    PostedMessage next;
    {
      std::lock_guard lock(postMutex_);
      if (posted_.empty()) break;
      next = std::move(posted_.front());
      posted_.pop_front();
    }
    any = true;
    Window* w = Find(next.window);
    // A message for a window that is gone is dropped; its payload with it.
    if (w && w->client) w->client->HandlePosted(next.message, next.wParam, std::move(next.payload));
    if (quit_) break;
  }
  return any;
}

void HeadlessBackend::Pump() {
  // A paint may post (a page that acts once it has been drawn): the systems
  // deliver that too before they call the loop idle. Bounded, in case a page
  // posts on every paint.
  for (int round = 0;; ++round) {
    ProcessPosted();
    std::vector<WindowId> dirty;
    for (auto& [id, w] : windows_) {
      if (w.dirty && w.visible && !w.minimized) dirty.push_back(id);
    }
    for (WindowId id : dirty) {
      if (Window* w = Find(id)) PaintWindow(id, *w);
    }
    if (quit_ || round == 63) return;
    std::lock_guard lock(postMutex_);
    if (posted_.empty()) return;
  }
}

bool HeadlessBackend::WaitUntil(const std::function<bool()>& done, unsigned milliseconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (true) {
    Pump();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

Size HeadlessBackend::WorkAreaSize() {
  return workArea_ ? *workArea_ : Size{screen_.cx, screen_.cy - 40};
}

}  // namespace ui::headless
