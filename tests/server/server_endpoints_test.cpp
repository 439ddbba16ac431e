#include <filesystem>
#include <fstream>

#include "platform/files/std_file_system.h"
#include "program/dravoup/sha256.h"
#include "tests/server/server_fixture.h"

namespace server_test {
namespace {

constexpr const char* kRegulation = "/SoftWare/userroom/stRegulation.php";
constexpr const char* kLogin = "/SoftWare/userroom/stLogin.php";
constexpr const char* kMember = "/SoftWare/userroom/stMember.php";
constexpr const char* kComments = "/SoftWare/userroom/stComments.php";

std::string Member(const std::string& nickname, const std::string& password,
                   const std::string& email, int sex = 2, const std::string& qq = "") {
  return std::string(kMember) + "?cs=1&usr=" + nickname + "&pasd=" + password + "&email=" + email +
         "&nannv=" + std::to_string(sex) + "&qa=8&qim=" + qq + "&vcar=1";
}

std::string Comment(const std::string& id, const std::string& name, const std::string& email,
                    const std::string& message) {
  return std::string(kComments) + "?fk=1&mi=" + id + "&tm=0&am=" + UrlFormEncode(name) +
         "&me=" + email + "&mt=Orvane&mn=" + UrlFormEncode(message);
}

using EndpointsTest = ServerTest;

TEST_F(EndpointsTest, ProbeAndShownPagesAreUtf8Html) {
  std::string id = CreateAccount("secret1", 1, 0, u8"页面用户");
  platform::CurlHttp http;
  EXPECT_EQ(online::ServerProbe(http, server_->base()), online::RequestFailure::None);
  struct Case {
    const char* name;
    std::string path;
    const char* mustHold;  // UTF-8
  } cases[] = {
      {"home and probe", "/", u8"Orvane"},
      {"navigation", "/Too/daohang.php", u8"网址导航"},
      {"navigation signed in", "/Too/daohang.php?dlu=1&dl=" + id + "&pd=secret1", u8"页面用户"},
      {"instructions", std::string(kRegulation) + "?seleweb=OrvaneSM", u8"添加任务"},
      {"personal centre", "/SoftWare/userroom/stUser.php?dlu=1&dl=" + id + "&pd=secret1",
       u8"页面用户"},
      {"personal centre refused", "/SoftWare/userroom/stUser.php?dlu=1&dl=" + id + "&pd=wrong",
       u8"账号或密码有误"},
      {"registration site", "/SoftWare/userroom/register.php", u8"<form"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Answer page = Get(c.path);
    ASSERT_TRUE(page.ok);
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.text.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(page.text.find(c.mustHold), std::string::npos);
  }
  // The refusal shows nothing of the account.
  EXPECT_EQ(Text("/SoftWare/userroom/stUser.php?dlu=1&dl=" + id + "&pd=wrong").find(u8"页面用户"),
            std::string::npos);
}

TEST_F(EndpointsTest, VersionQueryNamesTheConfiguredVersion) {
  EXPECT_EQ(Field(Field(Text(std::string(kRegulation) + "?vBC=Orvane"), '^', 0), '|', 0), "6.1.2");
  ASSERT_EQ(Admin(data(), {"version", "set", "6.1.5", "--notes", u8"修复问题"}).exitCode, 0);
  std::string reply = Text(std::string(kRegulation) + "?vBC=Orvane");
  EXPECT_EQ(Field(Field(reply, '^', 0), '|', 0), "6.1.5");
  EXPECT_EQ(Field(reply, '^', 1), "修复问题");  // GBK on the wire
}

TEST_F(EndpointsTest, DownloadQueriesNameFilesThatDownloadWhole) {
  const std::string folder = data() + "/files";
  std::string body(300000, 'x');
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7);
  for (const char* name : {"DravoUP.exe", "DomainName.exe"})
    std::ofstream(folder + "/" + name) << body;

  for (const char* name : {"DravoUP", "DomainName"}) {
    SCOPED_TRACE(name);
    std::string address = Text(std::string(kRegulation) + "?updownload=" + name);
    ASSERT_EQ(address, server_->base() + "/SoftWare/download/" + name + ".exe");
    platform::CurlHttp http;
    platform::StdFileSystem files;
    const std::string target = dir_ / (std::string(name) + ".got");
    ASSERT_TRUE(online::ServerFileDownload(http, files, address, target));
    EXPECT_EQ(ReadFile(target), body);
  }
  // No product file yet, an unknown name, a path: nothing to download.
  EXPECT_EQ(Text(std::string(kRegulation) + "?updownload=Orvane"), "404m");
  EXPECT_EQ(Text(std::string(kRegulation) + "?updownload=..%2Forvane.db"), "404m");
  EXPECT_EQ(Get("/SoftWare/download/../orvane.db").status, 404);
  platform::CurlHttp http;
  platform::StdFileSystem files;
  EXPECT_FALSE(online::ServerFileDownload(http, files, Url("/SoftWare/download/Orvane.exe"),
                                          dir_ / "none.exe"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "none.exe"));
}

TEST_F(EndpointsTest, PublishedProductIsOfferedWithItsDigestAndNamedByTheVersionQuery) {
  std::string body(200000, '\0');
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 13 + 5);
  const std::string source = dir_ / "build-6.1.5";
  std::ofstream(source, std::ios::binary) << body;
  Outcome published = Admin(data(), {"publish", "product", source, "--version", "6.1.5"});
  ASSERT_EQ(published.exitCode, 0);
  const std::string digest = dravoup::Sha256Hex(body);
  EXPECT_EQ(published.out, "Orvane.exe 6.1.5 sha256 " + digest + "\n");

  EXPECT_EQ(Field(Text(std::string(kRegulation) + "?vBC=Orvane"), '|', 0), "6.1.5");
  const std::string offer = Text(std::string(kRegulation) + "?updownload=Orvane");
  EXPECT_EQ(offer, server_->base() + "/SoftWare/download/Orvane.exe|" + digest);
  platform::CurlHttp http;
  platform::StdFileSystem files;
  ASSERT_TRUE(online::ServerFileDownload(http, files, Field(offer, '|', 0), dir_ / "got"));
  EXPECT_EQ(ReadFile(dir_ / "got"), body);

  // The updater goes up without a version, and its address alone answers.
  ASSERT_EQ(Admin(data(), {"publish", "updater", source}).exitCode, 0);
  EXPECT_EQ(Text(std::string(kRegulation) + "?updownload=DravoUP"),
            server_->base() + "/SoftWare/download/DravoUP.exe");

  // An empty file or a version the reply could not carry changes nothing.
  std::ofstream(dir_ / "empty");
  EXPECT_NE(Admin(data(), {"publish", "product", dir_ / "empty", "--version", "6.1.6"}).exitCode,
            0);
  EXPECT_NE(Admin(data(), {"publish", "product", source, "--version", "6.1|7"}).exitCode, 0);
  EXPECT_EQ(Field(Text(std::string(kRegulation) + "?vBC=Orvane"), '|', 0), "6.1.5");
  EXPECT_EQ(Text(std::string(kRegulation) + "?updownload=Orvane"), offer);
}

TEST_F(EndpointsTest, SignInRepliesThirteenFieldsWithTheNicknameInGbk) {
  std::string id = CreateAccount("secret1", 1, 250, u8"张三");
  std::string reply = SignIn(id, "secret1");
  EXPECT_EQ(Field(reply, '|', 0), "login111");
  EXPECT_EQ(Field(reply, '|', 1), "1");
  EXPECT_EQ(Field(reply, '|', 2), "张三");  // the GBK bytes of the literal
  EXPECT_EQ(Field(reply, '|', 8), "250");
  EXPECT_EQ(Field(reply, '|', 9), id);
  EXPECT_EQ(Field(reply, '|', 10), "secret1");
  EXPECT_EQ(std::count(reply.begin(), reply.end(), '|'), 12);

  EXPECT_EQ(SignIn(id, "secret2"), "404ps");
  EXPECT_EQ(SignIn(id, ""), "404ps");
  EXPECT_EQ(SignIn("999999", "secret1"), "404u");
  EXPECT_EQ(SignIn("abc", "secret1"), "404u");
  EXPECT_EQ(Text(std::string(kLogin) + "?dl=" + id + "&password=secret1"), "404u");

  // Level and points changed by the administrator show at the next sign-in.
  ASSERT_EQ(Admin(data(), {"account", "set", id, "--level", "0", "--points", "7"}).exitCode, 0);
  reply = SignIn(id, "secret1");
  EXPECT_EQ(Field(reply, '|', 1), "0");
  EXPECT_EQ(Field(reply, '|', 8), "7");
  ASSERT_EQ(Admin(data(), {"account", "set", id, "--password", "changed1"}).exitCode, 0);
  EXPECT_EQ(SignIn(id, "secret1"), "404ps");
  EXPECT_EQ(Field(SignIn(id, "changed1"), '|', 0), "login111");
}

TEST_F(EndpointsTest, RepeatedWrongPasswordsHoldTheAccountBack) {
  std::string id = CreateAccount("secret1");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(SignIn(id, "guess" + std::to_string(i)), "404ps");
  // Right after the fifth failure even the right password waits its turn.
  EXPECT_EQ(SignIn(id, "secret1"), "404ps");
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  EXPECT_EQ(Field(SignIn(id, "secret1"), '|', 0), "login111");
}

TEST_F(EndpointsTest, RegistrationCodes) {
  std::string reply = Text(Member("张三丰", "secret1", "zhang@example.com", 1, "12345678"));
  ASSERT_EQ(Field(reply, '|', 0), "mem111");
  std::string id = Field(reply, '|', 1);
  ASSERT_FALSE(id.empty());
  // The new account signs in with its GBK nickname.
  std::string signIn = SignIn(id, "secret1");
  EXPECT_EQ(Field(signIn, '|', 0), "login111");
  EXPECT_EQ(Field(signIn, '|', 2), "张三丰");
  EXPECT_EQ(Field(signIn, '|', 1), "0");

  struct Case {
    const char* name;
    std::string path;
    const char* code;
  } cases[] = {
      {"address taken, other case", Member("abcde", "secret1", "ZHANG@example.com"), "404e"},
      {"malformed address", Member("abcde", "secret1", "not-an-address"), "404email"},
      {"address with a space", Member("abcde", "secret1", "a%20b@example.com"), "404email"},
      {"short password", Member("abcde", "12345", "b@example.com"), "404m"},
      {"nickname with a bar", Member("ab%7Ccd", "secret1", "c@example.com"), "404m"},
      {"sex out of range", Member("abcde", "secret1", "d@example.com", 5), "404m"},
      {"letters for a QQ number", Member("abcde", "secret1", "e@example.com", 1, "12ab5"), "404m"},
      {"missing constant key",
       std::string(kMember) + "?usr=abcde&pasd=secret1&email=f@example.com"
                              "&nannv=1&qa=8&qim=&vcar=1",
       "404m"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Text(c.path), c.code);
  }
}

TEST_F(EndpointsTest, RegistrationQuotaRunsOut) {
  ASSERT_EQ(Admin(data(), {"quota", "set", "2"}).exitCode, 0);
  EXPECT_EQ(Field(Text(Member("first", "secret1", "q1@example.com")), '|', 0), "mem111");
  EXPECT_EQ(Field(Text(Member("second", "secret1", "q2@example.com")), '|', 0), "mem111");
  EXPECT_EQ(Text(Member("third", "secret1", "q3@example.com")), "403ui");
  EXPECT_EQ(Admin(data(), {"quota", "show"}).out, "0\n");
  ASSERT_EQ(Admin(data(), {"quota", "clear"}).exitCode, 0);
  EXPECT_EQ(Field(Text(Member("third", "secret1", "q3@example.com")), '|', 0), "mem111");
}

TEST_F(EndpointsTest, OneAddressCannotRegisterWithoutPause) {
  for (int i = 0; i < 20; ++i) {
    std::string email = "many" + std::to_string(i) + "@example.com";
    ASSERT_EQ(Field(Text(Member("abcde", "secret1", email)), '|', 0), "mem111") << i;
  }
  EXPECT_EQ(Text(Member("abcde", "secret1", "many20@example.com")), "404m");
}

TEST_F(EndpointsTest, FeedbackIsStoredAndListed) {
  EXPECT_EQ(Text(Comment("0", "李四", "li@example.com", "很好用\r\n谢谢")), "tj111");
  EXPECT_EQ(Text(Comment("100001", "Li", "li@example.com", "second")), "tj111");
  EXPECT_EQ(Text(Comment("0", "Li", "li-at-example", "text")), "404email");
  EXPECT_EQ(Text(Comment("0", "", "li@example.com", "text")), "404m");
  EXPECT_EQ(Text(Comment("0", "Li", "li@example.com", "")), "404m");
  EXPECT_EQ(Text(Comment("x1", "Li", "li@example.com", "text")), "404m");
  std::string listed = Admin(data(), {"feedback", "list"}).out;
  EXPECT_NE(listed.find(u8"李四"), std::string::npos);
  EXPECT_NE(listed.find(u8"很好用"), std::string::npos);
  EXPECT_NE(listed.find("account 100001"), std::string::npos);
}

TEST_F(EndpointsTest, AdvertisementIsAPageUntilCleared) {
  const std::string query = std::string(kRegulation) + "?DravoAD=Orvane&lx=0";
  EXPECT_EQ(Text(query), "404m");
  std::ofstream(dir_ / "ad.html") << u8"<p>新版本上线</p>";
  ASSERT_EQ(Admin(data(), {"ad", "set", dir_ / "ad.html"}).exitCode, 0);
  for (const std::string& asked : {query, query + "&Wx=X"}) {
    Answer page = Get(asked);
    EXPECT_NE(page.text, "404m");
    EXPECT_NE(page.text.find(u8"<p>新版本上线</p>"), std::string::npos);
    EXPECT_NE(page.text.find("charset=\"utf-8\""), std::string::npos);
  }
  ASSERT_EQ(Admin(data(), {"ad", "clear"}).exitCode, 0);
  EXPECT_EQ(Text(query), "404m");
}

}  // namespace
}  // namespace server_test
