#pragma once
#include "platform/platform.h"

namespace app {

// The platform services the program was started with. A ServicesScope must be alive.
platform::Platform& Services();

// Installs a bundle of services for its lifetime and puts back the one before.
class ServicesScope {
 public:
  explicit ServicesScope(platform::Platform& services);
  ~ServicesScope();
  ServicesScope(const ServicesScope&) = delete;
  ServicesScope& operator=(const ServicesScope&) = delete;

 private:
  platform::Platform* previous_;
};

}  // namespace app
