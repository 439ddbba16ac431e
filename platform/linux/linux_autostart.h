#pragma once
#include <string>

#include "platform/autostart.h"

namespace platform::linuxos {

// An XDG autostart entry, "<name in lower case>.desktop" in the autostart
// folder of the user's configuration ($XDG_CONFIG_HOME, else ~/.config). The
// command line is the program's path; the entry starts it with its own folder
// as the working directory, where its settings are.
class LinuxAutostart : public Autostart {
 public:
  // `configHome` empty: the user's, looked up at each call.
  explicit LinuxAutostart(std::string configHome = {}) : configHome_(std::move(configHome)) {}
  bool Set(const std::string& name, const std::string& commandLine) override;
  bool Remove(const std::string& name) override;

  // The entry's file (UTF-8); empty when there is no configuration folder.
  std::string EntryPath(const std::string& name) const;

 private:
  std::string configHome_;
};

// The desktop entry for a program path (UTF-8): its Exec line quotes the path,
// its Path line names the path's folder.
std::string DesktopEntryText(const std::string& name, const std::string& programPath);

}  // namespace platform::linuxos
