#pragma once
#include <string>
#include <vector>

#include "platform/shell.h"

namespace platform::linuxos {

// Opens files with the desktop's default handler (xdg-open) and starts
// command lines, never through a shell.
class LinuxShell : public Shell {
 public:
  bool Open(const std::string& target, const std::string& parameters = {}) override;
  bool Exec(const std::string& commandLine) override;
};

// Splits a command line the way Windows programs split theirs for the common
// cases: blanks separate arguments, double quotes group them.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace platform::linuxos
