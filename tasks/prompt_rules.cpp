#include "tasks/prompt_rules.h"

#include <string>

namespace tasks {

const char* const kReminderCloseLabel = "关     闭";
const char* const kAlarmStopLabel = "闹  铃  停  止";
const char* const kAlarmText = "闹铃正在响~```！";
const char* const kWarningButtonLabel = "关闭提示";

PromptKind PromptKindOf(const TaskSlot& slot) {
  if (FieldBelow(slot.action, "3")) return PromptKind::Warning;
  if (slot.operation == "0") return PromptKind::Reminder;
  if (slot.operation == "1") return PromptKind::Alarm;
  return PromptKind::Other;
}

std::optional<std::string> PowerActionName(const std::string& action) {
  if (action == "0") return "关机";
  if (action == "1") return "重启";
  if (action == "2") return "注销";
  return std::nullopt;
}

int AlarmSoundResource(const std::string& ring) {
  if (ring == "1") return 138;
  if (ring == "2") return 139;
  return 136;
}

std::string WarningText(int seconds, const std::string& actionName) {
  return "将在 " + std::to_string(seconds) + " 秒后进行 " + actionName + " ，请做好准备!";
}

void StartPromptCountdown(int& promptCountdown) {
  if (promptCountdown <= 0) promptCountdown = kPromptCountdownStart;
}

bool TickPromptCountdown(int& promptCountdown) {
  if (promptCountdown > 0) --promptCountdown;
  return promptCountdown <= 0;
}

}  // namespace tasks
