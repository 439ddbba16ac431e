#include "ui/backend/headless/headless_backend.h"

#include <algorithm>
#include <thread>

namespace ui::headless {

namespace {

Rect DluToPixels(const DluRect& r) {
  return Rect::FromSize(r.x * kPixelsPerDluX, r.y * kPixelsPerDluY, r.w * kPixelsPerDluX,
                        r.h * kPixelsPerDluY);
}

std::string RectText(const Rect& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.Width()) +
         " " + std::to_string(r.Height());
}

bool TakesMouse(ControlKind kind, std::uint32_t style) {
  switch (kind) {
    case ControlKind::Static:
    case ControlKind::Bitmap:
      return (style & cs::kNotify) != 0;
    case ControlKind::GroupBox:
      return false;
    default:
      return true;
  }
}

class RecordingPaint : public PaintContext {
 public:
  RecordingPaint(Rect client, std::vector<std::string>& log) : client_(client), log_(log) {}
  Rect ClientRect() const override { return client_; }
  bool StretchBitmap(int bitmapId, const Rect& dest) override {
    log_.push_back("bitmap " + std::to_string(bitmapId) + " " + RectText(dest));
    return true;
  }
  void DrawIcon(int iconId, Point at) override {
    log_.push_back("icon " + std::to_string(iconId) + " " + std::to_string(at.x) + " " +
                   std::to_string(at.y));
  }
  void FillRect(const Rect& rect, Color color) override {
    log_.push_back("fill " + RectText(rect) + " " + std::to_string(color));
  }

 private:
  Rect client_;
  std::vector<std::string>& log_;
};

}  // namespace

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

bool HeadlessBackend::Fail(std::string why) {
  actionError_ = std::move(why);
  return false;
}

HeadlessBackend::Control* HeadlessBackend::Reachable(WindowId window, int id) {
  actionError_.clear();
  Window* w = Find(window);
  if (!w) {
    Fail("no such window");
    return nullptr;
  }
  if (!boxes_.empty()) {
    Fail("a message box is open: \"" + boxes_.back()->view.text + "\"");
    return nullptr;
  }
  if (!w->visible || w->minimized) {
    Fail("window " + std::to_string(w->source->id) + " is not visible");
    return nullptr;
  }
  if (!w->enabled) {
    Fail("window " + std::to_string(w->source->id) + " is disabled (a modal window is open)");
    return nullptr;
  }
  if (id == 0) return nullptr;
  auto it = w->controls.find(id);
  if (it == w->controls.end()) {
    Fail("no control " + std::to_string(id));
    return nullptr;
  }
  if (!it->second.visible) {
    Fail("control " + std::to_string(id) + " is hidden");
    return nullptr;
  }
  if (!it->second.enabled) {
    Fail("control " + std::to_string(id) + " is disabled");
    return nullptr;
  }
  return &it->second;
}

// --- windows -------------------------------------------------------------------

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

  const int width = dialogTemplate.width * kPixelsPerDluX;
  const int height = dialogTemplate.height * kPixelsPerDluY;
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
    c.kind = t.kind;
    c.style = t.style;
    c.rect = DluToPixels(t.rect);
    c.text = t.text;
    c.enabled = (t.style & cs::kDisabled) == 0;
    c.visible = (t.style & cs::kHidden) == 0;
    c.bitmap = t.resource;
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

// --- placement -------------------------------------------------------------------

void HeadlessBackend::Show(WindowId window, ShowCommand command) {
  Window* w = Find(window);
  if (!w) return;
  switch (command) {
    case ShowCommand::Hide:
      w->visible = false;
      break;
    case ShowCommand::Minimize:
      w->visible = true;
      w->minimized = true;
      break;
    case ShowCommand::Show:
    case ShowCommand::ShowNormal:
    case ShowCommand::Restore:
    case ShowCommand::ShowNoActivate:
      w->visible = true;
      if (command != ShowCommand::Show) w->minimized = false;
      w->dirty = true;
      break;
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
    w->rect = rect;
    w->dirty = true;
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

void HeadlessBackend::Invalidate(WindowId window, const std::optional<Rect>&, bool) {
  if (Window* w = Find(window)) w->dirty = true;
}

void HeadlessBackend::SetForeground(WindowId) {}

// --- controls ----------------------------------------------------------------------

std::string HeadlessBackend::GetControlText(WindowId window, int id) {
  Control* c = FindControl(window, id);
  if (!c) return {};
  if (c->kind == ControlKind::ComboBox && (c->style & cs::kDropList)) {
    return c->selection >= 0 && c->selection < static_cast<int>(c->items.size())
               ? c->items[c->selection]
               : std::string();
  }
  return c->text;
}

void HeadlessBackend::SetControlText(WindowId window, int id, std::string_view text) {
  if (Control* c = FindControl(window, id)) {
    c->text = text;
    if (Window* w = Find(window)) w->dirty = true;
  }
}

void HeadlessBackend::EnableControl(WindowId window, int id, bool enable) {
  if (Control* c = FindControl(window, id)) c->enabled = enable;
}

bool HeadlessBackend::IsControlEnabled(WindowId window, int id) {
  Control* c = FindControl(window, id);
  return c && c->enabled;
}

void HeadlessBackend::ShowControl(WindowId window, int id, bool show) {
  if (Control* c = FindControl(window, id)) c->visible = show;
}

bool HeadlessBackend::IsControlVisible(WindowId window, int id) {
  Control* c = FindControl(window, id);
  return c && c->visible;
}

int HeadlessBackend::GetCheck(WindowId window, int id) {
  Control* c = FindControl(window, id);
  return c ? c->check : 0;
}

void HeadlessBackend::SetCheck(WindowId window, int id, int state) {
  if (Control* c = FindControl(window, id)) c->check = state;
}

void HeadlessBackend::SetEditLimit(WindowId window, int id, int bytes) {
  if (Control* c = FindControl(window, id)) c->limit = common::EditLimitFor(bytes);
}

void HeadlessBackend::SetEditSelection(WindowId window, int id, int start, int end) {
  if (Control* c = FindControl(window, id)) {
    const int size = static_cast<int>(c->text.size());
    c->selStart = start < 0 ? size : std::min(start, size);
    c->selEnd = end < 0 ? size : std::min(end, size);
  }
}

void HeadlessBackend::SetControlBitmap(WindowId window, int id, int bitmapId) {
  if (Control* c = FindControl(window, id)) c->bitmap = bitmapId;
}

void HeadlessBackend::SetControlFont(WindowId window, int id, const FontSpec& font) {
  if (Control* c = FindControl(window, id)) c->font = font;
}

void HeadlessBackend::SetFocus(WindowId window, int id) {
  if (Window* w = Find(window)) w->focus = id;
}

int HeadlessBackend::GetFocus(WindowId window) {
  Window* w = Find(window);
  return w ? w->focus : 0;
}

int HeadlessBackend::ComboAddString(WindowId window, int id, std::string_view text) {
  Control* c = FindControl(window, id);
  if (!c) return -1;
  c->items.emplace_back(text);
  return static_cast<int>(c->items.size()) - 1;
}

void HeadlessBackend::ComboReset(WindowId window, int id) {
  if (Control* c = FindControl(window, id)) {
    c->items.clear();
    c->selection = -1;
  }
}

int HeadlessBackend::ComboCount(WindowId window, int id) {
  Control* c = FindControl(window, id);
  return c ? static_cast<int>(c->items.size()) : 0;
}

std::string HeadlessBackend::ComboItemText(WindowId window, int id, int index) {
  Control* c = FindControl(window, id);
  if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return {};
  return c->items[index];
}

int HeadlessBackend::ComboGetSel(WindowId window, int id) {
  Control* c = FindControl(window, id);
  return c ? c->selection : -1;
}

void HeadlessBackend::ComboSetSel(WindowId window, int id, int index) {
  Control* c = FindControl(window, id);
  if (!c) return;
  c->selection = (index >= 0 && index < static_cast<int>(c->items.size())) ? index : -1;
  if (c->style & cs::kDropDown) c->text = c->selection >= 0 ? c->items[c->selection] : "";
}

void HeadlessBackend::ListSetImageList(WindowId window, int id, const ImageList& images) {
  if (Control* c = FindControl(window, id)) c->images = images;
}

void HeadlessBackend::ListSetColors(WindowId, int, Color, Color) {}

void HeadlessBackend::ListInsertColumn(WindowId window, int id, int column, std::string_view title,
                                       int) {
  Control* c = FindControl(window, id);
  if (!c) return;
  column = std::clamp(column, 0, static_cast<int>(c->columns.size()));
  c->columns.insert(c->columns.begin() + column, std::string(title));
}

void HeadlessBackend::ListDeleteAllItems(WindowId window, int id) {
  if (Control* c = FindControl(window, id)) {
    c->rows.clear();
    c->selection = -1;
  }
}

int HeadlessBackend::ListInsertItem(WindowId window, int id, int index, std::string_view text,
                                    int) {
  Control* c = FindControl(window, id);
  if (!c) return -1;
  index = std::clamp(index, 0, static_cast<int>(c->rows.size()));
  c->rows.insert(c->rows.begin() + index, std::vector<std::string>{std::string(text)});
  return index;
}

void HeadlessBackend::ListSetItemText(WindowId window, int id, int item, int subItem,
                                      std::string_view text) {
  Control* c = FindControl(window, id);
  if (!c || item < 0 || item >= static_cast<int>(c->rows.size()) || subItem < 0) return;
  auto& row = c->rows[item];
  if (static_cast<int>(row.size()) <= subItem) row.resize(subItem + 1);
  row[subItem] = text;
}

std::string HeadlessBackend::ListItemText(WindowId window, int id, int item, int subItem) {
  Control* c = FindControl(window, id);
  if (!c || item < 0 || item >= static_cast<int>(c->rows.size()) || subItem < 0) return {};
  const auto& row = c->rows[item];
  return subItem < static_cast<int>(row.size()) ? row[subItem] : std::string();
}

int HeadlessBackend::ListItemCount(WindowId window, int id) {
  Control* c = FindControl(window, id);
  return c ? static_cast<int>(c->rows.size()) : 0;
}

int HeadlessBackend::ListColumnCount(WindowId window, int id) {
  Control* c = FindControl(window, id);
  return c ? static_cast<int>(c->columns.size()) : 0;
}

int HeadlessBackend::ListSelected(WindowId window, int id) {
  Control* c = FindControl(window, id);
  return c ? c->selection : -1;
}

void HeadlessBackend::WebNavigate(WindowId window, int id, std::string_view url) {
  if (Control* c = FindControl(window, id)) c->url = url;
}

std::string HeadlessBackend::WebLocation(WindowId window, int id) {
  return windows_.WebLocation(window, id);
}

// --- timers ------------------------------------------------------------------------

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

// --- system dialogs ------------------------------------------------------------------

int HeadlessBackend::MessageBox(WindowId owner, std::string_view text, std::string_view caption,
                                unsigned type) {
  if (quit_) return 0;
  auto box = std::make_unique<Box>();
  box->view = MessageBoxView{std::string(text), std::string(caption), type};
  box->owner = Find(owner) ? owner : 0;
  Box* self = box.get();
  boxes_.push_back(std::move(box));
  const bool ownerWasEnabled = self->owner && IsEnabled(self->owner);
  if (self->owner) EnableWindow(self->owner, false);

  RunLoopUntil([self] { return self->answered; });

  const int result = self->answered ? self->result : 0;
  if (self->owner && ownerWasEnabled) EnableWindow(self->owner, true);
  boxes_.erase(std::find_if(boxes_.begin(), boxes_.end(),
                            [self](const auto& b) { return b.get() == self; }));
  return result;
}

std::optional<MessageBoxView> HeadlessBackend::OpenMessageBox() {
  if (boxes_.empty()) return std::nullopt;
  return boxes_.back()->view;
}

bool HeadlessBackend::AnswerMessageBox(int result) {
  actionError_.clear();
  if (boxes_.empty()) return Fail("no message box is open");
  Box& box = *boxes_.back();
  if (!common::MessageBoxHasButton(box.view.type, result)) {
    return Fail("the message box has no such button");
  }
  box.answered = true;
  box.result = result;
  return true;
}

std::optional<std::string> HeadlessBackend::PickOpenFile(WindowId, const std::vector<FileFilter>&) {
  std::optional<std::string> answer;
  if (pickerAnswer_) answer = *pickerAnswer_;
  pickerAnswer_.reset();
  return answer;
}

std::optional<std::string> HeadlessBackend::PickFolder(WindowId owner, std::string_view) {
  return PickOpenFile(owner, {});
}

void HeadlessBackend::SetNextPickerAnswer(std::optional<std::string> path) {
  pickerAnswer_ = std::move(path);
}

bool HeadlessBackend::TrayAdd(WindowId owner, int iconId, int iconResource, std::string_view tip,
                              std::uint32_t callbackMessage) {
  const auto key = std::make_pair(owner, iconId);
  if (tray_.count(key)) return false;
  tray_[key] = common::TrayRecord{TrayIconView{owner, iconId, iconResource, common::TrayTip(tip)},
                                  callbackMessage};
  return true;
}

bool HeadlessBackend::TrayDelete(WindowId owner, int iconId) {
  return tray_.erase({owner, iconId}) > 0;
}

std::vector<TrayIconView> HeadlessBackend::TrayIcons() {
  return common::TrayViews(tray_);
}

bool HeadlessBackend::ClickTray(WindowId owner, int iconId, std::uint32_t mouseMessage) {
  actionError_.clear();
  auto it = tray_.find({owner, iconId});
  if (it == tray_.end()) return Fail("no such tray icon");
  Window* w = Find(owner);
  if (!w || !w->client) return Fail("the tray icon's window is gone");
  w->client->HandleMessage(common::TrayMessage(it->second, iconId, mouseMessage));
  Pump();
  return true;
}

void HeadlessBackend::BeginDrag(WindowId window, Point) {
  if (Window* w = Find(window)) w->dragArmed = true;
}

// --- posting -------------------------------------------------------------------------

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
  ProcessPosted();
  std::vector<WindowId> dirty;
  for (auto& [id, w] : windows_) {
    if (w.dirty && w.visible && !w.minimized) dirty.push_back(id);
  }
  for (WindowId id : dirty) {
    if (Window* w = Find(id)) PaintWindow(id, *w);
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

void HeadlessBackend::PaintWindow(WindowId window, Window& w) {
  w.dirty = false;
  if (!w.client) return;
  std::vector<std::string> log;
  RecordingPaint paint(GetClientRect(window), log);
  w.client->HandlePaint(paint);
  if (Window* still = Find(window)) still->paintLog = std::move(log);
}

void HeadlessBackend::Repaint(WindowId window) {
  if (Window* w = Find(window)) PaintWindow(window, *w);
}

// --- user actions --------------------------------------------------------------------

std::vector<WindowId> HeadlessBackend::FindWindows(int templateId) {
  return windows_.OfTemplate(templateId);
}

int HeadlessBackend::TemplateOf(WindowId window) {
  return windows_.TemplateOf(window);
}

bool HeadlessBackend::IsModalRunning(WindowId window) {
  return windows_.IsModalRunning(window);
}

void HeadlessBackend::SendCommand(WindowId window, int id, int code) {
  common::SendCommand(Find(window), id, code);
}

void HeadlessBackend::SendNotify(WindowId window, const Notification& notification) {
  common::SendNotify(Find(window), notification);
}

bool HeadlessBackend::Click(WindowId window, int controlId) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  Find(window)->focus = controlId;
  switch (c->kind) {
    case ControlKind::Button:
      SendCommand(window, controlId, notify::kClicked);
      break;
    case ControlKind::CheckBox:
      c->check = c->check ? 0 : 1;
      SendCommand(window, controlId, notify::kClicked);
      break;
    case ControlKind::Static:
    case ControlKind::Bitmap:
    case ControlKind::GroupBox:
      if (c->style & cs::kNotify) {
        SendCommand(window, controlId, notify::kClicked);
      } else {
        // Plain labels let the click through to the dialog underneath.
        const Point centre{(c->rect.left + c->rect.right) / 2, (c->rect.top + c->rect.bottom) / 2};
        Message m;
        m.message = msg::kLButtonDown;
        m.point = centre;
        Find(window)->client->HandleMessage(m);
      }
      break;
    case ControlKind::ListView:
      SendNotify(window, Notification{notify::kClick, controlId, -1, 0, {}, nullptr, nullptr});
      break;
    default:
      break;  // edits and combos take the focus only
  }
  Pump();
  return true;
}

bool HeadlessBackend::DoubleClick(WindowId window, int controlId) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  if ((c->kind == ControlKind::Static || c->kind == ControlKind::Bitmap) &&
      (c->style & cs::kNotify)) {
    SendCommand(window, controlId, notify::kClicked);
    SendCommand(window, controlId, notify::kDoubleClicked);
  } else if (c->kind == ControlKind::Button) {
    SendCommand(window, controlId, notify::kClicked);
    SendCommand(window, controlId, notify::kClicked);
  }
  Pump();
  return true;
}

bool HeadlessBackend::Type(WindowId window, int controlId, const std::string& text) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind == ControlKind::ComboBox) return TypeCombo(window, controlId, text);
  if (c->kind != ControlKind::Edit)
    return Fail("control " + std::to_string(controlId) + " is not an edit");
  if (c->style & cs::kReadOnly) return Fail("edit " + std::to_string(controlId) + " is read-only");
  Find(window)->focus = controlId;
  std::string typed = text;
  if (!(c->style & cs::kMultiline)) {
    // A single-line edit takes no line breaks.
    typed.erase(std::remove_if(typed.begin(), typed.end(),
                               [](char ch) { return ch == '\r' || ch == '\n'; }),
                typed.end());
  }
  c->text = common::CutGbk(typed, c->limit);
  c->selStart = c->selEnd = static_cast<int>(c->text.size());
  SendCommand(window, controlId, notify::kEditChange);
  Pump();
  return true;
}

bool HeadlessBackend::TypeCombo(WindowId window, int controlId, const std::string& text) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::ComboBox || !(c->style & cs::kDropDown)) {
    return Fail("control " + std::to_string(controlId) + " is not an editable combo");
  }
  Find(window)->focus = controlId;
  c->text = text;
  c->selection = -1;
  SendCommand(window, controlId, notify::kComboEditChange);
  Pump();
  return true;
}

bool HeadlessBackend::ChooseCombo(WindowId window, int controlId, int index) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::ComboBox)
    return Fail("control " + std::to_string(controlId) + " is not a combo");
  if (index < 0 || index >= static_cast<int>(c->items.size())) {
    return Fail("combo " + std::to_string(controlId) + " has no entry " + std::to_string(index));
  }
  Find(window)->focus = controlId;
  // Picking with the mouse from the open list, in the order the system
  // sends it: the selection is taken, the list closes up, then the
  // selection-change notification follows.
  c->selection = index;
  if (c->style & cs::kDropDown) c->text = c->items[index];
  SendCommand(window, controlId, notify::kComboCloseUp);
  if (FindControl(window, controlId)) SendCommand(window, controlId, notify::kComboSelChange);
  Pump();
  return true;
}

bool HeadlessBackend::ClickList(WindowId window, int controlId, int item, int subItem) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::ListView)
    return Fail("control " + std::to_string(controlId) + " is not a list");
  if (item >= static_cast<int>(c->rows.size()) || item < -1) {
    return Fail("list " + std::to_string(controlId) + " has no item " + std::to_string(item));
  }
  Find(window)->focus = controlId;
  if (item >= 0 && c->selection != item) {
    c->selection = item;
    SendNotify(window,
               Notification{notify::kItemChanged, controlId, item, 0, {}, nullptr, nullptr});
  }
  if (Control* still = FindControl(window, controlId)) {
    (void)still;
    SendNotify(window,
               Notification{notify::kClick, controlId, item, subItem, {}, nullptr, nullptr});
  }
  Pump();
  return true;
}

bool HeadlessBackend::DoubleClickList(WindowId window, int controlId, int item, int subItem) {
  if (!ClickList(window, controlId, item, subItem)) return false;
  SendNotify(window,
             Notification{notify::kDblClick, controlId, item, subItem, {}, nullptr, nullptr});
  Pump();
  return true;
}

bool HeadlessBackend::PressKey(WindowId window, int controlId, int virtualKey, unsigned modifiers) {
  Reachable(window, controlId);
  if (!actionError_.empty()) return false;
  Window* w = Find(window);
  w->focus = controlId;
  Message m;
  m.message = msg::kKeyDown;
  m.wParam = static_cast<std::uintptr_t>(virtualKey);
  m.controlId = controlId;
  m.modifiers = modifiers;
  if (w->client->HandlePreTranslate(m)) {
    Pump();
    return true;
  }
  // The dialog manager's own handling of the key.
  Control* focused = controlId ? FindControl(window, controlId) : nullptr;
  if (virtualKey == key::kEscape) {
    SendCommand(window, IDCANCEL, notify::kClicked);
  } else if (virtualKey == key::kReturn) {
    if (focused && focused->kind == ControlKind::Edit && (focused->style & cs::kMultiline) &&
        (focused->style & cs::kWantReturn)) {
      focused->text += "\r\n";
      SendCommand(window, controlId, notify::kEditChange);
    } else if (focused && focused->kind == ControlKind::Button) {
      SendCommand(window, controlId, notify::kClicked);
    } else {
      int target = IDOK;
      for (int id : w->order) {
        if (w->controls[id].kind == ControlKind::Button && (w->controls[id].style & cs::kDefault)) {
          target = id;
          break;
        }
      }
      SendCommand(window, target, notify::kClicked);
    }
  } else if (virtualKey == key::kA && (modifiers & mod::kCtrl) && focused &&
             focused->kind == ControlKind::Edit && !(focused->style & cs::kMultiline)) {
    // Single-line edits select everything on Ctrl+A; multi-line ones do not.
    focused->selStart = 0;
    focused->selEnd = static_cast<int>(focused->text.size());
  }
  Pump();
  return true;
}

bool HeadlessBackend::Drag(WindowId window, Point from, Point to) {
  actionError_.clear();
  Reachable(window, 0);
  if (!actionError_.empty()) return false;
  Window* w = Find(window);
  for (int id : w->order) {
    const Control& c = w->controls[id];
    if (c.visible && c.rect.Contains(from) && TakesMouse(c.kind, c.style)) {
      // Controls keep the mouse to themselves: no window move.
      return c.rect.Contains(to) && c.enabled ? Click(window, id) : true;
    }
  }
  w->dragArmed = false;
  Message m;
  m.message = msg::kLButtonDown;
  m.point = from;
  w->client->HandleMessage(m);
  Pump();
  if (Window* self = Find(window); self && self->dragArmed) {
    self->dragArmed = false;
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    self->rect = Rect{self->rect.left + dx, self->rect.top + dy, self->rect.right + dx,
                      self->rect.bottom + dy};
  }
  return true;
}

bool HeadlessBackend::DoubleClickAt(WindowId window, Point at) {
  actionError_.clear();
  Reachable(window, 0);
  if (!actionError_.empty()) return false;
  Window* w = Find(window);
  Message m;
  m.message = msg::kLButtonDown;
  m.point = at;
  w->client->HandleMessage(m);
  Pump();
  if (Window* self = Find(window); self && self->client) {
    self->dragArmed = false;
    m.message = msg::kLButtonDblClk;
    self->client->HandleMessage(m);
  }
  Pump();
  return true;
}

bool HeadlessBackend::SystemClose(WindowId window) {
  return SystemCommand(window, syscmd::kClose);
}

bool HeadlessBackend::SystemCommand(WindowId window, unsigned command) {
  actionError_.clear();
  Reachable(window, 0);
  if (!actionError_.empty()) return false;
  Message m;
  m.message = msg::kSysCommand;
  m.wParam = command;
  Find(window)->client->HandleMessage(m);
  Pump();
  return true;
}

bool HeadlessBackend::WebNavigateByUser(WindowId window, int controlId, const std::string& url,
                                        bool newWindow) {
  Control* c = Reachable(window, controlId);
  if (!c) return false;
  if (c->kind != ControlKind::WebView)
    return Fail("control " + std::to_string(controlId) + " is not a web view");
  const bool allowed = common::AllowNavigation(*Find(window), controlId, url, newWindow);
  if (allowed && !newWindow) {
    if (Control* still = FindControl(window, controlId)) still->url = url;
  }
  Pump();
  return true;
}

// --- reading back -------------------------------------------------------------------

std::vector<std::string> HeadlessBackend::PaintLog(WindowId window) {
  return windows_.PaintLog(window);
}

std::optional<FontSpec> HeadlessBackend::ControlFont(WindowId window, int controlId) {
  return windows_.ControlFont(window, controlId);
}

std::optional<ImageList> HeadlessBackend::ListImages(WindowId window, int controlId) {
  return windows_.ListImages(window, controlId);
}

CtlColor HeadlessBackend::ControlColor(WindowId window, int controlId) {
  return windows_.ControlColor(window, controlId);
}

int HeadlessBackend::EditLimit(WindowId window, int controlId) {
  return windows_.EditLimit(window, controlId);
}

std::pair<int, int> HeadlessBackend::EditSelection(WindowId window, int controlId) {
  Control* c = FindControl(window, controlId);
  return c ? std::make_pair(c->selStart, c->selEnd) : std::make_pair(0, 0);
}

bool HeadlessBackend::Screenshot(WindowId, const std::string&) {
  return false;
}

}  // namespace ui::headless
