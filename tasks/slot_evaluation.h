#pragma once
#include <cstdint>
#include <string>

#include "tasks/task_table.h"

// What one scheduler tick decides for one slot. Pure: the window that owns the
// timers carries the verdicts out.
namespace tasks {

// The world as a tick sees it.
struct TickContext {
  int hour = -1;  // local time; -1 when it could not be read
  int minute = -1;
  std::uint32_t idleMs = 0;  // since the last keyboard or mouse input
};

struct SlotVerdict {
  bool warn = false;  // raise the warning (before firing, in the same tick)
  bool fire = false;
};

// Evaluates a slot for one tick. A countdown counts its seconds down and
// writes its remaining-time text first; a free slot or an unknown mode yields
// nothing.
SlotVerdict EvaluateSlot(TaskSlot& slot, const TickContext& now);

// "%d时%d分%d秒", "%d 分 %d 秒" or "%d 秒", split with truncating division.
std::string RemainingText(std::int32_t seconds);

// Idle time from two tick counts; unsigned, so a wrap of the tick counter
// between the two readings costs nothing.
inline std::uint32_t IdleMilliseconds(std::uint32_t nowTick, std::uint32_t lastInputTick) {
  return nowTick - lastInputTick;
}

// Marks the slot warned once per run. True when a warning window is to open:
// only shutdown, restart and log-off warn with a window.
bool RaiseWarning(TaskSlot& slot);

enum class FireAction { None, Shutdown, Restart, LogOff, OpenFile, CloseProgram, Prompt };

// Frees the slot, clears its warning and answers what is to be carried out.
// Every task therefore runs once.
FireAction FireSlot(TaskSlot& slot);

}  // namespace tasks
