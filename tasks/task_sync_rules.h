#pragma once
#include <string>

#include "tasks/task_table.h"

// What the task service of the vendor server is asked and what its replies
// mean: the addresses of the three change requests and of the fetch, and the
// loading of a fetch reply into the table. Pure; the pages make the requests.
namespace tasks {

// Whose tasks travel, and where to.
struct SyncAccount {
  std::string serviceUrl;  // taskServiceUrl
  std::string id;          // sent as it is
  std::string password;    // sent as it is
};

// The add-or-modify request: the new pipe text and the old one ("0" for an
// add) form-encoded, the slot's inUse, and its server id.
std::string TaskChangeAddress(const SyncAccount& account, const std::string& newText,
                              const std::string& inUse, const std::string& oldText,
                              const std::string& serverId);
// The deletion: like a change, with sctb 1 and the slot number as zrid.
std::string TaskDeleteAddress(const SyncAccount& account, const std::string& newText,
                              const std::string& inUse, const std::string& oldText, int slot);
std::string TaskFetchAddress(const SyncAccount& account);

enum class ChangeReply {
  Refused,  // "404u", "404ps", "task404": "同步失败!"
  Stored,   // "task111": "任务同步成功"
  Unknown,  // anything else: nothing is said
};
ChangeReply JudgeChangeReply(const std::string& reply);

enum class FetchReply {
  Tasks,    // "hqtask111": slots 1 to 9 and their server ids were loaded
  Refused,  // "404ps"
  Other,
};

// The longest field a record of ours ever holds: a file path.
constexpr std::size_t kMaxFetchedFieldBytes = 260;

// Reads a fetch reply ("^"-separated parts: the code, the records of slots 1
// to 9, one part not read, the server ids) into the table when its code says
// tasks follow; otherwise the table stays as it was. The reply comes from the
// network: a record the scheduler could not carry out (an inUse other than
// "0", "1" or empty, a mode, action or operation outside its codes, a field
// longer than any the editor writes) is loaded as an empty, free slot.
FetchReply LoadFetchReply(TaskTable& table, const std::string& reply);

}  // namespace tasks
