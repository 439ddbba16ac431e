#pragma once
#include "platform/file_system.h"
#include "platform/profile.h"

namespace platform {

// Profile files read and written through the file system. Unlike the Windows
// functions, a write never leaves a torn file: the whole new text replaces the
// old one at once.
class IniProfileFiles : public ProfileFiles {
 public:
  explicit IniProfileFiles(FileSystem& files) : files_(files) {}

  int GetInt(const std::string& section, const std::string& key, int defaultValue,
             const std::string& path) override;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, unsigned bufferSize,
                        const std::string& path) override;
  std::unique_ptr<ProfileReader> Read(const std::string& path) override;
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path) override;

 private:
  FileSystem& files_;
};

}  // namespace platform
