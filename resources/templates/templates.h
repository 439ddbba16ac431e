#pragma once

namespace resources {

// Registers every dialog template of the program with the framework. Called
// once at start, before any window is made.
void RegisterTemplates();

}  // namespace resources
