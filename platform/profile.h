#pragma once
#include <string>

namespace platform {

// Windows profile (ini) files with the semantics of GetPrivateProfileIntA,
// GetPrivateProfileStringA and WritePrivateProfileStringA. Paths, sections,
// keys and values are GBK bytes.
class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;
  virtual int GetInt(const std::string& section, const std::string& key, int defaultValue,
                     const std::string& path) = 0;
  // The result is cut to bufferSize - 1 bytes, as the Windows function does.
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& defaultValue, unsigned bufferSize,
                                const std::string& path) = 0;
  // Creates the file (not its folder); false when the write failed.
  virtual bool WriteString(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& path) = 0;
};

}  // namespace platform
