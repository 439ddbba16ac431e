#include "tasks/task_sync.h"

#include "app/services.h"
#include "app/shared_state.h"
#include "online/server_request.h"
#include "tasks/desktop_dlg.h"
#include "tasks/task_sync_rules.h"

namespace tasks {

namespace {

constexpr int kQuitCode = 18;
constexpr const char* kNoticeCaption = "提示";

SyncAccount Account() {
  const app::SharedState& shared = app::Shared();
  return {shared.urls.taskServiceUrl, shared.session.accountId(), shared.session.accountPassword()};
}

void Say(ui::Dialog* page, std::string_view text, std::string_view caption = {}) {
  if (page && page->IsWindow()) {
    page->MessageBox(text, caption);
  } else {
    ui::Dialog::UnownedMessageBox(text, caption);
  }
}

bool AccountMissing(ui::Dialog* page) {
  const SyncAccount account = Account();
  if (!account.id.empty() && !account.password.empty()) return false;
  Say(page, "登陆失败，不能同步!", kNoticeCaption);
  return true;
}

// One request; on failure says why under `caption` and ends the program.
bool Request(ui::Dialog* page, const std::string& address, std::string_view caption,
             std::string& reply) {
  const online::TextReply answer = online::ServerTextRequest(app::Services().http, address);
  if (!answer.ok()) {
    Say(page, online::FailureText(answer.failure), caption);
    ui::Backend::Current().PostQuit(kQuitCode);
    return false;
  }
  reply += answer.Joined();
  return true;
}

void AnswerChange(ui::Dialog* page, std::string& reply) {
  switch (JudgeChangeReply(reply)) {
    case ChangeReply::Refused:
      Say(page, "同步失败!", kNoticeCaption);
      reply.clear();
      break;
    case ChangeReply::Stored:
      Say(page, "任务同步成功", kNoticeCaption);
      reply.clear();
      break;
    case ChangeReply::Unknown:
      break;
  }
}

}  // namespace

ui::Dialog* OwnerOfAll(ui::Dialog* page) {
  ui::Dialog* owner = page ? page->GetParent() : nullptr;
  while (owner && owner->GetParent()) owner = owner->GetParent();
  return owner;
}

void EnsureScheduler(ui::Dialog* page) {
  if (app::Shared().taskValues.bannerCreated == 1) return;
  CDesktopDlg::CreateBanner(OwnerOfAll(page));
}

void SendSavedTask(ui::Dialog* page, int slot, const std::string& oldText) {
  app::SharedState& shared = app::Shared();
  TaskSlot& task = shared.taskTable[slot];
  task.syncFlag = "1";
  const std::string newText = task.PipeText();
  if (AccountMissing(page)) return;

  std::string& reply = shared.taskValues.syncReply;
  reply.clear();
  const std::string address =
      TaskChangeAddress(Account(), newText, task.inUse, oldText, task.serverId);
  if (!Request(page, address, kNoticeCaption, reply)) return;
  AnswerChange(page, reply);
}

void SendDeletion(ui::Dialog* page, int slot) {
  app::SharedState& shared = app::Shared();
  TaskTable& table = shared.taskTable;
  const std::string oldText = table.PipeText(slot);
  table.Free(slot);
  const std::string newText = table.PipeText(slot);
  if (!AccountMissing(page)) {
    std::string reply;
    const std::string address =
        TaskDeleteAddress(Account(), newText, table[slot].inUse, oldText, slot);
    if (Request(page, address, kNoticeCaption, reply)) AnswerChange(page, reply);
  }
  shared.taskValues.listDirty = 1;
}

void FetchTasks(ui::Dialog* page) {
  app::SharedState& shared = app::Shared();
  std::string reply;
  if (!Request(page, TaskFetchAddress(Account()), {}, reply)) return;

  switch (LoadFetchReply(shared.taskTable, reply)) {
    case FetchReply::Tasks:
      EnsureScheduler(page);
      return;
    case FetchReply::Refused:
      Say(page, "任务同步失败！");
      break;
    case FetchReply::Other:
      break;
  }
  // A task added before this sign-in keeps running.
  if (shared.taskTable[1].display.inUse == "1") EnsureScheduler(page);
}

}  // namespace tasks
