#include "platform/linux/linux_shell.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/linux/linux_spawn.h"
#include "platform/text_codec.h"

namespace platform::linuxos {

namespace {

struct StandIn {
  const char* windowsName;
  std::vector<const char*> candidates;  // in order of preference
};

// Debian's alternatives first (the desktop's choice), then the common desktops' own.
const std::vector<StandIn>& StandIns() {
  static const std::vector<StandIn> table = {
      {"notepad",
       {"gnome-text-editor", "gedit", "kwrite", "kate", "mousepad", "pluma", "xed", "leafpad",
        "featherpad", "editor"}},
      {"calc", {"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk", "xcalc"}},
      {"cmd.exe",
       {"x-terminal-emulator", "gnome-terminal", "konsole", "xfce4-terminal", "mate-terminal",
        "lxterminal", "xterm"}},
  };
  return table;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string dirs = path;
  for (std::size_t start = 0; start <= dirs.size();) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = dirs.substr(start, end - start);
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::string DesktopStandIn(const std::string& windowsProgram) {
  std::string name = Lower(windowsProgram);
  for (const StandIn& s : StandIns()) {
    const std::string base = s.windowsName;
    const bool exe = base.size() > 4 && base.compare(base.size() - 4, 4, ".exe") == 0;
    const std::string stem = exe ? base.substr(0, base.size() - 4) : base;
    if (name != stem && name != stem + ".exe") continue;
    for (const char* candidate : s.candidates) {
      if (OnPath(candidate)) return candidate;
    }
    return {};
  }
  return {};
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> args;
  std::string current;
  bool inQuotes = false;
  bool started = false;
  for (char c : commandLine) {
    if (c == '"') {
      inQuotes = !inQuotes;
      started = true;
    } else if ((c == ' ' || c == '\t') && !inQuotes) {
      if (started) args.push_back(current);
      current.clear();
      started = false;
    } else {
      current += c;
      started = true;
    }
  }
  if (started) args.push_back(current);
  return args;
}

bool LinuxShell::Open(const std::string& target, const std::string& parameters) {
  const std::string utf8 = text::GbkToUtf8(target);
  if (utf8.empty()) return false;
  // A Windows accessory by its bare name: the desktop's own, or nothing.
  if (utf8.find('/') == std::string::npos) {
    const std::string standIn = DesktopStandIn(utf8);
    if (!standIn.empty()) return StartDetached({standIn});
  }
  const bool isAddress = utf8.find("://") != std::string::npos;
  // A missing file fails here, quietly, rather than in a handler's error window.
  struct stat info {};
  if (!isAddress && stat(utf8.c_str(), &info) != 0) return false;

  if (!parameters.empty() && !isAddress && (info.st_mode & S_IXUSR) && S_ISREG(info.st_mode)) {
    std::vector<std::string> argv = {utf8};
    for (const std::string& arg : SplitCommandLine(text::GbkToUtf8(parameters))) {
      argv.push_back(arg);
    }
    return StartDetached(argv);
  }
  return StartDetached({"xdg-open", utf8});
}

bool LinuxShell::Exec(const std::string& commandLine) {
  std::vector<std::string> argv = SplitCommandLine(text::GbkToUtf8(commandLine));
  if (argv.empty()) return false;
  if (argv[0].find('/') == std::string::npos) {
    const std::string standIn = DesktopStandIn(argv[0]);
    if (!standIn.empty()) argv[0] = standIn;
  }
  return StartDetached(argv);
}

}  // namespace platform::linuxos
