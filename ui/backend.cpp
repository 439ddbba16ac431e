#include "ui/backend.h"

#include <cassert>

namespace ui {

namespace {
Backend* g_current = nullptr;
}

Backend& Backend::Current() {
  assert(g_current && "no backend: the program's entry or the test sets one");
  return *g_current;
}

void Backend::SetCurrent(Backend* backend) {
  g_current = backend;
}

}  // namespace ui
