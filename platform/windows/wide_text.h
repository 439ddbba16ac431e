#pragma once
#include <string>
#include <string_view>

// The program's GBK text at the edge of the Win32 `W` calls. Our own codec
// does the work, so the result does not depend on the system's ANSI code page.
namespace platform::windows {

std::wstring Wide(std::string_view gbk);
std::string Narrow(std::wstring_view utf16);

}  // namespace platform::windows
