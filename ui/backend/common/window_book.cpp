#include "ui/backend/common/window_book.h"

#include "platform/text_codec.h"

namespace ui::common {

void WebVisit(ControlRecord& c, std::string url) {
  c.history.resize(static_cast<std::size_t>(c.historyAt + 1));
  c.history.push_back(url);
  c.historyAt = static_cast<int>(c.history.size()) - 1;
  c.url = std::move(url);
}

bool WebStep(ControlRecord& c, int delta) {
  const int to = c.historyAt + delta;
  if (to < 0 || to >= static_cast<int>(c.history.size())) return false;
  c.historyAt = to;
  c.url = c.history[static_cast<std::size_t>(to)];
  return true;
}

ControlRecord ControlRecordFrom(const ControlTemplate& t) {
  ControlRecord c;
  c.kind = t.kind;
  c.style = t.style;
  c.rect = DluToPixels(t.rect);
  c.enabled = (t.style & cs::kDisabled) == 0;
  c.visible = (t.style & cs::kHidden) == 0;
  c.bitmap = t.resource;
  return c;
}

int EditLimitFor(int bytes) {
  return bytes == 0 ? 0x7FFFFFFE : bytes;
}

std::string CutGbk(std::string_view gbk, int limit) {
  if (limit <= 0 || static_cast<int>(gbk.size()) <= limit) return std::string(gbk);
  std::size_t end = 0;
  while (end < gbk.size()) {
    const bool lead = text::IsGbkLeadByte(static_cast<unsigned char>(gbk[end]));
    const std::size_t step = lead && end + 1 < gbk.size() ? 2 : 1;
    if (end + step > static_cast<std::size_t>(limit)) break;
    end += step;
  }
  return std::string(gbk.substr(0, end));
}

std::string TrayTip(std::string_view tip) {
  return CutGbk(tip, 127);
}

bool MessageBoxHasButton(unsigned type, int result) {
  const unsigned buttons = type & mb::kButtonsMask;
  return (buttons == mb::kOk && result == IDOK) ||
         (buttons == mb::kOkCancel && (result == IDOK || result == IDCANCEL)) ||
         (buttons == mb::kYesNo && (result == IDYES || result == IDNO));
}

std::string AnswerError(const MessageBoxView* open, int result) {
  if (!open) return "no message box is open";
  if (!MessageBoxHasButton(open->type, result)) return "the message box has no such button";
  return {};
}

namespace {
std::string RectText(const Rect& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.Width()) +
         " " + std::to_string(r.Height());
}
}  // namespace

std::string PaintBitmapLine(int bitmapId, const Rect& dest) {
  return "bitmap " + std::to_string(bitmapId) + " " + RectText(dest);
}

std::string PaintIconLine(int iconId, Point at) {
  return "icon " + std::to_string(iconId) + " " + std::to_string(at.x) + " " + std::to_string(at.y);
}

std::string PaintFillLine(const Rect& rect, Color color) {
  return "fill " + RectText(rect) + " " + std::to_string(color);
}

void Detach(WindowRecord& w) {
  if (w.modal && !w.modalEnded) {
    w.modalEnded = true;
    w.modalResult = -1;
  }
  WindowClient* client = w.client;
  w.client = nullptr;  // no more calls into the object while it detaches
  if (client) client->Detached();
}

void SendCommand(const WindowRecord* w, int controlId, int code) {
  if (!w || !w->client) return;
  Message m;
  m.message = msg::kCommand;
  m.wParam =
      (static_cast<std::uintptr_t>(code & 0xFFFF) << 16) | static_cast<std::uintptr_t>(controlId);
  m.controlId = controlId;
  w->client->HandleMessage(m);
}

void SendNotify(const WindowRecord* w, const Notification& notification) {
  if (w && w->client) w->client->HandleNotification(notification);
}

CtlColor ControlColorOf(const WindowRecord* w, int controlId) {
  return w && w->client ? w->client->HandleCtlColor(controlId) : CtlColor{};
}

bool AllowNavigation(const WindowRecord& w, int controlId, const std::string& url, bool newWindow) {
  bool cancel = false;
  Notification n{newWindow ? notify::kWebNewWindow : notify::kWebBeforeNavigate,
                 controlId,
                 -1,
                 0,
                 {},
                 url.c_str(),
                 &cancel};
  SendNotify(&w, n);
  return !cancel;
}

Message TrayMessage(const TrayRecord& tray, int iconId, std::uint32_t mouseMessage) {
  Message m;
  m.message = tray.callback;
  m.wParam = static_cast<std::uintptr_t>(iconId);
  m.lParam = static_cast<std::intptr_t>(mouseMessage);
  return m;
}

}  // namespace ui::common
