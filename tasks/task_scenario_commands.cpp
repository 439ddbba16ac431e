#include "tasks/task_scenario_commands.h"

#include <cctype>
#include <optional>
#include <string>

#include "app/shared_state.h"
#include "online/endpoints.h"
#include "tasks/desktop_dlg.h"
#include "tasks/edit_dlg.h"
#include "tasks/task_dlg.h"
#include "tasks/task_sync.h"

namespace tasks {

namespace {

using Ctx = ui::ScenarioContext;
using Cmd = ui::ScenarioCommand;

constexpr const char* kFieldNames[kRecordFieldCount] = {
    "inUse",     "hour",      "minute",  "category", "mode",   "action",
    "operation", "parameter", "addedAt", "syncFlag", "extra1", "extra2"};

std::optional<int> Slot(Ctx& ctx, const std::string& text) {
  const auto n = ctx.Number(text);
  if (!n) return std::nullopt;
  if (*n < kFirstTaskSlot || *n > kLastTaskSlot) {
    ctx.Fail("a task slot is 1 to 9");
    return std::nullopt;
  }
  return static_cast<int>(*n);
}

// A slot's value by name, as text; nullopt for an unknown name.
std::optional<std::string> SlotValue(const TaskSlot& slot, const std::string& name) {
  for (int i = 0; i < kRecordFieldCount; ++i) {
    if (name == kFieldNames[i]) return slot.Field(i);
  }
  if (name.size() == 8 && name.compare(0, 7, "display") == 0 &&
      std::isdigit(static_cast<unsigned char>(name[7]))) {
    return slot.display.Text(name[7] - '0');
  }
  if (name == "seconds") return std::to_string(slot.seconds);
  if (name == "warned") return std::to_string(slot.warned);
  if (name == "serverId") return slot.serverId;
  return std::nullopt;
}

std::optional<std::string> SharedValue(const SharedTaskValues& v, const std::string& name) {
  if (name == "promptSlot") return std::to_string(v.promptSlot);
  if (name == "promptCountdown") return std::to_string(v.promptCountdown);
  if (name == "promptActionName") return v.promptActionName;
  if (name == "closeTarget") return v.closeTarget;
  if (name == "listDirty") return std::to_string(v.listDirty);
  if (name == "bannerCreated") return std::to_string(v.bannerCreated);
  if (name == "bannerHideCount") return std::to_string(v.bannerHideCount);
  if (name == "editSlot") return std::to_string(v.editSlot);
  if (name == "saveSlot") return std::to_string(v.saveSlot);
  if (name == "slotLimit") return std::to_string(v.slotLimit);
  if (name == "deleteRequested") return std::to_string(v.deleteRequested);
  if (name == "tableFull") return std::to_string(v.tableFull);
  if (name == "chosenFile") return v.chosenFile;
  if (name == "chosenFileTitle") return v.chosenFileTitle;
  if (name == "syncReply") return v.syncReply;
  return std::nullopt;
}

bool Compare(Ctx& ctx, const std::string& what, const std::string& seen, const std::string& want) {
  if (seen == want) return true;
  return ctx.Fail(what + " is " + Ctx::Show(seen) + ", expected " + Ctx::Show(want));
}

}  // namespace

void AddTaskScenarioCommands(ui::ScenarioRunner& runner) {
  runner.AddCommand("task", [](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() != 2) return ctx.Fail("usage: task SLOT \"RECORD\"");
    const auto slot = Slot(ctx, cmd.args[0]);
    if (!slot) return false;
    app::SharedState& shared = app::Shared();
    shared.taskTable.LoadFetchedRecord(*slot, cmd.args[1]);
    if (shared.taskValues.bannerCreated != 1 && !CDesktopDlg::CreateBanner(nullptr)) {
      return ctx.Fail("the scheduler window could not be made");
    }
    return true;
  });
  runner.AddCommand("task-free", [](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() != 1) return ctx.Fail("usage: task-free SLOT");
    const auto slot = Slot(ctx, cmd.args[0]);
    if (!slot) return false;
    app::Shared().taskTable.Free(*slot);
    return true;
  });
  runner.AddCommand("expect task", [](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() != 4) return ctx.Fail("usage: expect task SLOT FIELD \"TEXT\"");
    const auto slot = Slot(ctx, cmd.args[1]);
    if (!slot) return false;
    const auto seen = SlotValue(app::Shared().taskTable[*slot], cmd.args[2]);
    if (!seen) return ctx.Fail("no slot value named " + cmd.args[2]);
    return Compare(ctx, "slot " + cmd.args[1] + " " + cmd.args[2], *seen, cmd.args[3]);
  });
  runner.AddCommand("task-page", [](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() != 1) return ctx.Fail("usage: task-page 133|140");
    if (cmd.args[0] == "133") {
      CEditDlg page(nullptr);
      page.DoModal();
    } else if (cmd.args[0] == "140") {
      // As the main window's entry does: the rows fill at the first tick.
      app::Shared().taskValues.listDirty = 1;
      CTaskDlg page(nullptr);
      page.DoModal();
    } else {
      return ctx.Fail("task-page opens 133 (the editor) or 140 (the list)");
    }
    return true;
  });
  runner.AddCommand("task-account", [](Ctx& ctx, const Cmd& cmd) {
    app::SharedState& shared = app::Shared();
    online::FillServerUrls(shared.urls);
    if (cmd.args.size() == 1 && cmd.args[0] == "none") {
      shared.session.signedIn = 0;
      shared.session.accountLevel = 0;
      return true;
    }
    if (cmd.args.size() != 3) return ctx.Fail("usage: task-account none|LEVEL \"ID\" \"PASSWORD\"");
    const auto level = ctx.Number(cmd.args[0]);
    if (!level) return false;
    shared.session.signedIn = 1;
    shared.session.accountLevel = static_cast<int>(*level);
    shared.session.accountId() = cmd.args[1];
    shared.session.accountPassword() = cmd.args[2];
    return true;
  });
  runner.AddCommand("task-sync", [](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() != 1 || (cmd.args[0] != "0" && cmd.args[0] != "1")) {
      return ctx.Fail("usage: task-sync 0|1");
    }
    app::Shared().settings.syncTasks = cmd.args[0] == "1" ? 1 : 0;
    return true;
  });
  runner.AddCommand("task-fetch", [](Ctx& ctx, const Cmd& cmd) {
    if (!cmd.args.empty()) return ctx.Fail("usage: task-fetch");
    FetchTasks(nullptr);
    return true;
  });
  runner.AddCommand("expect task-value", [](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() != 3) return ctx.Fail("usage: expect task-value NAME \"TEXT\"");
    const auto seen = SharedValue(app::Shared().taskValues, cmd.args[1]);
    if (!seen) return ctx.Fail("no shared task value named " + cmd.args[1]);
    return Compare(ctx, cmd.args[1], *seen, cmd.args[2]);
  });
}

}  // namespace tasks
