#include "tasks/edit_rules.h"

#include <cstdio>

#include "platform/text_codec.h"
#include "tasks/task_table.h"

namespace tasks {

namespace {

// The characters of a GBK text: a lead byte and its trail byte count once.
template <class Visit>
void ForEachCharacter(const std::string& text, Visit visit) {
  for (std::size_t i = 0; i < text.size();) {
    const bool pair =
        text::IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    const std::size_t width = pair ? 2 : 1;
    visit(i, width);
    i += width;
  }
}

}  // namespace

std::vector<TimeFix> CheckTimeText(const std::string& text, bool hours, bool setTime, bool typed) {
  std::vector<TimeFix> fixes;
  int characters = 0;
  ForEachCharacter(text, [&](std::size_t at, std::size_t width) {
    ++characters;
    if (width == 1 && text[at] >= '0' && text[at] <= '9') return;
    fixes.push_back({hours ? "小时 只允许输入数字!" : "分钟 只允许输入数字!", "0"});
  });
  if (characters > 2) fixes.push_back({"只允许输入2位数!", "0"});
  if (!setTime) return fixes;

  const std::string judged = typed && !fixes.empty() ? fixes.back().text : text;
  const std::int32_t value = FieldInt(judged);
  const std::int32_t wraps = hours ? 24 : 60;
  const char* limit = hours ? "设定时最大只允许输入23时" : "设定时最大只允许输入59分";
  if (value == wraps) fixes.push_back({limit, "0"});
  if (value > wraps) fixes.push_back({limit, hours ? "23" : "59"});
  return fixes;
}

std::string DateLineText(const platform::LocalTime& now) {
  char line[64];
  std::snprintf(line, sizeof line, "今天是%04d年%02d月%02d日 %02d:%02d:%02d", now.year, now.month,
                now.day, now.hour, now.minute, now.second);
  return line;
}

std::string FileNameOfPath(const std::string& path) {
  std::size_t start = 0;
  ForEachCharacter(path, [&](std::size_t at, std::size_t width) {
    if (width == 1 && (path[at] == '\\' || path[at] == '/')) start = at + 1;
  });
  return path.substr(start);
}

std::string FileTitleOfName(const std::string& name) {
  std::size_t dot = std::string::npos;
  ForEachCharacter(name, [&](std::size_t at, std::size_t width) {
    if (width == 1 && name[at] == '.') dot = at;
  });
  // A name that is all extension (".profile") keeps it as its title.
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace tasks
