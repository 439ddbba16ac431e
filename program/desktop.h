#pragma once
#include <memory>
#include <string>

#include "platform/platform.h"
#include "ui/backend.h"
#include "ui/user_actions.h"

// The window system of the desktop build and the system's own services, made
// once by main. Each desktop backend provides Make; a build without one
// answers null with the reason in `why`.
struct DesktopBackend {
  virtual ~DesktopBackend() = default;
  virtual ui::Backend& backend() = 0;
  virtual ui::UserActions& user() = 0;
  virtual platform::Platform& services() = 0;
  static std::unique_ptr<DesktopBackend> Make(int& argc, char**& argv, std::string& why);
};
