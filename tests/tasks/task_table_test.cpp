#include "tasks/task_table.h"

#include <gtest/gtest.h>

namespace tasks {
namespace {

TEST(TaskFields, CompareAsUnsignedBytesAndReadLeadingDigits) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } const cases[] = {
      {"", "1", -1},
      {"0", "1", -1},
      {"1", "1", 0},
      {"10", "1", 1},
      {"2", "1", 1},
      // GBK bytes sort above every digit, as strcmp sees them.
      {"关", "9", 1},
  };
  for (const Case& c : cases) {
    const int got = CompareField(c.a, c.b);
    EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.a << " vs " << c.b;
  }

  struct IntCase {
    const char* text;
    std::int32_t value;
  } const ints[] = {{"", 0},
                    {"x1", 0},
                    {"07", 7},
                    {"12abc", 12},
                    {" 5", 0},
                    {"-3", 0},
                    {"99999999999", INT32_MAX}};
  for (const IntCase& c : ints) EXPECT_EQ(FieldInt(c.text), c.value) << c.text;
}

TEST(TaskTable, FreeSlotSearchSkipsSlotZeroAndTakesWhatSortsBelowOne) {
  TaskTable table;
  table[0].inUse = "0";  // never offered, even when free
  EXPECT_EQ(table.FindFreeSlot(), 1);

  table[1].inUse = "1";
  table[2].inUse = "2";  // sorts above "1": taken
  table[3].inUse = "0";
  EXPECT_EQ(table.FindFreeSlot(), 3);

  for (int s = 1; s <= 9; ++s) table[s].inUse = "1";
  EXPECT_EQ(table.FindFreeSlot(), std::nullopt);

  EXPECT_TRUE(TaskTable::SlotUsable(1, 2));
  EXPECT_FALSE(TaskTable::SlotUsable(2, 2));
}

TEST(TaskTable, FreeingKeepsTheRecordAndCounters) {
  TaskTable table;
  table.LoadFetchedRecord(4, "1|0|5|0|1|0|0|空|9:30|1");
  table[4].warned = 1;
  table.Free(4);
  EXPECT_EQ(table[4].inUse, "0");
  EXPECT_EQ(table[4].minute, "5");
  EXPECT_EQ(table[4].warned, 1);
  EXPECT_EQ(table[4].PipeText(), "0|0|5|0|1|0|0|空|9:30|1");
}

TEST(TaskTable, PipeTextJoinsTenFieldsUnescaped) {
  TaskTable table;
  TaskSlot& slot = table[1];
  const char* fields[] = {"1", "01", "30", "0", "1", "0", "0", "空", "9:5", "", "x", "y"};
  for (int i = 0; i < kRecordFieldCount; ++i) slot.Field(i) = fields[i];
  // A never-written sync flag leaves the text ending in a bare "|".
  EXPECT_EQ(table.PipeText(1), "1|01|30|0|1|0|0|空|9:5|");
  slot.parameter = "a|b";
  EXPECT_EQ(table.PipeText(1), "1|01|30|0|1|0|0|a|b|9:5|");
  EXPECT_EQ(table.SecondsOf(1), (1 * 60 + 30) * 60);
}

TEST(TaskTable, LoadingAFetchedRecordReplacesTheSlotAndDerivesItsTexts) {
  TaskTable table;
  TaskSlot& slot = table[2];
  slot.display.time = "keep";
  slot.display.addedAt = "keep";
  slot.display.mode = "old mode";
  slot.warned = 7;
  slot.serverId = "44";
  slot.extra2 = "stale";

  table.LoadFetchedRecord(2, "1|2|15|1|9|3|2|C:\\a.txt|8:1|1|e1");
  EXPECT_EQ(slot.hour, "2");
  EXPECT_EQ(slot.parameter, "C:\\a.txt");
  EXPECT_EQ(slot.extra1, "e1");
  EXPECT_EQ(slot.extra2, "");  // missing fields become empty
  EXPECT_EQ(slot.seconds, (2 * 60 + 15) * 60);
  EXPECT_EQ(slot.display.inUse, "1");
  EXPECT_EQ(slot.display.remaining, "0");
  EXPECT_EQ(slot.display.category, "关注");
  EXPECT_EQ(slot.display.mode, "old mode");  // unknown mode code: text stays
  EXPECT_EQ(slot.display.action, "操作");
  EXPECT_EQ(slot.display.operation, "打开文件");
  EXPECT_EQ(slot.display.parameter, "C:\\a.txt");
  EXPECT_EQ(slot.display.syncFlag, "1");
  EXPECT_EQ(slot.display.time, "keep");
  EXPECT_EQ(slot.display.addedAt, "keep");
  EXPECT_EQ(slot.warned, 7);
  EXPECT_EQ(slot.serverId, "44");

  // A short or empty part frees the slot; fields past the twelfth are dropped.
  table.LoadFetchedRecord(2, "");
  EXPECT_TRUE(slot.Free());
  EXPECT_EQ(slot.seconds, 0);
  table.LoadFetchedRecord(2, "1|0|1|0|1|0|0|空|1:1|0|a|b|c|d");
  EXPECT_EQ(slot.extra2, "b");
  EXPECT_EQ(slot.display.mode, "倒计时");
  EXPECT_EQ(slot.seconds, 60);
}

}  // namespace
}  // namespace tasks
