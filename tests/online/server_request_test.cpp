#include "online/server_request.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"
#include "tests/platform/temp_dir.h"

namespace {

using online::RequestFailure;

platform::HttpResult Reply(int status, const std::string& body) {
  platform::HttpResult result;
  result.ok = true;
  result.status = status;
  result.body = body;
  return result;
}

platform::HttpResult Failed(platform::HttpFailure failure, int status = 0) {
  platform::HttpResult result;
  result.failure = failure;
  result.status = status;
  result.errorCode = 7;
  return result;
}

TEST(ServerTextRequest, HandsOverTheLinesInOrder) {
  struct Case {
    const char* name;
    std::string body;
    std::vector<std::string> lines;
  } cases[] = {
      {"code on one line, fields on the next", "login111|1\n|nick|", {"login111|1", "|nick|"}},
      {"carriage returns dropped", "task111\r\n", {"task111"}},
      {"empty lines kept", "a\n\nb", {"a", "", "b"}},
      {"a lone carriage return stays", "a\rb", {"a\rb"}},
      {"empty body", "", {}},
  };
  for (const auto& c : cases) {
    platform::sim::SimPlatform sim;
    sim.Http().SetReply("http://h/q", Reply(200, c.body));
    const online::TextReply reply = online::ServerTextRequest(sim.Get().http, "http://h/q");
    ASSERT_TRUE(reply.ok()) << c.name;
    EXPECT_EQ(reply.lines, c.lines) << c.name;
  }
  platform::sim::SimPlatform sim;
  sim.Http().SetReply("http://h/q", Reply(200, "login111|1|\xC4\xE3\r\n|3|4\n"));
  EXPECT_EQ(online::ServerTextRequest(sim.Get().http, "http://h/q").Joined(),
            "login111|1|\xC4\xE3|3|4");
  EXPECT_EQ(sim.Http().LastOptions().userAgent, "Orvane");
  EXPECT_EQ(sim.Http().LastOptions().connectTimeoutMs, 10000);
  EXPECT_EQ(sim.Http().LastOptions().totalTimeoutMs, 30000);
}

TEST(ServerTextRequest, KeepsTheTwoFailureKindsApart) {
  struct Case {
    const char* name;
    platform::HttpResult result;
    RequestFailure failure;
  } cases[] = {
      {"no session", Failed(platform::HttpFailure::Session), RequestFailure::Exception},
      {"unreachable", Failed(platform::HttpFailure::OpenUrl), RequestFailure::Exception},
      {"cut short", Failed(platform::HttpFailure::Transfer, 200), RequestFailure::Exception},
      {"not found", Reply(404, "<html>404</html>"), RequestFailure::NoFile},
      {"server error", Reply(500, "oops"), RequestFailure::NoFile},
      {"refused status", Failed(platform::HttpFailure::OpenUrl, 403), RequestFailure::NoFile},
      {"no content", Reply(204, ""), RequestFailure::None},
  };
  for (const auto& c : cases) {
    platform::sim::SimPlatform sim;
    sim.Http().SetReply("http://h/q", c.result);
    const online::TextReply reply = online::ServerTextRequest(sim.Get().http, "http://h/q");
    EXPECT_EQ(reply.failure, c.failure) << c.name;
    if (!reply.ok()) {
      EXPECT_TRUE(reply.lines.empty()) << c.name;
    }
    EXPECT_EQ(online::ServerProbe(sim.Get().http, "http://h/q"), c.failure) << c.name;
  }
  EXPECT_EQ(online::FailureText(RequestFailure::Exception), "网络异常");
  EXPECT_EQ(online::FailureText(RequestFailure::NoFile), "联网失败");
  EXPECT_EQ(online::FailureText(RequestFailure::None), "");
}

TEST(ServerFileDownload, KeepsOnlyAWholeSuccessfulBody) {
  struct Case {
    const char* name;
    platform::HttpResult result;
    bool complete;
  } cases[] = {
      {"complete", Reply(200, "MZ-body"), true},
      {"not found", Reply(404, "<html>404</html>"), false},
      {"cut short", Failed(platform::HttpFailure::Transfer, 200), false},
      {"unreachable", Failed(platform::HttpFailure::OpenUrl), false},
  };
  for (const auto& c : cases) {
    testing_support::TempDir dir;
    platform::sim::SimPlatform sim;
    const std::string target = dir / "DravoUP.exe";
    ASSERT_TRUE(sim.Files().WriteFileAtomic(target, "old"));
    sim.Http().SetReply("http://h/f", c.result);
    EXPECT_EQ(online::ServerFileDownload(sim.Get().http, sim.Files(), "http://h/f", target),
              c.complete)
        << c.name;
    EXPECT_EQ(sim.Files().ReadFile(target), c.complete ? "MZ-body" : "old") << c.name;
    EXPECT_EQ(sim.Files().List(dir.path())->size(), 1u) << c.name << ": a partial file stayed";
    EXPECT_EQ(sim.Http().LastOptions().userAgent, "dowll");
  }
}

}  // namespace
