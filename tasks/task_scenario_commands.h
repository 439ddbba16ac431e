#pragma once
#include "ui/scenario.h"

namespace tasks {

// Scenario commands of the timed tasks: put a task into a slot the way the
// sign-in fetch does (creating the scheduler window), and read slots and
// shared task values back.
void AddTaskScenarioCommands(ui::ScenarioRunner& runner);

}  // namespace tasks
