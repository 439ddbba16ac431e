#pragma once
// <windows.h> without the A/W name macros that would rename our own members
// (FileSystem::CreateDirectory, Backend::MessageBox, Dialog::PostMessage...).
// Our code calls the wide functions by their full names.
#include <windows.h>

#undef CreateDirectory
#undef CreateFile
#undef GetDlgItemText
#undef GetWindowText
#undef MessageBox
#undef PostMessage
#undef SetDlgItemText
#undef SetWindowText

// ui/messages.h names the standard command ids itself, with the same values.
#undef IDOK
#undef IDCANCEL
#undef IDYES
#undef IDNO
