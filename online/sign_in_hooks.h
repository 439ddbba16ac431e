#pragma once

// What a successful sign-in sets off beyond the sign-in page itself.
namespace online {

// Fetches the account's stored tasks into the task table; called after a
// sign-in of level 1 with task synchronisation on. Empty until the task
// synchronisation is built.
void FetchTasksAfterSignIn();

}  // namespace online
