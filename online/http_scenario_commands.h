#pragma once
#include "platform/sim/sim_platform.h"
#include "ui/scenario.h"

namespace online {

// Scenario commands that play the vendor server on the simulated HTTP
// service: script a reply or a failure for every address under a path, and
// check the exact addresses the program asked for. `sim` may be null on real
// backends; the commands then fail.
void AddHttpScenarioCommands(ui::ScenarioRunner& runner, platform::sim::SimPlatform* sim);

}  // namespace online
