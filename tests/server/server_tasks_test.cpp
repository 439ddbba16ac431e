#include <set>
#include <thread>

#include "tests/server/server_fixture.h"

namespace server_test {
namespace {

constexpr const char* kTask = "/SoftWare/Program/Orvane/Task.php";

class TasksTest : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    id_ = CreateAccount("secret1", 1);
  }

  std::string Change(const std::string& content, const std::string& oldText,
                     const std::string& serverId, const std::string& password = "secret1") {
    return Text(std::string(kTask) + "?hlu=1&dl=" + id_ + "&password=" + password +
                "&taskcontent=" + UrlFormEncode(content) +
                "&tasktb=1&xgy=" + UrlFormEncode(oldText) + "&zrid=" + serverId);
  }
  std::string Delete(const std::string& oldText, int slot) {
    std::string content = "0" + oldText.substr(1);
    return Text(std::string(kTask) + "?hlu=1&dl=" + id_ +
                "&password=secret1&taskcontent=" + UrlFormEncode(content) +
                "&tasktb=0&xgy=" + UrlFormEncode(oldText) + "&sctb=1&zrid=" + std::to_string(slot));
  }
  std::string Fetch(const std::string& password = "secret1") {
    return Text(std::string(kTask) + "?qlu=1&dl=" + id_ + "&password=" + password);
  }

  std::string id_;
};

// Pipe texts as the program sends them (GBK).
const std::string kReminder = "1|0|30|0|1|3|0|时间到了哦!|10:5|1";
const std::string kShutdown = "1|22|0|0|0|0|0|空|10:6|1";
const std::string kOpenFile = "1|1|5|0|2|3|2|C:\\文档\\计划.txt|10:7|1";

TEST_F(TasksTest, RoundTripKeepsSlotsAndServerIds) {
  std::string empty = Fetch();
  EXPECT_EQ(empty, "hqtask111^^^^^^^^^^^||||||||");

  EXPECT_EQ(Change(kReminder, "0", ""), "task111");
  EXPECT_EQ(Change(kShutdown, "0", ""), "task111");
  std::string fetched = Fetch();
  EXPECT_EQ(Field(fetched, '^', 0), "hqtask111");
  EXPECT_EQ(Field(fetched, '^', 1), kReminder);
  EXPECT_EQ(Field(fetched, '^', 2), kShutdown);
  EXPECT_EQ(Field(fetched, '^', 3), "");
  std::string ids = Field(fetched, '^', 11);
  std::string first = Field(ids, '|', 0), second = Field(ids, '|', 1);
  EXPECT_FALSE(first.empty());
  EXPECT_FALSE(second.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(Field(ids, '|', 2), "");

  // Modified through its server id, and through its old text alone.
  std::string reminder2 = "1|0|45|0|1|3|0|开会|10:9|1";
  EXPECT_EQ(Change(reminder2, kReminder, first), "task111");
  std::string shutdown2 = "1|23|0|0|0|1|0|空|10:9|1";
  EXPECT_EQ(Change(shutdown2, kShutdown, ""), "task111");
  fetched = Fetch();
  EXPECT_EQ(Field(fetched, '^', 1), reminder2);
  EXPECT_EQ(Field(fetched, '^', 2), shutdown2);
  EXPECT_EQ(Field(fetched, '^', 11), ids);

  // The deletion names the slot; the slot empties and the next add takes it
  // with a new server id.
  EXPECT_EQ(Delete(reminder2, 1), "task111");
  fetched = Fetch();
  EXPECT_EQ(Field(fetched, '^', 1), "");
  EXPECT_EQ(Field(Field(fetched, '^', 11), '|', 0), "");
  EXPECT_EQ(Field(fetched, '^', 2), shutdown2);
  EXPECT_EQ(Change(kOpenFile, "0", ""), "task111");
  fetched = Fetch();
  EXPECT_EQ(Field(fetched, '^', 1), kOpenFile);
  std::string third = Field(Field(fetched, '^', 11), '|', 0);
  EXPECT_FALSE(third.empty());
  EXPECT_NE(third, first);
  EXPECT_NE(third, second);

  // Deleting a task the server does not hold changes nothing.
  EXPECT_EQ(Delete(kReminder, 1), "task111");
  EXPECT_EQ(Field(Fetch(), '^', 1), kOpenFile);
}

TEST_F(TasksTest, RefusedChanges) {
  std::string levelZero = CreateAccount("secret1", 0);
  struct Case {
    const char* name;
    std::string query;
    const char* code;
  } cases[] = {
      {"wrong password",
       "?hlu=1&dl=" + id_ + "&password=nope&taskcontent=1&tasktb=1&xgy=0&zrid=", "404ps"},
      {"unknown account",
       "?hlu=1&dl=99999999&password=secret1&taskcontent=1&tasktb=1&xgy=0&zrid=", "404u"},
      {"fetch, wrong password", "?qlu=1&dl=" + id_ + "&password=nope", "404ps"},
      {"lower level",
       "?hlu=1&dl=" + levelZero + "&password=secret1&taskcontent=1&tasktb=1&xgy=0&zrid=",
       "task404"},
      {"no content", "?hlu=1&dl=" + id_ + "&password=secret1&tasktb=1&xgy=0&zrid=", "task404"},
      {"record separator in content",
       "?hlu=1&dl=" + id_ + "&password=secret1&taskcontent=1%5E2&tasktb=1&xgy=0&zrid=", "task404"},
      {"invalid GBK",
       "?hlu=1&dl=" + id_ + "&password=secret1&taskcontent=1%7C%81%20&tasktb=1&xgy=0&zrid=",
       "task404"},
      {"slot out of range",
       "?hlu=1&dl=" + id_ + "&password=secret1&taskcontent=0&tasktb=0&xgy=1&sctb=1&zrid=12",
       "task404"},
      {"letters as a server id",
       "?hlu=1&dl=" + id_ + "&password=secret1&taskcontent=1&tasktb=1&xgy=0&zrid=ab", "task404"},
      {"neither change nor fetch", "?dl=" + id_ + "&password=secret1", "task404"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Text(std::string(kTask) + c.query), c.code);
  }
  EXPECT_EQ(Fetch(), "hqtask111^^^^^^^^^^^||||||||");
}

TEST_F(TasksTest, RememberedChecksStillRefuseOtherPasswords) {
  EXPECT_EQ(Field(SignIn(id_, "secret1"), '|', 0), "login111");
  EXPECT_EQ(Field(Fetch(), '^', 0), "hqtask111");
  for (const char* wrong : {"secret2", "secret11", "SECRET1"}) EXPECT_EQ(Fetch(wrong), "404ps");
  // A new password retires what the server remembered of the old one.
  ASSERT_EQ(Admin(data(), {"account", "set", id_, "--password", "fresh12"}).exitCode, 0);
  EXPECT_EQ(Fetch(), "404ps");
  EXPECT_EQ(Field(Fetch("fresh12"), '^', 0), "hqtask111");
}

TEST_F(TasksTest, TwoClientsFillingOneTableLeaveItConsistent) {
  // Twelve adds from two clients for nine slots: nine stored, three refused.
  std::vector<std::string> replies(12);
  auto client = [&](int first) {
    for (int i = first; i < 12; i += 2) {
      replies[i] = Change(
          "1|0|" + std::to_string(i + 10) + "|0|1|3|0|t" + std::to_string(i) + "|1:1|1", "0", "");
    }
  };
  std::thread a(client, 0), b(client, 1);
  a.join();
  b.join();
  EXPECT_EQ(std::count(replies.begin(), replies.end(), "task111"), 9);
  EXPECT_EQ(std::count(replies.begin(), replies.end(), "task404"), 3);
  std::string fetched = Fetch();
  std::set<std::string> contents, ids;
  for (int part = 1; part <= 9; ++part) contents.insert(Field(fetched, '^', part));
  for (int field = 0; field < 9; ++field) ids.insert(Field(Field(fetched, '^', 11), '|', field));
  EXPECT_EQ(contents.size(), 9u);
  EXPECT_EQ(ids.size(), 9u);
  EXPECT_EQ(contents.count(""), 0u);
  EXPECT_EQ(ids.count(""), 0u);
}

}  // namespace
}  // namespace server_test
