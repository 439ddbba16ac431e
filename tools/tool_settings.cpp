#include "tools/tool_settings.h"

#include <memory>

namespace tools {
namespace {

constexpr const char* kSection = "Settings";
constexpr unsigned kValueBuffer = 260;

constexpr ToolSettingKey kReplaceKeys[] = {
    {"fileadd", false},    {"fileformat", false},    {"tihuanmoshi", false},
    {"guanjianci", false}, {"endguanjianci", false}, {"tihuanneirong", false},
};

constexpr ToolSettingKey kDownloadKeys[] = {
    {"fileadd", false},     {"fileformat", false}, {"downfileadd", false},
    {"xiazaimoshi", false}, {"guanjianci", false}, {"endguanjianci", false},
    {"pinurl", false},      {"jiangetime", false}, {"checkduplicate", true},
};

constexpr ToolSettingKey kExtractKeys[] = {
    {"fileadd", false},      {"fileformat", false}, {"startsign1", false},
    {"endsign1", false},     {"startsign2", false}, {"endsign2", false},
    {"startsign3", false},   {"endsign3", false},   {"startsign4", false},
    {"endsign4", false},     {"montage", false},    {"savefileadd", false},
    {"savefilename", false}, {"contain", true},     {"checkduplicate", true},
    {"eachiden", true},      {"autoline", true},    {"eachfile", true},
};

}  // namespace

std::span<const ToolSettingKey> ToolSettingKeys(ToolKind tool) {
  switch (tool) {
    case ToolKind::Replace:
      return kReplaceKeys;
    case ToolKind::Download:
      return kDownloadKeys;
    case ToolKind::Extract:
      return kExtractKeys;
  }
  return {};
}

const char* ToolSettingsFileName(ToolKind tool) {
  switch (tool) {
    case ToolKind::Replace:
      return "Pitihuan.ini";
    case ToolKind::Download:
      return "Pidownload.ini";
    case ToolKind::Extract:
      return "Pijiequ.ini";
  }
  return "";
}

std::string ToolSettings::Get(std::string_view key) const {
  auto it = values_.find(key);
  return it == values_.end() ? std::string() : it->second;
}

std::string ToolSettingsFile::Folder() {
  return files_.ExecutableDirectory() + files_.Separator() + "config";
}

std::string ToolSettingsFile::Path() {
  return Folder() + files_.Separator() + ToolSettingsFileName(tool_);
}

std::optional<ToolSettings> ToolSettingsFile::Load() {
  std::string path = Path();
  if (!files_.Exists(path) || files_.IsDirectory(path)) return std::nullopt;
  ToolSettings settings;
  const std::unique_ptr<platform::ProfileReader> file = profiles_.Read(path);
  for (const ToolSettingKey& key : ToolSettingKeys(tool_)) {
    if (key.isCheckBox) {
      settings.SetChecked(key.key, file->GetInt(kSection, key.key, 0) != 0);
    } else {
      settings.Set(key.key, file->GetString(kSection, key.key, "", kValueBuffer));
    }
  }
  return settings;
}

void ToolSettingsFile::Save(const ToolSettings& settings) {
  files_.CreateDirectory(Folder());
  std::string path = Path();
  for (const ToolSettingKey& key : ToolSettingKeys(tool_)) {
    std::string value =
        key.isCheckBox ? (settings.Checked(key.key) ? "1" : "0") : settings.Get(key.key);
    profiles_.WriteString(kSection, key.key, value, path);
  }
}

}  // namespace tools
