#include "tasks/slot_evaluation.h"

#include <gtest/gtest.h>

#include <string>

namespace tasks {
namespace {

TaskSlot Task(const char* mode, const char* hour, const char* minute, const char* action = "0",
              const char* operation = "0") {
  TaskSlot slot;
  slot.inUse = "1";
  slot.mode = mode;
  slot.hour = hour;
  slot.minute = minute;
  slot.action = action;
  slot.operation = operation;
  slot.seconds = slot.SecondsOfRecord();
  return slot;
}

TEST(RemainingText, ChoosesTheFormatByTheLargestNonZeroUnit) {
  struct Case {
    std::int32_t seconds;
    const char* text;
  } const cases[] = {
      {3661, "1时1分1秒"}, {3600, "1时0分0秒"}, {3599, "59 分 59 秒"}, {60, "1 分 0 秒"},
      {59, "59 秒"},       {0, "0 秒"},         {-1, "-1 秒"},         {-61, "-1 秒"},
  };
  for (const Case& c : cases) EXPECT_EQ(RemainingText(c.seconds), c.text) << c.seconds;
}

TEST(SlotEvaluation, SetTimeWarnsInTheMinuteBeforeWithinTheHourAndFiresInItsMinute) {
  struct Case {
    const char* name;
    const char* hour;
    const char* minute;
    int nowHour;
    int nowMinute;
    bool warn;
    bool fire;
  } const cases[] = {
      {"minute before", "14", "30", 14, 29, true, false},
      {"its minute", "14", "30", 14, 30, false, true},
      {"leading zero typed", "09", "05", 9, 5, false, true},
      {"two minutes before", "14", "30", 14, 28, false, false},
      {"minute after", "14", "30", 14, 31, false, false},
      {"on the hour: the minute before is another hour", "14", "0", 13, 59, false, false},
      {"on the hour fires", "14", "00", 14, 0, false, true},
      {"unreadable clock", "0", "0", -1, -1, false, false},
  };
  for (const Case& c : cases) {
    TaskSlot slot = Task("0", c.hour, c.minute);
    const SlotVerdict v = EvaluateSlot(slot, {.hour = c.nowHour, .minute = c.nowMinute});
    EXPECT_EQ(v.warn, c.warn) << c.name;
    EXPECT_EQ(v.fire, c.fire) << c.name;
  }
}

TEST(SlotEvaluation, CountdownShowsNMinusOneWarnsAt59AndFiresAfterNPlusOneTicks) {
  TaskSlot slot = Task("1", "0", "1");  // 60 seconds
  int firstWarn = 0;
  int fired = 0;
  for (int tick = 1; tick <= 70 && fired == 0; ++tick) {
    const SlotVerdict v = EvaluateSlot(slot, {});
    if (tick == 1) {
      EXPECT_EQ(slot.display.remaining, "59 秒");
    }
    if (v.warn && firstWarn == 0) firstWarn = tick;
    if (v.fire) fired = tick;
  }
  EXPECT_EQ(firstWarn, 1);
  EXPECT_EQ(fired, 61);
  EXPECT_EQ(slot.seconds, -1);

  // Zero minutes warns and fires in the very first tick.
  TaskSlot now = Task("1", "0", "0");
  const SlotVerdict v = EvaluateSlot(now, {});
  EXPECT_TRUE(v.warn);
  EXPECT_TRUE(v.fire);
}

TEST(SlotEvaluation, IdleFiresOncePastItsSecondsAndInputPutsTheTimeBack) {
  struct Case {
    std::uint32_t idleMs;
    bool warn;
    bool fire;
  } const cases[] = {
      {0, false, false},     {240000, false, false}, {240001, true, false},
      {300999, true, false}, {301000, true, true},   {0xFFFFFFFFu, true, true},
  };
  for (const Case& c : cases) {
    TaskSlot slot = Task("2", "0", "5");
    const SlotVerdict v = EvaluateSlot(slot, {.idleMs = c.idleMs});
    EXPECT_EQ(v.warn, c.warn) << c.idleMs;
    EXPECT_EQ(v.fire, c.fire) << c.idleMs;
    EXPECT_EQ(slot.seconds, 300) << "idle tasks keep their seconds";
    EXPECT_EQ(slot.display.remaining, "") << "idle tasks write no text";
  }
  EXPECT_EQ(IdleMilliseconds(5, 0xFFFFFFF0u), 21u);  // across the wrap of the tick count
}

TEST(SlotEvaluation, FreeSlotsAndUnknownModesDoNothing) {
  TaskSlot free = Task("1", "0", "0");
  free.inUse = "2";
  EXPECT_FALSE(EvaluateSlot(free, {}).fire);
  EXPECT_EQ(free.seconds, 0);
  TaskSlot odd = Task("3", "0", "0");
  const SlotVerdict v = EvaluateSlot(odd, {.hour = 0, .minute = 0});
  EXPECT_FALSE(v.warn || v.fire);
}

TEST(SlotEvaluation, WarningIsRaisedOncePerRunAndOnlyPowerActionsOpenAWindow) {
  TaskSlot shutdown = Task("1", "0", "1", "0");
  EXPECT_TRUE(RaiseWarning(shutdown));
  EXPECT_FALSE(RaiseWarning(shutdown));
  EXPECT_NE(shutdown.warned, 0);

  TaskSlot reminder = Task("1", "0", "1", "3", "0");
  EXPECT_FALSE(RaiseWarning(reminder));
  EXPECT_NE(reminder.warned, 0);
}

TEST(SlotEvaluation, FiringFreesTheSlotAndNamesItsAction) {
  struct Case {
    const char* action;
    const char* operation;
    FireAction fired;
  } const cases[] = {
      {"0", "3", FireAction::Shutdown},     {"1", "", FireAction::Restart},
      {"2", "1", FireAction::LogOff},       {"3", "0", FireAction::Prompt},
      {"3", "1", FireAction::Prompt},       {"3", "2", FireAction::OpenFile},
      {"3", "3", FireAction::CloseProgram}, {"3", "7", FireAction::Prompt},
      {"4", "2", FireAction::None},         {"", "2", FireAction::None},
  };
  for (const Case& c : cases) {
    TaskSlot slot = Task("1", "0", "0", c.action, c.operation);
    slot.warned = 1;
    EXPECT_EQ(FireSlot(slot), c.fired) << c.action << "/" << c.operation;
    EXPECT_EQ(slot.inUse, "0");
    EXPECT_EQ(slot.warned, 0);
  }
}

}  // namespace
}  // namespace tasks
