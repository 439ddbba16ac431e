#include "tasks/prompt_rules.h"

#include <gtest/gtest.h>

namespace tasks {
namespace {

TEST(PromptRules, KindNameAndSoundFollowTheSlotCodes) {
  struct Case {
    const char* action;
    const char* operation;
    PromptKind kind;
  } const cases[] = {
      {"0", "1", PromptKind::Warning},  {"2", "0", PromptKind::Warning},
      {"", "1", PromptKind::Warning},   {"3", "0", PromptKind::Reminder},
      {"3", "1", PromptKind::Alarm},    {"3", "2", PromptKind::Other},
      {"4", "0", PromptKind::Reminder},
  };
  for (const Case& c : cases) {
    TaskSlot slot;
    slot.action = c.action;
    slot.operation = c.operation;
    EXPECT_EQ(PromptKindOf(slot), c.kind) << c.action << "/" << c.operation;
  }

  EXPECT_EQ(PowerActionName("1"), "重启");
  EXPECT_EQ(PowerActionName(""), std::nullopt);

  EXPECT_EQ(AlarmSoundResource("0"), 136);
  EXPECT_EQ(AlarmSoundResource("1"), 138);
  EXPECT_EQ(AlarmSoundResource("2"), 139);
  EXPECT_EQ(AlarmSoundResource("3"), 136);
  EXPECT_EQ(AlarmSoundResource("0.3"), 136);

  EXPECT_EQ(WarningText(59, "重启"), "将在 59 秒后进行 重启 ，请做好准备!");
  EXPECT_EQ(std::string(kAlarmText), "闹铃正在响~```\xA3\xA1");  // full-width "！" in GBK
}

TEST(PromptRules, SharedCountdownStopsAtZeroAndAFinishedCountStartsAfresh) {
  int count = 60;
  StartPromptCountdown(count);
  EXPECT_EQ(count, 60);
  int ticks = 0;
  while (!TickPromptCountdown(count)) ++ticks;
  EXPECT_EQ(ticks, 59);
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(TickPromptCountdown(count));  // a second window on the same count
  EXPECT_EQ(count, 0);

  // A warning opened while another still counts joins its count.
  count = 30;
  StartPromptCountdown(count);
  EXPECT_EQ(count, 30);
  // One opened after the last count ran out starts at a full minute.
  count = 0;
  StartPromptCountdown(count);
  EXPECT_EQ(count, 60);
}

}  // namespace
}  // namespace tasks
