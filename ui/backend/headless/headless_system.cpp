// Message boxes, pickers and the tray: the program's calls and the
// scripted user's answers.
#include "ui/backend/headless/headless_backend.h"

#include <algorithm>

namespace ui::headless {

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
  actionError_ = common::AnswerError(boxes_.empty() ? nullptr : &boxes_.back()->view, result);
  if (!actionError_.empty()) return false;
  Box& box = *boxes_.back();
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

void HeadlessBackend::AppendSystemMenu(WindowId window, unsigned command, std::string_view text) {
  if (Window* w = Find(window)) w->systemMenu.emplace_back(command, std::string(text));
}

}  // namespace ui::headless
