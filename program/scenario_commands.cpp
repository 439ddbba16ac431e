#include "program/scenario_commands.h"

#include "online/http_scenario_commands.h"
#include "platform/sim/sim_scenario_commands.h"
#include "program/file_scenario_commands.h"
#include "tasks/task_scenario_commands.h"
#include "tools/tool_scenario_commands.h"

void AddProgramCommands(ui::ScenarioRunner& runner, platform::sim::SimPlatform* sim) {
  platform::sim::AddSimScenarioCommands(runner, sim);
  tasks::AddTaskScenarioCommands(runner);
  online::AddHttpScenarioCommands(runner, sim);
  AddFileScenarioCommands(runner);
  tools::AddToolScenarioCommands(runner);
}
