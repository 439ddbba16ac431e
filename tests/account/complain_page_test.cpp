#include <gtest/gtest.h>

#include "online/complain_dlg.h"
#include "tests/account/account_fixture.h"

namespace {

using accounttest::Pages;

TEST(Feedback, TheRequestCarriesTheAccountAndTheEncodedTexts) {
  struct Case {
    const char* name;
    int signedIn, level;
    const char* id;
    const char* query;
  };
  const Case cases[] = {
      {"no account", 0, 0, "10086", "mi=0&tm=0"},
      {"level 0", 1, 0, "10086", "mi=10086&tm=0"},
      {"level 1, id with a tail", 1, 1, "123abc", "mi=123&tm=1"},
      {"level 2 claims no id", 1, 2, "10086", "mi=0&tm=2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    app::SessionState session;
    session.signedIn = c.signedIn;
    session.accountLevel = c.level;
    session.accountId() = c.id;
    EXPECT_EQ(
        online::FeedbackRequestUrl("/f?fk=1&mi=%d&tm=%d&am=%s&me=%s&mt=%s&mn=%s", session,
                                   {"小明", "a&b@c.d", "hi-there"}),
        std::string("/f?fk=1&") + c.query + "&am=%D0%A1%C3%F7&me=a&b@c.d&mt=Orvane&mn=hi%2Dthere");
  }
}

TEST(FeedbackPage, ChecksSpacelessFieldsInOrder) {
  Pages p;
  online::CComplainDlg page;
  EXPECT_EQ(p.Run(page,
                  u8R"(
    expect limit 152 1088 200
    type 152 1081 "  "
    click 152 1083
    msgbox ok text="称呼不能为空" caption="提示"
    type 152 1081 "小 明"
    click 152 1083
    msgbox ok text="邮箱不能为空" caption="提示"
    type 152 1049 "a@b.c"
    type 152 1088 "     "
    click 152 1083
    msgbox ok text="内容不能为空" caption="提示"
    expect no-request "/SoftWare/userroom/stComments.php"
    click 152 1090
  )"),
            "");
}

TEST(FeedbackPage, OnlyTheLastReplyLineCounts) {
  Pages p;
  online::CComplainDlg page;
  EXPECT_EQ(p.Run(page,
                  u8R"(
    type 152 1081 "小 明"
    type 152 1049 "a @b.c"
    type 152 1088 "很 好\n用"
    server-reply "/SoftWare/userroom/stComments.php" ""
    click 152 1083
    expect msgbox none
    server-reply "/SoftWare/userroom/stComments.php" "tj111\n404m|x"
    click 152 1083
    msgbox ok text="提交失败，请稍候再尝试。感谢您对我们的支持!" caption="提示"
    server-reply "/SoftWare/userroom/stComments.php" "404email"
    click 152 1083
    msgbox ok text="请输入正确的邮箱!" caption="提示"
    expect window 152 visible
    server-reply "/SoftWare/userroom/stComments.php" "404m\ntj111|1"
    click 152 1083
    expect request "/SoftWare/userroom/stComments.php?fk=1&mi=0&tm=0&am=%D0%A1%C3%F7&me=a@b.c&mt=Orvane&mn=%BA%DC%BA%C3%0A%D3%C3" 4
    msgbox ok text="提交成功，感谢您对我们的支持!" caption="提示"
    expect window 152 closed
  )"),
            "");
  EXPECT_EQ(app::Shared().feedbackReply[0], "tj111");
  EXPECT_EQ(app::Shared().feedbackReply[1], "1");
  EXPECT_FALSE(p.h.backend.QuitPosted());
}

TEST(FeedbackPage, AFailedRequestEndsTheProgram) {
  for (const char* kind : {"exception", "no-file"}) {
    SCOPED_TRACE(kind);
    Pages p;
    online::CComplainDlg page;
    EXPECT_EQ(
        p.Run(page, std::string(u8R"(
      type 152 1081 "n"
      type 152 1049 "e"
      type 152 1088 "m"
      server-fail "/SoftWare/userroom/stComments.php" )") +
                        kind + "\nclick 152 1083\n" +
                        accounttest::Utf8(std::string("msgbox ok caption=\"提示\" text=\"") +
                                          (kind[0] == 'e' ? "网络异常" : "联网失败") + "\"\n")),
        "");
    EXPECT_TRUE(p.h.backend.QuitPosted());
    EXPECT_EQ(p.h.backend.ExitCode(), 18);
  }
}

}  // namespace
