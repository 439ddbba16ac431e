#include "server/task_service.h"

namespace server {
namespace {

int SlotWithServerId(const TaskSlots& slots, std::int64_t serverId) {
  if (serverId <= 0) return -1;
  for (int i = 0; i < kTaskSlots; ++i) {
    if (!slots[i].content.empty() && slots[i].serverId == serverId) return i;
  }
  return -1;
}

int SlotWithText(const TaskSlots& slots, const std::string& text, int preferred) {
  if (preferred >= 0 && preferred < kTaskSlots && slots[preferred].content == text)
    return preferred;
  for (int i = 0; i < kTaskSlots; ++i) {
    if (!slots[i].content.empty() && slots[i].content == text) return i;
  }
  return -1;
}

int FirstFree(const TaskSlots& slots) {
  for (int i = 0; i < kTaskSlots; ++i) {
    if (slots[i].content.empty()) return i;
  }
  return -1;
}

}  // namespace

TaskChangeOutcome ApplyTaskChange(TaskSlots& slots, const TaskChange& change,
                                  const std::function<std::int64_t()>& newId) {
  const bool isNew = change.oldText == "0";
  if (change.isDeletion || change.inUse != "1") {
    int slot = SlotWithServerId(slots, change.serverId);
    if (slot < 0 && !isNew) slot = SlotWithText(slots, change.oldText, change.slot - 1);
    if (slot >= 0) slots[slot] = {};
    return TaskChangeOutcome::Stored;
  }
  int slot = SlotWithServerId(slots, change.serverId);
  if (slot < 0 && !isNew) slot = SlotWithText(slots, change.oldText, -1);
  if (slot >= 0) {
    slots[slot].content = change.content;
    return TaskChangeOutcome::Stored;
  }
  slot = FirstFree(slots);
  if (slot < 0) return TaskChangeOutcome::NoFreeSlot;
  slots[slot] = {change.content, newId()};
  return TaskChangeOutcome::Stored;
}

std::string FetchReply(const TaskSlots& slots) {
  std::string reply = "hqtask111";
  for (const StoredTask& task : slots) {
    reply += '^';
    reply += task.content;
  }
  reply += "^^";
  for (int i = 0; i < kTaskSlots; ++i) {
    if (i > 0) reply += '|';
    if (!slots[i].content.empty()) reply += std::to_string(slots[i].serverId);
  }
  return reply;
}

}  // namespace server
