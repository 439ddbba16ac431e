#pragma once

namespace resources {

// Registers every dialog template of the program with the framework. Called
// once at start, before any window is made.
void RegisterTemplates();

// Template ids of our own, outside the program's numbered range.
constexpr int kGalleryTemplate = 90;

}  // namespace resources
