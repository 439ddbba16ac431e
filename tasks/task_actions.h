#pragma once
#include <string>
#include <string_view>

#include "platform/power.h"
#include "platform/processes.h"
#include "platform/shell.h"

// What a fired task asks of the system. Results are ignored by the callers:
// a refused action is not retried and leaves no message.
namespace tasks {

// Lower-cases ASCII letters and leaves every two-byte GBK character whole,
// so a trail byte in the letter range is never changed.
std::string LowerGbk(std::string_view text);

// Shutdown, restart and log-off, never forced.
bool RequestPower(platform::Power& power, platform::PowerAction action);

// Opens the file with its default handler.
bool OpenTaskFile(platform::Shell& shell, const std::string& path);

// Ends every process whose bare executable file name equals `target`
// (case folded), in the order of the system's walk, stopping at the first
// process that cannot be ended. Answers how many were ended.
int CloseProgram(platform::Processes& processes, const std::string& target);

}  // namespace tasks
