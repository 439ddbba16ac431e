#pragma once
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/profile.h"

namespace tools {

enum class ToolKind { Replace, Download, Extract };

struct ToolSettingKey {
  const char* key;
  bool isCheckBox;  // stored as "1" or "0", read as a number
};

// The keys of a tool in the order they are written.
std::span<const ToolSettingKey> ToolSettingKeys(ToolKind tool);
const char* ToolSettingsFileName(ToolKind tool);

// Values by key, GBK. Check boxes hold "1" or "0".
class ToolSettings {
 public:
  std::string Get(std::string_view key) const;
  bool Checked(std::string_view key) const { return Get(key) == "1"; }
  void Set(std::string_view key, std::string value) {
    values_[std::string(key)] = std::move(value);
  }
  void SetChecked(std::string_view key, bool on) { Set(key, on ? "1" : "0"); }

 private:
  std::map<std::string, std::string, std::less<>> values_;
};

// One tool's settings file, section "Settings", in the "config" folder beside
// the executable.
class ToolSettingsFile {
 public:
  ToolSettingsFile(platform::FileSystem& files, platform::ProfileFiles& profiles, ToolKind tool)
      : files_(files), profiles_(profiles), tool_(tool) {}

  std::string Path();
  // nullopt when there is no file (the page then keeps its defaults). Texts
  // keep at most 259 bytes.
  std::optional<ToolSettings> Load();
  // Creates the folder (one level) and writes every key of the tool; failures
  // are ignored, as a settings write never stops a run.
  void Save(const ToolSettings& settings);

 private:
  std::string Folder();

  platform::FileSystem& files_;
  platform::ProfileFiles& profiles_;
  ToolKind tool_;
};

}  // namespace tools
