#include "resources/templates/templates.h"

namespace resources {

// Generated from the *_templates.cpp files of this folder.
void RegisterTemplateGroups();

void RegisterTemplates() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterTemplateGroups();
}

}  // namespace resources
