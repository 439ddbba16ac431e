#include <gtest/gtest.h>

#include <vector>

#include "online/webad_dlg.h"

namespace {

platform::LocalTime At(int hour, int minute, int second = 0) {
  platform::LocalTime t;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  return t;
}

TEST(AdRules, TheQueryCarriesTheLevelAndMarksOldSystems) {
  struct Case {
    const char* os;
    int level;
    const char* expected;
  };
  const Case cases[] = {
      {"10", 1, "q?DravoAD=Orvane&lx=1"},  // sorts below "6" as text, yet new
      {"6", 0, "q?DravoAD=Orvane&lx=0"},
      {"5", 2, "q?DravoAD=Orvane&lx=2&Wx=X"},
      {"", 0, "q?DravoAD=Orvane&lx=0&Wx=X"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(online::AdRequestUrl("q?DravoAD=Orvane", c.level, c.os), c.expected) << c.os;
  }
}

TEST(AdRules, PasswordsBelowOneBecomeZero) {
  struct Case {
    const char* before;
    const char* after;
  };
  const Case cases[] = {
      {"", "0"},  {"0abc", "0"},  {" x", "0"},    {"/", "0"},
      {"1", "1"}, {"123", "123"}, {"abc", "abc"}, {"\xB0\xA1", "\xB0\xA1"},
  };
  for (const Case& c : cases) {
    std::string password = c.before;
    online::SettleAdPassword(password);
    EXPECT_EQ(password, c.after) << c.before;
  }
}

TEST(AdRules, EachFixedSlotFiresOnceARun) {
  std::array<int, 4> fired{};
  platform::LocalTime last = At(13, 0);
  int count = 0;
  EXPECT_FALSE(online::AdFetchDue(At(13, 19, 59), fired, last, count));
  EXPECT_TRUE(online::AdFetchDue(At(13, 20, 0), fired, last, count));
  for (int second = 1; second < 60; ++second) {
    EXPECT_FALSE(online::AdFetchDue(At(13, 20, second), fired, last, count)) << second;
  }
  EXPECT_EQ(fired, (std::array<int, 4>{0, 1, 0, 0}));
  for (const auto& slot : online::kAdSlots)
    online::AdFetchDue(At(slot.hour, slot.minute), fired, last, count);
  EXPECT_EQ(fired, (std::array<int, 4>{1, 1, 1, 1}));
  EXPECT_FALSE(online::AdFetchDue(At(11, 20), fired, last, count));
}

TEST(AdRules, HalfHourOccasionsCountOneThreeAndSixAsFetches) {
  struct Case {
    const char* name;
    int lastMinute, nowMinute;
    bool counts;
  };
  const Case cases[] = {
      {"10 to 40 is not more than 30", 10, 40, false},
      {"10 to 41", 10, 41, true},
      {"29 to 59 never", 29, 59, false},
      {"hours are ignored: 50 to 5", 50, 5, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::array<int, 4> fired{};
    platform::LocalTime last = At(9, c.lastMinute);
    int count = 0;
    EXPECT_EQ(online::AdFetchDue(At(9, c.nowMinute), fired, last, count), c.counts);
    EXPECT_EQ(count, c.counts ? 1 : 0);
    EXPECT_EQ(last.minute, c.counts ? c.nowMinute : c.lastMinute);
  }

  // The counts in between leave the last fetch where it is; six starts again.
  std::array<int, 4> fired{};
  platform::LocalTime last = At(9, 10);
  int count = 1;
  std::vector<int> fetchesAt;
  for (int tick = 2; tick <= 7; ++tick) {
    if (online::AdFetchDue(At(9, 45, tick), fired, last, count)) fetchesAt.push_back(tick);
    if (last.minute == 45) last = At(9, 10);  // as if half an hour had passed again
  }
  EXPECT_EQ(fetchesAt, (std::vector<int>{3, 6, 7}));
  EXPECT_EQ(count, 1);
}

}  // namespace
