#include "app/start_at_log_on.h"

namespace app {

std::string StartAtLogOnCommand(const std::string& currentDirectory, char separator) {
  if (separator == '\\') return currentDirectory + "\\Orvane.exe";
  return currentDirectory + "/orvane";
}

}  // namespace app
