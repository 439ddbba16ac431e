#pragma once
#include <string>
#include <vector>

#include "platform/clock.h"

// The editor's rules that need no window: the checks of the hours and
// minutes boxes, the date line, and the names the file chooser's answer gives.
namespace tasks {

// One correction of a time box: the message shown, then the text the box gets.
struct TimeFix {
  std::string message;
  std::string text;
  friend bool operator==(const TimeFix&, const TimeFix&) = default;
};

// What the hours (or minutes) box holding `text` is corrected to, in order:
// one message for each character that is not a digit and one for a text of
// more than two characters, each resetting the box to "0"; then, in set-time
// mode, the limits of a clock (24 hours or 60 minutes give "0", more give 23
// or 59). `typed` judges the limits on the box as corrected so far; the check
// on switching to set time judges the text it started with.
std::vector<TimeFix> CheckTimeText(const std::string& text, bool hours, bool setTime, bool typed);

// "今天是%Y年%m月%d日" and the time of day, as the top line of the editor shows them.
std::string DateLineText(const platform::LocalTime& now);

// The file name of a path (after its last "\" or "/") and its title (the name
// without its extension). GBK-aware: a trail byte is never taken for "\".
std::string FileNameOfPath(const std::string& path);
std::string FileTitleOfName(const std::string& name);

}  // namespace tasks
