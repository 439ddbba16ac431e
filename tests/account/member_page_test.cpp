#include <gtest/gtest.h>

#include "online/member_dlg.h"
#include "tests/account/account_fixture.h"

namespace {

using accounttest::Pages;
using online::RegistrationInput;

TEST(Registration, ChecksInOrderWithTheirMessages) {
  struct Case {
    const char* name;
    RegistrationInput input;
    const char* problem;  // null: passes
  };
  const Case cases[] = {
      {"no e-mail", {"", "secret", "secret", "alice", "女", ""}, "必填项不能为空!"},
      {"no sex", {"a@b.c", "secret", "secret", "alice", "", ""}, "必填项不能为空!"},
      {"empty password beats the short one",
       {"a@b.c", "", "", "alice", "男", ""},
       "必填项不能为空!"},
      {"five-byte password",
       {"a@b.c", "12345", "12345", "alice", "男", ""},
       "密码长度不能少于6位！"},
      {"repeat differs", {"a@b.c", "123456", "12345", "alice", "男", ""}, "两次输入的密码不同"},
      {"repeat empty", {"a@b.c", "123456", "", "alice", "男", ""}, "两次输入的密码不同"},
      {"four ASCII letters",
       {"a@b.c", "123456", "123456", "abcd", "男", ""},
       "用户名不能小于5个字符"},
      {"two letters and a Chinese character",
       {"a@b.c", "123456", "123456", "ab明", "男", ""},
       "用户名不能小于5个字符"},
      {"full-width first character",
       {"a@b.c", "123456", "123456", "Ａ明", "男", ""},
       "用户名不能小于5个字符"},
      {"one Chinese character",
       {"a@b.c", "123456", "123456", "小", "男", ""},
       "用户名不能小于4个字符"},
      {"two Chinese characters", {"a@b.c", "123456", "123456", "小明", "男", ""}, nullptr},
      {"five ASCII letters, no QQ", {"a@b.c", "123456", "123456", "alice", "女", ""}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto problem = online::RegistrationInputProblem(c.input);
    if (c.problem) {
      EXPECT_EQ(problem, c.problem);
    } else {
      EXPECT_FALSE(problem);
    }
  }
  EXPECT_EQ(online::SexCode("男"), 1);
  EXPECT_EQ(online::SexCode("女"), 2);
  EXPECT_EQ(online::SexCode("?"), 0);
}

TEST(Registration, EveryReplyCode) {
  struct Case {
    const char* reply;
    const char* message;
    bool closes;
  };
  const Case cases[] = {
      {"404email", "请输入正确的邮箱!", false},
      {"404e", "该邮箱已注册，请更换邮箱或登录", false},
      {"403ui", "十分抱歉！注册数量发放结束，请留意下一次发放时间！", false},
      {"404m", "注册失败!", false},
      {"404u|x", "注册失败!", false},
      {"mem111|10086", "恭喜注册成功！请牢记您的登陆账号：10086", true},
      {"mem111", "恭喜注册成功！请牢记您的登陆账号：", true},
      {"mem1111", "未知响应: mem1111", false},
      {"", "未知响应: ", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    const auto outcome = online::RegistrationReplyOutcome(c.reply);
    EXPECT_EQ(outcome.message, c.message);
    EXPECT_EQ(outcome.closes, c.closes);
  }
}

// The registration form filled with a valid account.
constexpr char kFill[] =
    u8R"(
  type 141 1049 "a@b.c"
  type 141 1043 "p&w=12"
  type 141 1051 "p&w=12"
  type 141 1052 "小明"
  type 141 1054 "12345"
)";

TEST(RegistrationPage, SendsTheInputAsTypedAndClosesOnSuccess) {
  Pages p;
  online::CMemberDlg page;
  EXPECT_EQ(p.Run(page, std::string(u8R"(
    expect combo-items 141 1053 "男" "女"
    expect combo-sel 141 1053 1
    server-reply "/SoftWare/userroom/stMember.php" "mem111|\n10086"
  )") + kFill + u8R"(
    click 141 1005
    expect request "/SoftWare/userroom/stMember.php?cs=1&usr=小明&pasd=p&w=12&email=a@b.c&nannv=2&qa=8&qim=12345&vcar=1"
    msgbox ok text="恭喜注册成功！请牢记您的登陆账号：10086" caption="提示"
    expect window 141 closed
  )"),
            "");
  EXPECT_EQ(app::Shared().registrationReply, "mem111|10086");
  EXPECT_EQ(app::Shared().session.signedIn, 0);
}

TEST(RegistrationPage, FailuresAndRefusalsKeepThePageAndItsInput) {
  Pages p;
  online::CMemberDlg page;
  EXPECT_EQ(p.Run(page, std::string(u8R"(
    click 141 1005
    msgbox ok text="必填项不能为空!" caption="提示"
    expect no-request "/SoftWare/userroom/stMember.php"
  )") + kFill + u8R"(
    choose 141 1053 "男"
    server-fail "/SoftWare/userroom/stMember.php" exception
    click 141 1005
    msgbox ok text="网络异常" caption="提示"
    server-fail "/SoftWare/userroom/stMember.php" no-file
    click 141 1005
    msgbox ok text="联网失败" caption="提示"
    server-reply "/SoftWare/userroom/stMember.php" "404\nemail"
    click 141 1005
    msgbox ok text="请输入正确的邮箱!" caption="提示"
    expect request "/SoftWare/userroom/stMember.php?cs=1&usr=小明&pasd=p&w=12&email=a@b.c&nannv=1&qa=8&qim=12345&vcar=1" 3
    expect window 141 visible
    expect text 141 1052 "小明"
    click 141 1056
  )"),
            "");
}

}  // namespace
