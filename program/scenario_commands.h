#pragma once
#include "platform/sim/sim_platform.h"
#include "ui/scenario.h"

// Every module's scenario commands: the simulated services' (scripted answers
// and recorded calls) and each subsystem's own.
void AddProgramCommands(ui::ScenarioRunner& runner, platform::sim::SimPlatform* sim);
