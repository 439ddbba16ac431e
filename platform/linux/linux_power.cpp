#include "platform/linux/linux_power.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/linux_spawn.h"

namespace platform::linuxos {

namespace {

// One way of asking. When `busName` is set, the way applies only while that
// name is on the session bus (the user's desktop session manager). A way that
// applies decides: its refusal ends the request, so a refusal is never
// worked around by a blunter way further down.
struct Way {
  const char* busName;
  std::vector<std::string> argv;
};

bool SessionBusHas(const char* name) {
  const std::optional<RunResult> r =
      RunAndWait({"gdbus", "call", "--session", "--timeout", "5", "--dest", "org.freedesktop.DBus",
                  "--object-path", "/org/freedesktop/DBus", "--method",
                  "org.freedesktop.DBus.NameHasOwner", name},
                 8000, true);
  return r && r->exitCode == 0 && r->output.find("true") != std::string::npos;
}

std::vector<Way> PowerWays(bool reboot) {
  const std::string verb = reboot ? "reboot" : "poweroff";
  const std::string method = reboot ? "Reboot" : "PowerOff";
  return {
      // logind through systemctl; inhibitors are checked even though we have no terminal.
      {nullptr, {"systemctl", verb, "--check-inhibitors=yes"}},
      // logind directly, not interactive (no password prompt).
      {nullptr,
       {"busctl", "call", "org.freedesktop.login1", "/org/freedesktop/login1",
        "org.freedesktop.login1.Manager", method, "b", "false"}},
  };
}

std::vector<Way> LogOffWays() {
  std::vector<Way> ways = {
      // Session managers log out the way their own menu does, minus the
      // confirmation; applications may still hold the log-out up.
      {"org.gnome.SessionManager",
       {"gdbus", "call", "--session", "--timeout", "10", "--dest", "org.gnome.SessionManager",
        "--object-path", "/org/gnome/SessionManager", "--method", "org.gnome.SessionManager.Logout",
        "1"}},
      {"org.kde.ksmserver",
       {"gdbus", "call", "--session", "--timeout", "10", "--dest", "org.kde.ksmserver",
        "--object-path", "/KSMServer", "--method", "org.kde.KSMServerInterface.logout", "0", "0",
        "0"}},
      {"org.xfce.SessionManager",
       {"gdbus", "call", "--session", "--timeout", "10", "--dest", "org.xfce.SessionManager",
        "--object-path", "/org/xfce/SessionManager", "--method", "org.xfce.Session.Manager.Logout",
        "false", "true"}},
  };
  // Without a session manager: ask logind to end this session.
  const char* session = std::getenv("XDG_SESSION_ID");
  ways.push_back(
      {nullptr, {"loginctl", "terminate-session", session && *session ? session : "self"}});
  return ways;
}

}  // namespace

bool LinuxPower::Request(PowerAction action) {
  const std::vector<Way> ways =
      action == PowerAction::LogOff ? LogOffWays() : PowerWays(action == PowerAction::Restart);
  for (const Way& way : ways) {
    if (way.busName && !SessionBusHas(way.busName)) continue;
    const std::optional<RunResult> result = RunAndWait(way.argv, 30000);
    if (!result) continue;  // the tool is not installed: try the next way
    return result->exitCode == 0;
  }
  return false;  // no way of asking exists on this machine
}

}  // namespace platform::linuxos
