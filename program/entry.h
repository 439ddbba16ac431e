#pragma once
#include <string>

// Runs one of the program's entries on the current backend: "main" (the
// program as a user starts it) or "gallery". Answers the exit code, or -1
// for an unknown entry.
int RunEntry(const std::string& entry);
