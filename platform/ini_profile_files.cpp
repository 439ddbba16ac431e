#include "platform/ini_profile_files.h"

#include "platform/ini_file.h"

namespace platform {

int IniProfileFiles::GetInt(const std::string& section, const std::string& key, int defaultValue,
                            const std::string& path) {
  return ini::ReadInt(files_.ReadFile(path).value_or(std::string()), section, key, defaultValue);
}

std::string IniProfileFiles::GetString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue, unsigned bufferSize,
                                       const std::string& path) {
  return ini::ReadString(files_.ReadFile(path).value_or(std::string()), section, key, defaultValue,
                         bufferSize);
}

bool IniProfileFiles::WriteString(const std::string& section, const std::string& key,
                                  const std::string& value, const std::string& path) {
  std::optional<std::string> content = files_.ReadFile(path);
  // A file that is there but cannot be read is left alone rather than replaced.
  if (!content && files_.Exists(path)) return false;
  const std::optional<std::string> updated =
      ini::WithValue(content.value_or(std::string()), section, key, value);
  return updated && files_.WriteFileAtomic(path, *updated);
}

}  // namespace platform
