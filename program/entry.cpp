#include "program/entry.h"

#include "program/gallery_dlg.h"
#include "ui/backend.h"

int RunEntry(const std::string& entry) {
  ui::Backend& backend = ui::Backend::Current();
  // Until the main window exists, the program starts with the gallery.
  if (entry == "gallery" || entry == "main") {
    CGalleryDlg gallery;
    gallery.DoModal();
  } else {
    return -1;
  }
  return backend.QuitPosted() ? backend.ExitCode() : 0;
}
