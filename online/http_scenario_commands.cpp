#include "online/http_scenario_commands.h"

#include <algorithm>
#include <string>
#include <vector>

namespace online {

namespace {

using Ctx = ui::ScenarioContext;
using Cmd = ui::ScenarioCommand;

constexpr const char* kHeadlessOnly = "the server is scripted only with --headless";

// A path ("/...") names an address on any host, with the query; anything
// else is a whole address.
bool SameAddress(const std::string& requested, const std::string& want) {
  if (!want.empty() && want[0] == '/') return platform::sim::SimHttp::PathOf(requested) == want;
  return requested == want;
}

std::string Listed(const std::vector<std::string>& requests) {
  std::string all;
  for (const auto& r : requests) all += "\n    " + Ctx::Show(r);
  return all.empty() ? " none" : all;
}

}  // namespace

void AddHttpScenarioCommands(ui::ScenarioRunner& runner, platform::sim::SimPlatform* sim) {
  runner.AddSetupCommand("server-reply", [sim](Ctx& ctx, const Cmd& cmd) {
    if (!sim) return ctx.Fail(kHeadlessOnly);
    if (cmd.args.size() != 2 || cmd.args[0].empty() || cmd.args[0][0] != '/') {
      return ctx.Fail("usage: server-reply \"/PATH\" \"TEXT\" [status=N]");
    }
    platform::HttpResult reply;
    reply.ok = true;
    reply.status = 200;
    reply.body = cmd.args[1];
    if (const auto it = cmd.options.find("status"); it != cmd.options.end()) {
      const auto status = ctx.Number(it->second);
      if (!status) return false;
      reply.status = static_cast<int>(*status);
    }
    sim->Http().SetPathReply(cmd.args[0], reply);
    return true;
  });
  runner.AddSetupCommand("server-fail", [sim](Ctx& ctx, const Cmd& cmd) {
    if (!sim) return ctx.Fail(kHeadlessOnly);
    if (cmd.args.size() != 2 || cmd.args[0].empty() || cmd.args[0][0] != '/') {
      return ctx.Fail("usage: server-fail \"/PATH\" exception|no-file|cut");
    }
    platform::HttpResult reply;
    const std::string& kind = cmd.args[1];
    if (kind == "exception") {
      // The server cannot be reached.
      reply.failure = platform::HttpFailure::OpenUrl;
      reply.errorCode = platform::sim::SimHttp::kCannotConnect;
    } else if (kind == "no-file") {
      // The server answers, but with an error page.
      reply.ok = true;
      reply.status = 404;
      reply.body = "<html><body>404 Not Found</body></html>";
    } else if (kind == "cut") {
      // The reply breaks off after it began.
      reply.status = 200;
      reply.failure = platform::HttpFailure::Transfer;
      reply.errorCode = 12030;
    } else {
      return ctx.Fail("a failure is exception, no-file or cut, not " + Ctx::Show(kind));
    }
    sim->Http().SetPathReply(cmd.args[0], reply);
    return true;
  });
  runner.AddCommand("expect request", [sim](Ctx& ctx, const Cmd& cmd) {
    if (!sim) return ctx.Fail(kHeadlessOnly);
    if (cmd.args.size() < 2 || cmd.args.size() > 3) {
      return ctx.Fail("usage: expect request \"ADDRESS\" [COUNT]");
    }
    const auto requests = sim->Http().Requests();
    const long long seen = std::count_if(requests.begin(), requests.end(), [&](const auto& r) {
      return SameAddress(r, cmd.args[1]);
    });
    if (cmd.args.size() == 3) {
      const auto want = ctx.Number(cmd.args[2]);
      if (!want) return false;
      if (seen == *want) return true;
      return ctx.Fail(Ctx::Show(cmd.args[1]) + " requested " + std::to_string(seen) +
                      " times; requests made:" + Listed(requests));
    }
    if (seen > 0) return true;
    return ctx.Fail("no request " + Ctx::Show(cmd.args[1]) + "; requests made:" + Listed(requests));
  });
  runner.AddCommand("expect no-request", [sim](Ctx& ctx, const Cmd& cmd) {
    if (!sim) return ctx.Fail(kHeadlessOnly);
    if (cmd.args.size() != 2 || cmd.args[1].empty() || cmd.args[1][0] != '/') {
      return ctx.Fail("usage: expect no-request \"/PATH\"");
    }
    for (const auto& r : sim->Http().Requests()) {
      if (platform::sim::SimHttp::PathOf(r).compare(0, cmd.args[1].size(), cmd.args[1]) == 0) {
        return ctx.Fail("request made: " + Ctx::Show(r));
      }
    }
    return true;
  });
  runner.AddCommand("clear-requests", [sim](Ctx& ctx, const Cmd&) {
    if (!sim) return ctx.Fail(kHeadlessOnly);
    sim->Http().ClearRequests();
    return true;
  });
}

}  // namespace online
