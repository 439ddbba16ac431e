#include "app/services.h"

#include <cassert>

namespace app {

namespace {
platform::Platform* current = nullptr;
}  // namespace

platform::Platform& Services() {
  assert(current && "no ServicesScope is alive");
  return *current;
}

ServicesScope::ServicesScope(platform::Platform& services) : previous_(current) {
  current = &services;
}

ServicesScope::~ServicesScope() {
  current = previous_;
}

}  // namespace app
