#pragma once
#include <string>

namespace platform {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a file or address with its default handler ("open" verb); false on failure.
  virtual bool Open(const std::string& target, const std::string& parameters = {}) = 0;
  // Starts a command line (WinExec semantics); false on failure.
  virtual bool Exec(const std::string& commandLine) = 0;
};

}  // namespace platform
