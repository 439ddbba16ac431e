#include <gtest/gtest.h>

#include "server/query.h"
#include "server/task_service.h"

namespace server {
namespace {

TEST(ServerQueryTest, DecodesRawAndFormValuesApart) {
  Query query = Query::Parse("a=x+y%2Bz&b=%E4%bd&c=&d&a=second&e=100%&f=%zz");
  EXPECT_EQ(query.Raw("a"), "x+y+z");
  EXPECT_EQ(query.Form("a"), "x y+z");
  EXPECT_EQ(query.Raw("b"), "\xE4\xBD");
  EXPECT_EQ(query.Raw("c"), "");
  EXPECT_EQ(query.Raw("d"), "");
  EXPECT_EQ(query.Raw("e"), "100%");
  EXPECT_EQ(query.Raw("f"), "%zz");
  EXPECT_FALSE(query.Raw("g").has_value());
  EXPECT_EQ(Query::Redacted("dl=1&password=ab&cd&x=1", {"password", "pd"}), "dl=1&password=***");
  EXPECT_EQ(Query::Redacted("dl=1&p%64=x", {"password", "pd"}), "dl=1&p%64=***");
  EXPECT_EQ(Query::Redacted("vBC=Orvane", {"password", "pd"}), "vBC=Orvane");
}

TEST(ServerQueryTest, AccountIdsAndAddresses) {
  EXPECT_EQ(ParseAccountId("100001"), 100001);
  for (const char* bad : {"", "0", "012", "-1", "1e5", "12a", "1234567890123456789"})
    EXPECT_FALSE(ParseAccountId(bad).has_value()) << bad;
  for (const char* good : {"a@b.cn", "first.last+tag@mail.example.com"})
    EXPECT_TRUE(IsEmailAddress(good)) << good;
  for (const char* bad : {"a@b", "@b.cn", "a@@b.cn", "a b@c.cn", "a@-b.cn", "a@b..cn", "a|b@c.cn"})
    EXPECT_FALSE(IsEmailAddress(bad)) << bad;
}

// Slots named by their content; "" is a free slot.
TaskSlots Slots(std::initializer_list<std::pair<const char*, std::int64_t>> tasks) {
  TaskSlots slots;
  std::size_t i = 0;
  for (const auto& [content, id] : tasks) slots[i++] = {content, id};
  return slots;
}

TEST(ServerTaskChangeTest, FollowsTheClientsSlots) {
  struct Case {
    const char* name;
    TaskSlots before;
    TaskChange change;
    TaskSlots after;
    TaskChangeOutcome outcome = TaskChangeOutcome::Stored;
  } cases[] = {
      {"add takes the first free slot",
       Slots({{"1|a", 1}, {"", 0}, {"1|c", 3}}),
       {"1|n", "1", "0", false, 0, 0},
       Slots({{"1|a", 1}, {"1|n", 100}, {"1|c", 3}})},
      {"add into a reused slot replaces its old task",
       Slots({{"1|a", 1}, {"1|b", 2}}),
       {"1|n", "1", "0", false, 0, 2},
       Slots({{"1|a", 1}, {"1|n", 2}})},
      {"modify by server id keeps the id",
       Slots({{"1|a", 1}, {"1|b", 2}}),
       {"1|m", "1", "1|zzz", false, 0, 2},
       Slots({{"1|a", 1}, {"1|m", 2}})},
      {"modify by old text",
       Slots({{"1|a", 1}, {"1|b", 2}}),
       {"1|m", "1", "1|b", false, 0, 0},
       Slots({{"1|a", 1}, {"1|m", 2}})},
      {"modify of an unknown task stores it",
       Slots({{"1|a", 1}}),
       {"1|m", "1", "1|x", false, 0, 0},
       Slots({{"1|a", 1}, {"1|m", 100}})},
      {"delete prefers the named slot",
       Slots({{"1|a", 1}, {"1|a", 2}}),
       {"0|a", "0", "1|a", true, 2, 0},
       Slots({{"1|a", 1}, {"", 0}})},
      {"delete finds a moved task by its text",
       Slots({{"1|a", 1}, {"1|b", 2}}),
       {"0|b", "0", "1|b", true, 1, 0},
       Slots({{"1|a", 1}, {"", 0}})},
      {"delete of another task in the slot keeps it",
       Slots({{"1|a", 1}}),
       {"0|x", "0", "1|x", true, 1, 0},
       Slots({{"1|a", 1}})},
      {"a change to not in use frees by server id",
       Slots({{"1|a", 1}, {"1|b", 2}}),
       {"0|b", "0", "1|b", false, 0, 2},
       Slots({{"1|a", 1}, {"", 0}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TaskSlots slots = c.before;
    EXPECT_EQ(ApplyTaskChange(slots, c.change, [] { return std::int64_t{100}; }), c.outcome);
    for (int i = 0; i < kTaskSlots; ++i) {
      EXPECT_EQ(slots[i].content, c.after[i].content) << "slot " << i + 1;
      if (!slots[i].content.empty()) {
        EXPECT_EQ(slots[i].serverId, c.after[i].serverId) << "slot " << i + 1;
      }
    }
  }
  TaskSlots full;
  for (auto& slot : full) slot = {"1|x", 5};
  EXPECT_EQ(ApplyTaskChange(full, {"1|n", "1", "0", false, 0, 0}, [] { return std::int64_t{9}; }),
            TaskChangeOutcome::NoFreeSlot);
}

TEST(ServerTaskChangeTest, FetchReplyHasTwelveParts) {
  TaskSlots slots = Slots({{"1|a", 7}, {"", 0}, {"1|c", 12}});
  EXPECT_EQ(FetchReply(slots), "hqtask111^1|a^^1|c^^^^^^^^7||12||||||");
}

}  // namespace
}  // namespace server
