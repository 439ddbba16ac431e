#pragma once
#include "ui/scenario.h"

// The built-in command families of the scenario language; the runner adds
// them when it is made.
namespace ui {

// Acting as the user: clicks, typing, keys, drags, message boxes, the tray,
// pickers and web views (scenario_user_commands.cpp).
void AddUserCommands(ScenarioRunner& runner);
// `expect ...`: what the user would see (scenario_expect_commands.cpp).
void AddExpectCommands(ScenarioRunner& runner);
// Time and the screen: advance, time, wait, wait-text, repaint, screenshot
// (scenario_time_commands.cpp).
void AddTimeCommands(ScenarioRunner& runner);

}  // namespace ui
