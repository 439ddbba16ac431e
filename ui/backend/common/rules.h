#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialog_template.h"
#include "ui/geometry.h"
#include "ui/messages.h"

// The rules of the dialog manager and of the mouse that do not depend on a
// window system, each written once: a port gathers what it sees, asks, and
// applies the answer with its own widgets.
namespace ui::common {

// Dialog units to client pixels on the ports that lay out by themselves.
Rect DluToPixels(const DluRect& r);
// A dialog's client size in pixels on those ports.
Size DialogPixelSize(const DialogTemplate& t);

// Whether a press on the control stays with it. Labels and bitmaps that do
// not report clicks let the mouse through to the dialog (so a press on them
// drags a page); a web view keeps it, as the browser inside it would.
bool TakesMouse(ControlKind kind, std::uint32_t style);

// What a user trying to act on a window (or one of its controls) is up
// against, as the port sees it.
struct ReachView {
  bool windowExists = false;
  std::optional<std::string> openBoxText;  // a message box is open with this text
  int templateId = 0;
  bool windowVisible = false;  // shown and not minimised
  bool windowEnabled = false;
  int controlId = 0;  // 0: the window itself
  bool controlExists = false;
  bool controlVisible = false;
  bool controlEnabled = false;
};
// Why the user could not act there; empty when they could.
std::string CheckReachable(const ReachView& view);

// What a drag that starts at a point does, given the controls under it.
struct ControlUnder {
  int id = 0;
  Rect rect;  // client pixels
  ControlKind kind = ControlKind::Static;
  std::uint32_t style = 0;
  bool visible = true;
  bool enabled = true;
};
struct DragAnswer {
  enum class Kind {
    Background,    // press the dialog itself: the page may start a move
    ClickControl,  // released on the control it started on: a click
    Nothing,       // the control kept the mouse and was left elsewhere
  };
  Kind kind = Kind::Background;
  int controlId = 0;
};
// `controls` in template order; the first visible one under `from` that
// takes the mouse keeps it.
DragAnswer DragStart(const std::vector<ControlUnder>& controls, Point from, Point to);
// The window rectangle after a move by the drag's offset.
Rect MovedBy(const Rect& window, Point from, Point to);

// The window state a system-menu command asks the system for (minimise,
// maximise, restore); nothing for the commands a page handles.
std::optional<ShowCommand> ShowOfSystemCommand(unsigned command);

// What the dialog manager does with a key the page did not swallow.
struct KeyAnswer {
  enum class Kind {
    Ignore,     // nothing: the control handles the key as it likes
    Command,    // send WM_COMMAND `code` from `controlId`
    LineBreak,  // a want-return multi-line edit takes a line break
    SelectAll,  // a single-line edit selects all its text
    Swallow,    // nobody handles it (Ctrl+A in a multi-line edit)
  };
  Kind kind = Kind::Ignore;
  int controlId = 0;
  int code = 0;
};
// `focused` is the control with the focus (null: the dialog itself);
// `defaultButton` the id Enter presses when the focus is not on a button.
struct FocusedControl {
  int id = 0;
  ControlKind kind = ControlKind::Static;
  std::uint32_t style = 0;
};
KeyAnswer DialogKey(const std::optional<FocusedControl>& focused, int defaultButton, int virtualKey,
                    unsigned modifiers);
// The first push button with the default style in `order`, else IDOK.
template <class Controls>
int DefaultButton(const std::vector<int>& order, const Controls& controls) {
  for (int id : order) {
    auto it = controls.find(id);
    if (it != controls.end() && it->second.kind == ControlKind::Button &&
        (it->second.style & cs::kDefault)) {
      return id;
    }
  }
  return IDOK;
}

// The text a single-line edit keeps of what is typed into it: no line breaks.
std::string TypedText(const std::string& text, std::uint32_t editStyle);

}  // namespace ui::common
