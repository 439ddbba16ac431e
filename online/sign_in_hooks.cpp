#include "online/sign_in_hooks.h"

namespace online {

void FetchTasksAfterSignIn() {}

}  // namespace online
