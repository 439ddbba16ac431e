#pragma once
#include <string>
#include <vector>

#include "platform/shell.h"

namespace platform::linuxos {

// Opens files with the desktop's default handler (xdg-open) and starts
// command lines, never through a shell. The Windows accessories the program
// names ("notepad", "calc", "cmd.exe") start the desktop's own text editor,
// calculator and terminal.
class LinuxShell : public Shell {
 public:
  bool Open(const std::string& target, const std::string& parameters = {}) override;
  bool Exec(const std::string& commandLine) override;
};

// The desktop program that stands in for a Windows accessory: the first of a
// short list found on PATH; empty for any other name, or when none is there.
std::string DesktopStandIn(const std::string& windowsProgram);

// Splits a command line the way Windows programs split theirs for the common
// cases: blanks separate arguments, double quotes group them.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace platform::linuxos
