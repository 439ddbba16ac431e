#pragma once
#include "ui/scenario.h"

// Scenario commands on the files of the current directory, through the
// program's own file system: the settings a run starts with and the bytes it
// leaves behind.
void AddFileScenarioCommands(ui::ScenarioRunner& runner);
