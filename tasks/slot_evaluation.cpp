#include "tasks/slot_evaluation.h"

#include <climits>
#include <cstdio>

namespace tasks {

namespace {

SlotVerdict SetTime(const TaskSlot& slot, const TickContext& now) {
  // Only hour and minute count, so a passed time waits for the next day; an
  // unreadable clock (-1) never matches.
  if (FieldInt(slot.hour) != now.hour) return {};
  const std::int64_t d = std::int64_t{FieldInt(slot.minute)} - now.minute;
  if (d == 1) return {.warn = true};
  if (d == 0) return {.fire = true};
  return {};
}

SlotVerdict Countdown(TaskSlot& slot) {
  if (slot.seconds > INT32_MIN) --slot.seconds;
  const std::int32_t v = slot.seconds;
  slot.display.remaining = RemainingText(v);
  return {.warn = v < 60, .fire = v < 0};
}

SlotVerdict Idle(const TaskSlot& slot, const TickContext& now) {
  // Signed arithmetic: an idle time beyond the task's seconds must go
  // negative, not wrap to a huge remainder.
  const std::int64_t r = (std::int64_t{slot.seconds} * 1000 - std::int64_t{now.idleMs}) / 1000;
  return {.warn = r < 60, .fire = r < 0};
}

}  // namespace

std::string RemainingText(std::int32_t seconds) {
  const std::int32_t h = seconds / 3600;
  const std::int32_t m = (seconds - h * 3600) / 60;
  const std::int32_t s = seconds - (h * 60 + m) * 60;
  char text[64];
  if (h > 0) {
    std::snprintf(text, sizeof text, "%d时%d分%d秒", h, m, s);
  } else if (m > 0) {
    std::snprintf(text, sizeof text, "%d 分 %d 秒", m, s);
  } else {
    std::snprintf(text, sizeof text, "%d 秒", s);
  }
  return text;
}

SlotVerdict EvaluateSlot(TaskSlot& slot, const TickContext& now) {
  if (!slot.Scheduled()) return {};
  if (slot.mode == "0") return SetTime(slot, now);
  if (slot.mode == "1") return Countdown(slot);
  if (slot.mode == "2") return Idle(slot, now);
  return {};
}

bool RaiseWarning(TaskSlot& slot) {
  if (slot.warned != 0) return false;
  slot.warned = 1;
  // Operations (reminder, alarm, open, close) are marked but get no window.
  return slot.action != "3";
}

FireAction FireSlot(TaskSlot& slot) {
  slot.inUse = "0";
  slot.warned = 0;
  if (slot.action == "0") return FireAction::Shutdown;
  if (slot.action == "1") return FireAction::Restart;
  if (slot.action == "2") return FireAction::LogOff;
  if (slot.action == "3") {
    if (slot.operation == "2") return FireAction::OpenFile;
    if (slot.operation == "3") return FireAction::CloseProgram;
    return FireAction::Prompt;
  }
  return FireAction::None;
}

}  // namespace tasks
