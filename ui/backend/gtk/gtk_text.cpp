#include <gdk/gdkkeysyms.h>

#include "platform/text_codec.h"
#include "ui/backend/gtk/gtk_port.h"
#include "ui/messages.h"

namespace ui::gtk {

std::string ToUtf8(std::string_view gbk) {
  return text::GbkToUtf8(gbk);
}
std::string FromUtf8(std::string_view utf8) {
  return text::Utf8ToGbk(utf8);
}

namespace {
int CharBytes(std::string_view gbk, std::size_t at) {
  return text::IsGbkLeadByte(static_cast<unsigned char>(gbk[at])) && at + 1 < gbk.size() ? 2 : 1;
}
}  // namespace

int GbkCharsBefore(std::string_view gbk, int byteOffset) {
  int chars = 0;
  std::size_t at = 0;
  while (at < gbk.size() && static_cast<int>(at) < byteOffset) {
    at += CharBytes(gbk, at);
    ++chars;
  }
  return chars;
}

int GbkBytesOfChars(std::string_view gbk, int chars) {
  std::size_t at = 0;
  for (int i = 0; i < chars && at < gbk.size(); ++i) at += CharBytes(gbk, at);
  return static_cast<int>(at);
}

int VirtualKeyOf(guint keyval) {
  switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      return key::kReturn;
    case GDK_KEY_Escape:
      return key::kEscape;
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab:
      return key::kTab;
    case GDK_KEY_Menu:
      return key::kApps;
    case GDK_KEY_BackSpace:
      return 0x08;
    case GDK_KEY_space:
      return 0x20;
    case GDK_KEY_Delete:
      return 0x2E;
    case GDK_KEY_Left:
      return 0x25;
    case GDK_KEY_Up:
      return 0x26;
    case GDK_KEY_Right:
      return 0x27;
    case GDK_KEY_Down:
      return 0x28;
    default:
      break;
  }
  if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return static_cast<int>(keyval - GDK_KEY_a) + 'A';
  if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return static_cast<int>(keyval - GDK_KEY_A) + 'A';
  if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return static_cast<int>(keyval - GDK_KEY_0) + '0';
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12)
    return static_cast<int>(keyval - GDK_KEY_F1) + 0x70;
  return 0;
}

unsigned ModifiersOf(guint state) {
  unsigned modifiers = mod::kNone;
  if (state & GDK_CONTROL_MASK) modifiers |= mod::kCtrl;
  if (state & GDK_SHIFT_MASK) modifiers |= mod::kShift;
  if (state & GDK_MOD1_MASK) modifiers |= mod::kAlt;
  return modifiers;
}

}  // namespace ui::gtk
