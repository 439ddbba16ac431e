#include "program/file_scenario_commands.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "app/services.h"
#include "platform/text_codec.h"

namespace {

using Ctx = ui::ScenarioContext;
using Cmd = ui::ScenarioCommand;

// Paths are written with "/"; the file system takes the system's own.
std::string SystemPath(const std::string& path) {
  std::string converted = path;
  const char separator = app::Services().files.Separator();
  for (char& c : converted) {
    if (c == '/') c = separator;
  }
  return converted;
}

// Makes the folders above a path, as a prepared file needs them.
void MakeFoldersOf(const std::string& path) {
  platform::FileSystem& files = app::Services().files;
  for (std::size_t at = path.find(files.Separator()); at != std::string::npos;
       at = path.find(files.Separator(), at + 1)) {
    if (at > 0) files.CreateDirectory(path.substr(0, at));
  }
}

}  // namespace

void AddFileScenarioCommands(ui::ScenarioRunner& runner) {
  runner.AddSetupCommand("file", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(2, "file \"PATH\" \"TEXT\"")) return false;
    const std::string path = SystemPath(cmd.args[0]);
    MakeFoldersOf(path);
    if (!app::Services().files.WriteFileAtomic(path, cmd.args[1])) {
      return ctx.Fail("cannot write " + Ctx::Show(cmd.args[0]));
    }
    return true;
  });
  runner.AddCommand("expect file", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(3, "expect file \"PATH\" \"TEXT\" [mark=utf8]")) return false;
    const std::optional<std::string> bytes =
        app::Services().files.ReadFile(SystemPath(cmd.args[1]));
    if (!bytes) return ctx.Fail("no file " + Ctx::Show(cmd.args[1]));
    // mark=utf8: the text follows the UTF-8 byte-order mark.
    const auto mark = cmd.options.find("mark");
    const bool utf8Mark = mark != cmd.options.end() && mark->second == "utf8";
    if (*bytes != (utf8Mark ? "\xEF\xBB\xBF" : "") + cmd.args[2]) {
      return ctx.Fail("the file holds " + Ctx::Show(*bytes));
    }
    return true;
  });
  runner.AddCommand("expect no-file", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(2, "expect no-file \"PATH\"")) return false;
    if (app::Services().files.Exists(SystemPath(cmd.args[1]))) {
      return ctx.Fail(Ctx::Show(cmd.args[1]) + " exists");
    }
    return true;
  });
  runner.AddCommand("expect file-mode", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(3, "expect file-mode \"PATH\" OCTAL")) return false;
#ifdef _WIN32
    (void)cmd;
    return true;  // the system keeps no such modes
#else
    const std::filesystem::path path(text::GbkToUtf8(cmd.args[1]));
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (ec) return ctx.Fail("no file " + Ctx::Show(cmd.args[1]));
    const unsigned mode = static_cast<unsigned>(status.permissions()) & 0777u;
    const unsigned want = static_cast<unsigned>(std::strtoul(cmd.args[2].c_str(), nullptr, 8));
    if (mode != want) {
      char seen[8];
      std::snprintf(seen, sizeof seen, "%03o", mode);
      return ctx.Fail(std::string("its mode is ") + seen);
    }
    return true;
#endif
  });
}
