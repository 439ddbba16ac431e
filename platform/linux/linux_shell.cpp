#include "platform/linux/linux_shell.h"

#include <sys/stat.h>

#include "platform/linux/linux_spawn.h"
#include "platform/text_codec.h"

namespace platform::linuxos {

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
  const std::vector<std::string> argv = SplitCommandLine(text::GbkToUtf8(commandLine));
  if (argv.empty()) return false;
  return StartDetached(argv);
}

}  // namespace platform::linuxos
