#include "online/sign_in_hooks.h"

#include "tasks/task_sync.h"

namespace online {

void FetchTasksAfterSignIn(ui::Dialog& signInPage) {
  tasks::FetchTasks(&signInPage);
}

}  // namespace online
