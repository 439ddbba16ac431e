#pragma once
#include <string>

// The entry that starts the program when the user logs on: a value of the
// Run key on Windows, an autostart desktop entry elsewhere.
namespace app {

// The entry's name: the Run value, and (lower-cased) the desktop entry's file.
inline constexpr char kStartAtLogOnName[] = "Orvane";

// The program as the entry starts it: the current directory followed by the
// executable's name, "%s\Orvane.exe" on Windows (separator "\"), "%s/orvane"
// elsewhere. Started from there, the program finds its settings again.
std::string StartAtLogOnCommand(const std::string& currentDirectory, char separator);

}  // namespace app
