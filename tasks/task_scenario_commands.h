#pragma once
#include "platform/sim/sim_platform.h"
#include "ui/scenario.h"

namespace tasks {

// Scenario commands of the timed tasks: put a task into a slot the way the
// sign-in fetch does (creating the scheduler window), read slots and shared
// task values back, and script the user's idleness and the running processes.
// `sim` may be null on real backends; the commands that need it then fail.
void AddTaskScenarioCommands(ui::ScenarioRunner& runner, platform::sim::SimPlatform* sim);

}  // namespace tasks
