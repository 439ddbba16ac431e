#pragma once
#include "ui/dialog.h"

// What a successful sign-in sets off beyond the sign-in page itself.
namespace online {

// Fetches the account's stored tasks into the task table; called after a
// sign-in of level 1 with task synchronisation on. Its messages belong to the
// sign-in page; the scheduler window it may start, to the page's owner.
void FetchTasksAfterSignIn(ui::Dialog& signInPage);

}  // namespace online
