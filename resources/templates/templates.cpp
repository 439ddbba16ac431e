#include "resources/templates/templates.h"

#include "resources/templates/template_groups.h"

namespace resources {

void RegisterTemplates() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterGalleryTemplate();
  RegisterTaskWindowTemplates();
}

}  // namespace resources
