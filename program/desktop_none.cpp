#include "program/desktop.h"

// The test build has the headless backend only.
std::unique_ptr<DesktopBackend> DesktopBackend::Make(int&, char**&, std::string& why) {
  why = "this build has no desktop backend; run with --headless, or build the linux preset";
  return nullptr;
}
