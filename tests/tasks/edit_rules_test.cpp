// The editor's checks of the hours and minutes boxes and the names it takes
// from the file chooser.
#include <gtest/gtest.h>

#include "tasks/edit_rules.h"

namespace tasks {
namespace {

struct TimeCase {
  const char* name;
  std::string text;
  bool hours;
  bool setTime;
  bool typed;
  std::vector<TimeFix> fixes;
};

TEST(CheckTimeText, CorrectsEachFaultOnce) {
  const TimeFix hourLetter{"小时 只允许输入数字!", "0"};
  const TimeFix minuteLetter{"分钟 只允许输入数字!", "0"};
  const TimeFix tooLong{"只允许输入2位数!", "0"};
  const TimeFix hours0{"设定时最大只允许输入23时", "0"};
  const TimeFix hours23{"设定时最大只允许输入23时", "23"};
  const TimeFix minutes0{"设定时最大只允许输入59分", "0"};
  const TimeFix minutes59{"设定时最大只允许输入59分", "59"};
  const TimeCase cases[] = {
      {"digits pass", "12", true, false, true, {}},
      {"a letter and a digit", "a1", true, false, true, {hourLetter}},
      {"two letters, two messages", "ab", false, false, true, {minuteLetter, minuteLetter}},
      {"a Chinese character is one", "时", true, false, true, {hourLetter}},
      {"three digits", "123", true, false, true, {tooLong}},
      {"countdowns take 99", "99", true, false, true, {}},
      {"24 hours wrap", "24", true, true, true, {hours0}},
      {"25 hours cut", "25", true, true, true, {hours23}},
      {"60 minutes wrap", "60", false, true, true, {minutes0}},
      {"61 minutes cut", "61", false, true, true, {minutes59}},
      {"typed: judged after the reset", "123", true, true, true, {tooLong}},
      {"switched: judged as it was", "123", true, true, false, {tooLong, hours23}},
      {"a leading zero stays", "05", false, true, true, {}},
  };
  for (const TimeCase& c : cases) {
    EXPECT_EQ(CheckTimeText(c.text, c.hours, c.setTime, c.typed), c.fixes) << c.name;
  }
}

TEST(DateLineText, DateAndTimeOfDay) {
  platform::LocalTime t;
  t.year = 2026;
  t.month = 3;
  t.day = 7;
  t.hour = 9;
  t.minute = 5;
  t.second = 1;
  EXPECT_EQ(DateLineText(t), "今天是2026年03月07日 09:05:01");
}

TEST(FileNames, NameAndTitleOfAPath) {
  EXPECT_EQ(FileNameOfPath("C:\\docs\\report.v2.txt"), "report.v2.txt");
  EXPECT_EQ(FileTitleOfName("report.v2.txt"), "report.v2");
  EXPECT_EQ(FileNameOfPath("/home/user/notes"), "notes");
  EXPECT_EQ(FileTitleOfName("notes"), "notes");
  EXPECT_EQ(FileTitleOfName(".profile"), ".profile");
  // The trail byte of a GBK character may be the byte of "\".
  const std::string name = std::string("\x81\x5C") + "b.txt";
  EXPECT_EQ(FileNameOfPath("C:\\d\\" + name), name);
  EXPECT_EQ(FileTitleOfName(name), std::string("\x81\x5C") + "b");
}

}  // namespace
}  // namespace tasks
