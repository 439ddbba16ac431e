// Controls: plain records of what the program set.
#include "ui/backend/headless/headless_backend.h"

#include <algorithm>

namespace ui::headless {

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

Rect HeadlessBackend::GetControlRect(WindowId window, int id) {
  Control* c = FindControl(window, id);
  return c ? c->rect : Rect{};
}

void HeadlessBackend::MoveControl(WindowId window, int id, const Rect& rect) {
  if (Control* c = FindControl(window, id)) c->rect = rect;
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
                                       int width, bool centred) {
  Control* c = FindControl(window, id);
  if (!c) return;
  column = std::clamp(column, 0, static_cast<int>(c->columns.size()));
  c->columns.insert(c->columns.begin() + column, std::string(title));
  c->columnFormats.insert(c->columnFormats.begin() + column, ColumnFormat{width, centred});
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

std::vector<HeadlessBackend::ColumnFormat> HeadlessBackend::ListColumnFormats(WindowId window,
                                                                              int controlId) {
  Control* c = FindControl(window, controlId);
  return c ? c->columnFormats : std::vector<ColumnFormat>{};
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
  if (Control* c = FindControl(window, id)) common::WebVisit(*c, std::string(url));
}

bool HeadlessBackend::WebGo(WindowId window, int id, int delta) {
  Control* c = FindControl(window, id);
  return c && common::WebStep(*c, delta);
}

void HeadlessBackend::WebRefresh(WindowId window, int id) {
  if (Control* c = FindControl(window, id)) ++c->refreshes;
}

int HeadlessBackend::WebRefreshes(WindowId window, int id) {
  Control* c = FindControl(window, id);
  return c ? c->refreshes : 0;
}

std::string HeadlessBackend::WindowTitle(WindowId window) {
  Window* w = Find(window);
  return w ? w->title : std::string();
}

std::string HeadlessBackend::WebLocation(WindowId window, int id) {
  return windows_.WebLocation(window, id);
}

}  // namespace ui::headless
