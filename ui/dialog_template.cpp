#include "ui/dialog_template.h"

#include <map>
#include <mutex>

namespace ui {

namespace {

struct Registry {
  std::mutex mutex;
  std::map<int, DialogTemplate> templates;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

const ControlTemplate* DialogTemplate::FindControl(int controlId) const {
  for (const ControlTemplate& control : controls) {
    if (control.id == controlId) return &control;
  }
  return nullptr;
}

void RegisterTemplate(DialogTemplate dialogTemplate) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  const int id = dialogTemplate.id;
  registry.templates.insert_or_assign(id, std::move(dialogTemplate));
}

const DialogTemplate* FindTemplate(int templateId) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  auto it = registry.templates.find(templateId);
  return it == registry.templates.end() ? nullptr : &it->second;
}

}  // namespace ui
