#pragma once
#include "ui/scenario.h"

namespace tools {

// Scenario commands of the batch tools: fixture folders (paths relative to
// the current directory) and the tools' settings files beside the program.
// Files themselves are the program's file commands.
void AddToolScenarioCommands(ui::ScenarioRunner& runner);

}  // namespace tools
