#include "platform/linux/linux_autostart.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/text_codec.h"

namespace platform::linuxos {

namespace fs = std::filesystem;

namespace {

// A string value of a desktop entry: backslash and control characters escaped.
std::string EscapeValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// One argument of an Exec line: in double quotes, with the characters the
// quoting reserves escaped, and "%" doubled so it is no field code.
std::string QuoteArgument(const std::string& argument) {
  std::string out = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  return out + "\"";
}

std::string LowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

std::string DesktopEntryText(const std::string& name, const std::string& programPath) {
  const std::string folder = fs::path(programPath).parent_path().string();
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=" +
         EscapeValue(name) +
         "\n"
         "Exec=" +
         EscapeValue(QuoteArgument(programPath)) +
         "\n"
         "Path=" +
         EscapeValue(folder.empty() ? "/" : folder) +
         "\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

std::string LinuxAutostart::EntryPath(const std::string& name) const {
  std::string home = configHome_;
  if (home.empty()) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* user = std::getenv("HOME");
    // A relative XDG_CONFIG_HOME is invalid and to be ignored.
    if (xdg && xdg[0] == '/') {
      home = xdg;
    } else if (user && *user) {
      home = std::string(user) + "/.config";
    } else {
      return {};
    }
  }
  return (fs::path(home) / "autostart" / (LowerCase(name) + ".desktop")).string();
}

bool LinuxAutostart::Set(const std::string& name, const std::string& commandLine) {
  const std::string path = EntryPath(name);
  const std::string program = text::GbkToUtf8(commandLine);
  if (path.empty() || program.empty()) return false;
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  if (ec) return false;
  // Written beside the entry and renamed over it: a session starting now sees
  // the old entry or the new one, never half of one.
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << DesktopEntryText(name, program);
    out.close();
    if (!out) {
      fs::remove(temp, ec);
      return false;
    }
  }
  fs::rename(temp, path, ec);
  if (ec) fs::remove(temp, ec);
  return !ec;
}

bool LinuxAutostart::Remove(const std::string& name) {
  const std::string path = EntryPath(name);
  if (path.empty()) return false;
  std::error_code ec;
  fs::remove(path, ec);  // an entry that is not there is removed already
  return !ec;
}

}  // namespace platform::linuxos
