#pragma once
#include <optional>
#include <string>

#include "tasks/task_table.h"

// What the warning, reminder and alarm window shows for a slot.
namespace tasks {

enum class PromptKind { Warning, Reminder, Alarm, Other };

// Actions sorting below "3" are shutdown-type warnings; otherwise the
// operation decides.
PromptKind PromptKindOf(const TaskSlot& slot);

// "关机", "重启" or "注销" for action "0", "1", "2"; nullopt for anything else.
std::optional<std::string> PowerActionName(const std::string& action);

// WAVE resource of an alarm's ring number: "0" 136, "1" 138, "2" 139, else 136.
int AlarmSoundResource(const std::string& ring);

// "将在 %d 秒后进行 %s ，请做好准备!"
std::string WarningText(int seconds, const std::string& actionName);

inline constexpr int kPromptCountdownStart = 60;

// A warning window opening. The count is shared by all open warnings, but a
// count that has already run out belongs to a warning that is over: the new
// one starts afresh, so it never announces 0 or less seconds for a shutdown
// that is a minute away.
void StartPromptCountdown(int& promptCountdown);

// One second of a warning: counts the shared value down, never below 0.
// True when the window's timer is to stop.
bool TickPromptCountdown(int& promptCountdown);

extern const char* const kReminderCloseLabel;  // "关     闭"
extern const char* const kAlarmStopLabel;      // "闹  铃  停  止"
extern const char* const kAlarmText;           // "闹铃正在响~```！"
extern const char* const kWarningButtonLabel;  // "关闭提示"

}  // namespace tasks
