#pragma once
#include <cstdint>
#include <vector>

#include "ui/dialog_template.h"

// Our dialog templates as the system's in-memory DLGTEMPLATEEX, in real dialog
// units, so the dialog manager lays pages out from the same tables as every
// other backend.
namespace ui::win32 {

// The bytes of the DLGTEMPLATEEX (DWORD aligned, ready for
// CreateDialogIndirectParamW). Bitmap statics name their bitmap resource by id.
std::vector<std::uint8_t> BuildDialogTemplate(const DialogTemplate& dialogTemplate);

// Window styles of the dialog and of one control, from our style bits.
std::uint32_t DialogStyle(const DialogTemplate& dialogTemplate);
std::uint32_t DialogExStyle(const DialogTemplate& dialogTemplate);
std::uint32_t ControlStyle(const ControlTemplate& control);

}  // namespace ui::win32
