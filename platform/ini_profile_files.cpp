#include "platform/ini_profile_files.h"

#include <utility>

#include "platform/ini_file.h"

namespace platform {

namespace {

class IniProfileReader : public ProfileReader {
 public:
  explicit IniProfileReader(std::string content)
      : content_(std::move(content)), document_(content_) {}

  int GetInt(const std::string& section, const std::string& key, int defaultValue) override {
    return document_.ReadInt(section, key, defaultValue);
  }
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, unsigned bufferSize) override {
    return document_.ReadString(section, key, defaultValue, bufferSize);
  }

 private:
  const std::string content_;
  const ini::Document document_;  // views into content_
};

}  // namespace

int IniProfileFiles::GetInt(const std::string& section, const std::string& key, int defaultValue,
                            const std::string& path) {
  return Read(path)->GetInt(section, key, defaultValue);
}

std::string IniProfileFiles::GetString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue, unsigned bufferSize,
                                       const std::string& path) {
  return Read(path)->GetString(section, key, defaultValue, bufferSize);
}

std::unique_ptr<ProfileReader> IniProfileFiles::Read(const std::string& path) {
  return std::make_unique<IniProfileReader>(files_.ReadFile(path).value_or(std::string()));
}

bool IniProfileFiles::WriteString(const std::string& section, const std::string& key,
                                  const std::string& value, const std::string& path) {
  std::optional<std::string> content = files_.ReadFile(path);
  // A file that is there but cannot be read (or is no regular file) is left
  // alone rather than replaced.
  if (!content && files_.Exists(path)) return false;
  const std::optional<std::string> updated =
      ini::WithValue(content.value_or(std::string()), section, key, value);
  return updated && files_.WriteFileAtomic(path, *updated);
}

}  // namespace platform
