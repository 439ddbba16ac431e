// What the task service is asked, and how a fetch reply from the network
// reaches the table.
#include <gtest/gtest.h>

#include "tasks/task_sync_rules.h"

namespace tasks {
namespace {

const SyncAccount kAccount{"http://h/SoftWare/Program/Orvane/Task.php", "100001", "pw"};

TEST(TaskAddresses, KeysInTheirOrder) {
  EXPECT_EQ(TaskChangeAddress(kAccount, "1|0|30|0|1|0|0|空|9:5|1", "1", "0", "17"),
            "http://h/SoftWare/Program/Orvane/Task.php?hlu=1&dl=100001&password=pw"
            "&taskcontent=1%7C0%7C30%7C0%7C1%7C0%7C0%7C%BF%D5%7C9%3A5%7C1&tasktb=1&xgy=0&zrid=17");
  EXPECT_EQ(TaskDeleteAddress(kAccount, "0|1", "0", "1|1", 7),
            "http://h/SoftWare/Program/Orvane/Task.php?hlu=1&dl=100001&password=pw"
            "&taskcontent=0%7C1&tasktb=0&xgy=1%7C1&sctb=1&zrid=7");
  EXPECT_EQ(TaskFetchAddress(kAccount),
            "http://h/SoftWare/Program/Orvane/Task.php?qlu=1&dl=100001&password=pw");
  // A server id cannot split the query.
  EXPECT_EQ(TaskChangeAddress(kAccount, "", "1", "0", "1&sctb=1"),
            "http://h/SoftWare/Program/Orvane/Task.php?hlu=1&dl=100001&password=pw"
            "&taskcontent=&tasktb=1&xgy=0&zrid=1%26sctb%3D1");
}

TEST(JudgeChangeReply, WholeTextsOnly) {
  EXPECT_EQ(JudgeChangeReply("task111"), ChangeReply::Stored);
  for (const char* refused : {"404u", "404ps", "task404"}) {
    EXPECT_EQ(JudgeChangeReply(refused), ChangeReply::Refused) << refused;
  }
  for (const char* other : {"", "task1111", "TASK111", "404u|x"}) {
    EXPECT_EQ(JudgeChangeReply(other), ChangeReply::Unknown) << other;
  }
}

TEST(LoadFetchReply, CodesOtherThanTasksLeaveTheTable) {
  TaskTable table;
  table.LoadFetchedRecord(1, "1|0|5|0|1|0|0|空");
  EXPECT_EQ(LoadFetchReply(table, "404ps^1|0|9"), FetchReply::Refused);
  EXPECT_EQ(LoadFetchReply(table, "hqtask11^1|0|9"), FetchReply::Other);
  EXPECT_EQ(LoadFetchReply(table, ""), FetchReply::Other);
  EXPECT_EQ(table[1].minute, "5");
}

TEST(LoadFetchReply, RecordsAndServerIds) {
  TaskTable table;
  table.LoadFetchedRecord(2, "1|0|5|0|1|0|0|空");
  table[2].warned = 1;
  ASSERT_EQ(LoadFetchReply(table,
                           "hqtask111^1|2|3|1|2|3|1|1|8:1|1^^1|0|1|0|0|0|3|空^^^^^^^^ "
                           "a|b|c|d|e|f|g|h|i|j"),
            FetchReply::Tasks);
  EXPECT_EQ(table[1].display.category, "关注");
  EXPECT_EQ(table[1].display.mode, "离开时");
  EXPECT_EQ(table[1].display.action, "操作");
  EXPECT_EQ(table[1].display.operation, "闹铃提醒");
  EXPECT_EQ(table[1].seconds, (2 * 60 + 3) * 60);
  // Every earlier content is replaced; the warning mark stays.
  EXPECT_EQ(table[2].inUse, "");
  EXPECT_EQ(table[2].warned, 1);
  // Actions other than an operation may carry any operation.
  EXPECT_EQ(table[3].inUse, "1");
  EXPECT_EQ(table[1].serverId, " a");
  EXPECT_EQ(table[9].serverId, "i");
}

TEST(LoadFetchReply, RecordsNoTaskCouldRunAreFree) {
  const std::string longText(kMaxFetchedFieldBytes + 1, 'x');
  struct Case {
    const char* name;
    std::string record;
    bool kept;
  };
  const Case cases[] = {
      {"a runnable task", "1|0|1|0|2|3|3|a.exe", true},
      {"a free record keeps its fields", "0|0|1|0|9|9|9|x", true},
      {"a mode past idle", "1|0|1|0|3|0|0|空", false},
      {"an action past the operations", "1|0|1|0|1|4|0|空", false},
      {"an operation past closing", "1|0|1|0|1|3|4|x", false},
      {"a two-byte code", "1|0|1|0|01|0|0|空", false},
      {"an inUse of 2", "2|0|1|0|1|0|0|空", false},
      {"a control byte in inUse", std::string("1\x01|0|1|0|1|0|0|空"), false},
      {"a field longer than any task's", "1|0|1|0|1|3|0|" + longText, false},
      {"huge numbers", "1|99999999999|99999999999|0|1|0|0|空", true},
      {"control bytes in the text", std::string("1|0|1|0|1|3|0|a\x07\x1b b"), true},
  };
  for (const Case& c : cases) {
    TaskTable table;
    ASSERT_EQ(LoadFetchReply(table, "hqtask111^" + c.record), FetchReply::Tasks);
    const TaskSlot& slot = table[1];
    if (c.kept) {
      EXPECT_EQ(slot.PipeText().substr(0, 2), c.record.substr(0, 2)) << c.name;
    } else {
      EXPECT_EQ(slot.PipeText(), "|||||||||") << c.name;
      EXPECT_TRUE(slot.Free()) << c.name;
      EXPECT_FALSE(slot.Listed()) << c.name;
    }
  }
  TaskTable table;
  LoadFetchReply(table, "hqtask111^1|99999999999|99999999999|0|1|0|0|空");
  EXPECT_EQ(table[1].seconds, INT32_MAX);
  LoadFetchReply(table, "hqtask111^^^^^^^^^^^^" + longText);
  EXPECT_EQ(table[1].serverId, "");
}

}  // namespace
}  // namespace tasks
