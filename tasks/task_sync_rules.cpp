#include "tasks/task_sync_rules.h"

#include <vector>

#include "online/endpoints.h"
#include "online/server_text.h"

namespace tasks {

namespace {

constexpr int kFetchPartCount = 12;
constexpr int kServerIdPart = 11;

bool CodeBelow(const std::string& code, char limit) {
  return code.size() == 1 && code[0] >= '0' && code[0] < limit;
}

// Whether the scheduler and the pages can carry a loaded record as it is.
bool Acceptable(const TaskSlot& slot) {
  for (int i = 0; i < kRecordFieldCount; ++i) {
    if (slot.Field(i).size() > kMaxFetchedFieldBytes) return false;
  }
  if (slot.inUse.empty() || slot.inUse == "0") return true;
  if (slot.inUse != "1") return false;
  if (!CodeBelow(slot.mode, '3') || !CodeBelow(slot.action, '4')) return false;
  return slot.action != "3" || CodeBelow(slot.operation, '4');
}

}  // namespace

std::string TaskChangeAddress(const SyncAccount& account, const std::string& newText,
                              const std::string& inUse, const std::string& oldText,
                              const std::string& serverId) {
  // The server id is ours only to send back; encoding it keeps an id with
  // "&" or blanks from splitting the query (digits pass unchanged).
  return online::FillTemplate(
      online::kTaskChangeFormat,
      {account.serviceUrl, account.id, account.password, online::UrlFormEncode(newText), inUse,
       online::UrlFormEncode(oldText), online::UrlFormEncode(serverId)});
}

std::string TaskDeleteAddress(const SyncAccount& account, const std::string& newText,
                              const std::string& inUse, const std::string& oldText, int slot) {
  return online::FillTemplate(
      online::kTaskDeleteFormat,
      {account.serviceUrl, account.id, account.password, online::UrlFormEncode(newText), inUse,
       online::UrlFormEncode(oldText), 1LL, std::to_string(slot)});
}

std::string TaskFetchAddress(const SyncAccount& account) {
  return online::FillTemplate(online::kTaskFetchFormat,
                              {account.serviceUrl, account.id, account.password});
}

ChangeReply JudgeChangeReply(const std::string& reply) {
  if (reply == "404u" || reply == "404ps" || reply == "task404") return ChangeReply::Refused;
  if (reply == "task111") return ChangeReply::Stored;
  return ChangeReply::Unknown;
}

FetchReply LoadFetchReply(TaskTable& table, const std::string& reply) {
  const std::vector<std::string> parts = online::SplitFields(reply, '^', kFetchPartCount);
  if (parts[0] == "404ps") return FetchReply::Refused;
  if (parts[0] != "hqtask111") return FetchReply::Other;

  for (int k = kFirstTaskSlot; k <= kLastTaskSlot; ++k) {
    table.LoadFetchedRecord(k, parts[k]);
    if (!Acceptable(table[k])) table.LoadFetchedRecord(k, "");
  }
  const std::vector<std::string> ids =
      online::SplitFields(parts[kServerIdPart], '|', kLastTaskSlot);
  for (int k = kFirstTaskSlot; k <= kLastTaskSlot; ++k) {
    const std::string& id = ids[k - 1];
    table[k].serverId = id.size() > kMaxFetchedFieldBytes ? std::string() : id;
  }
  return FetchReply::Tasks;
}

}  // namespace tasks
