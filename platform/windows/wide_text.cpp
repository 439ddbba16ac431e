#include "platform/windows/wide_text.h"

#include "platform/text_codec.h"

namespace platform::windows {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

std::wstring Wide(std::string_view gbk) {
  const std::u16string utf16 = text::GbkToUtf16(gbk);
  return std::wstring(utf16.begin(), utf16.end());
}

std::string Narrow(std::wstring_view utf16) {
  const std::u16string u(utf16.begin(), utf16.end());
  return text::Utf16ToGbk(u);
}

}  // namespace platform::windows
