#pragma once
#include <string>

namespace platform {

// The entry that starts the program when the user logs on.
class Autostart {
 public:
  virtual ~Autostart() = default;
  virtual bool Set(const std::string& name, const std::string& commandLine) = 0;
  virtual bool Remove(const std::string& name) = 0;
};

}  // namespace platform
