#pragma once
#include <string>

#include "ui/dialog.h"

// The task requests the pages make of the vendor server, with their messages.
// A failed request ends the program with exit code 18, as every failed task
// request does.
namespace tasks {

// Sends the task just saved into `slot` (its syncFlag becomes "1");
// `oldText` is the slot's pipe text before the save, or "0" for an add.
// `page` owns the message boxes (none: they belong to no window).
void SendSavedTask(ui::Dialog* page, int slot, const std::string& oldText);

// Frees `slot` and tells the server; the slot stays free whatever it answers.
void SendDeletion(ui::Dialog* page, int slot);

// Right after a sign-in that synchronises: loads the account's tasks into
// slots 1 to 9 and starts the scheduler window once.
void FetchTasks(ui::Dialog* page);

// The window at the top of the page's owners, which the scheduler window and
// the warning windows belong to: the main window when pages are opened from
// it. Null for a page without an owner.
ui::Dialog* OwnerOfAll(ui::Dialog* page);

// Starts the scheduler window unless it runs already.
void EnsureScheduler(ui::Dialog* page);

}  // namespace tasks
