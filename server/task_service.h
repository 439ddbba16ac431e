#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "server/store.h"

namespace server {

// One change request of the task service, its values decoded (GBK bytes).
struct TaskChange {
  std::string content;  // the new pipe text
  std::string inUse;    // "1" keeps the task, "0" frees its slot
  std::string oldText;  // "0" for a new task, else the slot's pipe text before
  bool isDeletion = false;
  int slot = 0;               // a deletion names the client's slot number
  std::int64_t serverId = 0;  // an add or a modification names the task's server id, if any
};

enum class TaskChangeOutcome { Stored, NoFreeSlot };

// Applies one change to an account's slots. The client fills its slots from
// the first free one up and names the task by its old text, its server id or
// its slot number; the server's copy follows the same rules so both tables
// keep the same slots:
// - a deletion (or a change with inUse "0") frees the slot that holds the
//   old text, preferring the named slot; with no such slot nothing changes;
// - a modification rewrites the slot with that server id, else the slot that
//   holds the old text, else it is stored like a new task;
// - a new task takes the slot of the server id it names (a slot the client
//   reuses), else the first free slot.
TaskChangeOutcome ApplyTaskChange(TaskSlots& slots, const TaskChange& change,
                                  const std::function<std::int64_t()>& newId);

// "hqtask111", the records of slots 1 to 9, an unused part, then the server
// ids of slots 1 to 9; all joined by "^". A free slot is an empty part.
std::string FetchReply(const TaskSlots& slots);

}  // namespace server
