#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <thread>

#include "tests/server/server_fixture.h"

namespace server_test {
namespace {

using RobustnessTest = ServerTest;

// Sends `request` as it stands to the server at `base` and reads until it closes.
std::string SendRaw(const std::string& base, const std::string& request) {
  const int port = std::stoi(base.substr(base.rfind(':') + 1));
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string reply;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
          static_cast<ssize_t>(request.size())) {
    char buffer[4096];
    ssize_t n;
    while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) reply.append(buffer, n);
  }
  ::close(fd);
  return reply;
}

TEST_F(RobustnessTest, BadInputGetsTheRefusalCode) {
  std::string id = CreateAccount("secret1");
  const std::string drop = "%27%3B%20DROP%20TABLE%20accounts%3B%20--";
  const std::string huge(100 * 1024, 'a');
  struct Case {
    const char* name;
    std::string path;
    const char* code;
  } cases[] = {
      {"sign-in without keys", "/SoftWare/userroom/stLogin.php", "404u"},
      {"sign-in, SQL as id", "/SoftWare/userroom/stLogin.php?dlu=1&dl=" + drop + "&password=x",
       "404u"},
      {"sign-in, SQL as password",
       "/SoftWare/userroom/stLogin.php?dlu=1&dl=" + id + "&password=" + drop, "404ps"},
      {"sign-in, negative id", "/SoftWare/userroom/stLogin.php?dlu=1&dl=-5&password=x", "404u"},
      {"sign-in, huge id",
       "/SoftWare/userroom/stLogin.php?dlu=1&dl=99999999999999999999999&password=x", "404u"},
      {"registration, SQL as nickname",
       "/SoftWare/userroom/stMember.php?cs=1&usr=" + drop +
           "&pasd=secret1&email=x@example.com"
           "&nannv=1&qa=8&qim=&vcar=1",
       "mem111"},
      {"registration, invalid GBK nickname",
       "/SoftWare/userroom/stMember.php?cs=1&usr=ab%81%30cd&pasd=secret1&email=y@example.com"
       "&nannv=1&qa=8&qim=&vcar=1",
       "404m"},
      {"registration without keys", "/SoftWare/userroom/stMember.php", "404m"},
      {"feedback without keys", "/SoftWare/userroom/stComments.php", "404m"},
      {"feedback, invalid GBK",
       "/SoftWare/userroom/stComments.php?fk=1&mi=0&tm=0&am=%81&me=a@b.cn"
       "&mt=Orvane&mn=x",
       "404m"},
      {"regulation without keys", "/SoftWare/userroom/stRegulation.php", "404m"},
      {"version of another product", "/SoftWare/userroom/stRegulation.php?vBC=Other", "404m"},
      {"task service without keys", "/SoftWare/Program/Orvane/Task.php", "task404"},
      {"task fetch, SQL as id",
       "/SoftWare/Program/Orvane/Task.php?qlu=1&dl=" + drop + "&password=x", "404u"},
      {"sign-in, 7 KB query",
       "/SoftWare/userroom/stLogin.php?dlu=1&dl=" + id +
           "&password=secret1&x=" + huge.substr(0, 7000),
       "404u"},
      {"task service, 7 KB query",
       "/SoftWare/Program/Orvane/Task.php?qlu=1&dl=" + id +
           "&password=secret1&x=" + huge.substr(0, 7000),
       "task404"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Field(Text(c.path), '|', 0), c.code);
  }
  // Longer than any request line the server reads: refused before routing,
  // which the program takes for a reply without a file.
  const std::string tooLong = "/SoftWare/userroom/stLogin.php?dlu=1&dl=" + id + "&password=" + huge;
  Answer refused = Get(tooLong);
  EXPECT_EQ(refused.status, 414);
  EXPECT_EQ(refused.text, "404m");
  EXPECT_EQ(Request(Url(tooLong)).failure, online::RequestFailure::NoFile);
  // Nothing was dropped or broken on the way.
  EXPECT_EQ(Field(SignIn(id, "secret1"), '|', 0), "login111");
  Outcome listed = Admin(data(), {"account", "list"});
  EXPECT_NE(listed.out.find("DROP TABLE"), std::string::npos);
}

TEST_F(RobustnessTest, DataSurvivesARestartAndAKill) {
  std::string id = CreateAccount("secret1");
  const std::string task = "1|0|30|0|1|3|0|persist|1:1|1";
  const std::string add = "/SoftWare/Program/Orvane/Task.php?hlu=1&dl=" + id +
                          "&password=secret1&taskcontent=" + UrlFormEncode(task) +
                          "&tasktb=1&xgy=0&zrid=";
  const std::string fetch =
      "/SoftWare/Program/Orvane/Task.php?qlu=1&dl=" + id + "&password=secret1";
  ASSERT_EQ(Text(add), "task111");
  std::string registered = Text(
      "/SoftWare/userroom/stMember.php?cs=1&usr=abcde&pasd=secret2"
      "&email=keep@example.com&nannv=1&qa=8&qim=&vcar=1");
  ASSERT_EQ(Field(registered, '|', 0), "mem111");

  EXPECT_EQ(server_->Stop(), 0);  // SIGTERM stops cleanly
  server_->Start();
  EXPECT_EQ(Field(Text(fetch), '^', 1), task);
  EXPECT_EQ(Field(SignIn(Field(registered, '|', 1), "secret2"), '|', 0), "login111");

  const std::string task2 = "1|1|0|0|1|3|0|after|1:2|1";
  ASSERT_EQ(Text("/SoftWare/Program/Orvane/Task.php?hlu=1&dl=" + id +
                 "&password=secret1&taskcontent=" + UrlFormEncode(task2) + "&tasktb=1&xgy=0&zrid="),
            "task111");
  server_->Stop(SIGKILL);
  server_->Start();
  std::string fetched = Text(fetch);
  EXPECT_EQ(Field(fetched, '^', 1), task);
  EXPECT_EQ(Field(fetched, '^', 2), task2);
}

TEST_F(RobustnessTest, PasswordsNeverReachTheDiskInClear) {
  const std::string password = "Clear7Secret";
  std::string registered = Text("/SoftWare/userroom/stMember.php?cs=1&usr=abcde&pasd=" + password +
                                "&email=clear@example.com&nannv=1&qa=8&qim=&vcar=1");
  std::string id = Field(registered, '|', 1);
  ASSERT_FALSE(id.empty());
  ASSERT_EQ(Admin(data(), {"account", "set", id, "--level", "1"}).exitCode, 0);
  EXPECT_EQ(Field(SignIn(id, password), '|', 0), "login111");
  EXPECT_EQ(
      Field(Text("/SoftWare/Program/Orvane/Task.php?qlu=1&dl=" + id + "&password=" + password), '^',
            0),
      "hqtask111");
  Get("/SoftWare/userroom/stUser.php?dlu=1&dl=" + id + "&pd=" + password);
  Get("/Too/daohang.php?dlu=1&dl=" + id + "&pd=" + password);
  server_->Stop();  // the log and the database are complete on disk

  std::string log = ReadFile(data() + "/server.log");
  EXPECT_NE(log.find("stLogin.php"), std::string::npos);
  EXPECT_NE(log.find("dl=" + id), std::string::npos);
  std::string stored = ReadFile(data() + "/orvane.db") + ReadFile(data() + "/orvane.db-wal");
  EXPECT_NE(stored.find("$argon2id$"), std::string::npos);
  for (const std::string& file : {log, stored}) EXPECT_EQ(file.find(password), std::string::npos);
}

TEST_F(RobustnessTest, TheLogHoldsNoControlBytesOfARequest) {
  // A terminal that shows the log must not meet an escape sequence from outside.
  const std::string requests[] = {
      "G\x1B]0;owned\x07T / HTTP/1.1\r\nConnection: close\r\n\r\n",
      "GET /\x1B[2J HTTP/1.1\r\nConnection: close\r\n\r\n",
  };
  for (const std::string& request : requests) {
    EXPECT_NE(SendRaw(server_->base(), request).find("HTTP/1.1 "), std::string::npos);
  }
  server_->Stop();
  const std::string log = ReadFile(data() + "/server.log");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
  const auto control = std::find_if(log.begin(), log.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return c != '\n' && (byte < 0x20 || byte == 0x7F);
  });
  EXPECT_TRUE(control == log.end()) << log;
}

TEST_F(RobustnessTest, OtherMethodsAndPathsAreRefusedQuietly) {
  EXPECT_EQ(Get("/no/such/page.php").status, 404);
  EXPECT_EQ(Get("/SoftWare/download/missing.exe").status, 404);
  // Still serving afterwards.
  EXPECT_TRUE(Get("/").ok);
}

}  // namespace
}  // namespace server_test
