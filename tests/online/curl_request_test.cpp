#include <gtest/gtest.h>

#include <memory>

#include "online/server_request.h"
#include "platform/files/std_file_system.h"
#include "platform/linux/curl_http.h"
#include "tests/platform/temp_dir.h"
#include "tests/tools/loopback_http_server.h"

namespace {

using Server = tools_test::LoopbackHttpServer;
using online::RequestFailure;

Server::Reply Route(const std::string& path) {
  Server::Reply reply;
  if (path == "/text") reply.body = "login111|1|\xC4\xE3\r\n|3|4";
  if (path == "/file") reply.body = std::string(300000, 'x');
  // All line feeds: the worst a reply can do to the lines it is split into.
  if (path == "/huge") reply.body = std::string(online::kMaxReplyBytes + 1, '\n');
  if (path == "/cut") {
    reply.body = "MZ-part";
    reply.promisedExtra = 5000;
  }
  if (path == "/missing") {
    reply.status = 404;
    reply.body = "<html>not here</html>";
  }
  return reply;
}

std::string UnreachableBase() {
  // A port that was just ours and now refuses.
  auto server = std::make_unique<Server>(Route);
  std::string base = server->Base();
  server.reset();
  return base;
}

TEST(CurlServerRequests, TextRepliesAndFailureKinds) {
  platform::CurlHttp http;
  Server server(Route);
  const online::TextReply reply = online::ServerTextRequest(http, server.Base() + "/text");
  ASSERT_TRUE(reply.ok());
  EXPECT_EQ(reply.Joined(), "login111|1|\xC4\xE3|3|4");
  ASSERT_FALSE(server.Requests().empty());
  EXPECT_NE(server.Requests().back().find("User-Agent: Orvane\r\n"), std::string::npos);

  EXPECT_EQ(online::ServerTextRequest(http, server.Base() + "/missing").failure,
            RequestFailure::NoFile);
  EXPECT_EQ(online::ServerTextRequest(http, server.Base() + "/cut").failure,
            RequestFailure::Exception);
  EXPECT_EQ(online::ServerTextRequest(http, server.Base() + "/huge").failure,
            RequestFailure::Exception)
      << "a reply past the limit is dropped, not held";
  EXPECT_EQ(online::ServerTextRequest(http, UnreachableBase() + "/text").failure,
            RequestFailure::Exception);
  EXPECT_EQ(online::ServerProbe(http, server.Base()), RequestFailure::None);
}

TEST(CurlServerRequests, DownloadKeptOnlyWhenWhole) {
  platform::CurlHttp http;
  platform::StdFileSystem files;
  Server server(Route);
  const std::string unreachable = UnreachableBase();
  struct Case {
    const char* name;
    std::string url;
    bool complete;
  } cases[] = {
      {"complete", server.Base() + "/file", true},
      {"cut short", server.Base() + "/cut", false},
      {"not found", server.Base() + "/missing", false},
      {"unreachable", unreachable + "/file", false},
  };
  for (const auto& c : cases) {
    testing_support::TempDir dir;
    const std::string target = dir / "DomainName.exe";
    EXPECT_EQ(online::ServerFileDownload(http, files, c.url, target), c.complete) << c.name;
    const auto kept = files.ReadFile(target);
    if (c.complete) {
      EXPECT_EQ(kept, std::string(300000, 'x')) << c.name;
    } else {
      EXPECT_FALSE(kept) << c.name;
    }
    EXPECT_EQ(files.List(dir.path())->size(), c.complete ? 1u : 0u) << c.name;
  }
  EXPECT_NE(server.Requests().front().find("User-Agent: dowll\r\n"), std::string::npos);
}

}  // namespace
