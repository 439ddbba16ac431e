#pragma once
#include "platform/sim/sim_platform.h"
#include "ui/scenario.h"

namespace platform::sim {

// Scenario commands that script the simulated services and read back what
// they recorded: the user's idleness and input, the running processes, and
// the platform calls the program made. `sim` is null on real backends; the
// commands then fail, saying they need --headless.
void AddSimScenarioCommands(ui::ScenarioRunner& runner, SimPlatform* sim);

}  // namespace platform::sim
