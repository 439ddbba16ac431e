#pragma once
#include "platform/sim/sim_platform.h"
#include "ui/scenario.h"

// Scenario commands that know the program: the recorded platform calls (on
// the simulated services) and the program's own set-ups.
void AddProgramCommands(ui::ScenarioRunner& runner, platform::sim::SimPlatform* sim);
