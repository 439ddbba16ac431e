#include "app/shared_state.h"

#include <cassert>

namespace app {

namespace {
SharedState* current = nullptr;
}  // namespace

SharedState& Shared() {
  assert(current && "no SharedStateScope is alive");
  return *current;
}

SharedStateScope::SharedStateScope() : previous_(current) {
  current = &state_;
}

SharedStateScope::~SharedStateScope() {
  current = previous_;
}

}  // namespace app
