#pragma once
#include <memory>
#include <string>

namespace platform {

// One profile file read once, answering several reads of it as the single
// calls below would: a large or damaged file then costs one reading, not one
// per key.
class ProfileReader {
 public:
  virtual ~ProfileReader() = default;
  virtual int GetInt(const std::string& section, const std::string& key, int defaultValue) = 0;
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& defaultValue, unsigned bufferSize) = 0;
};

// Windows profile (ini) files with the semantics of GetPrivateProfileIntA,
// GetPrivateProfileStringA and WritePrivateProfileStringA. Paths, sections,
// keys and values are GBK bytes. Anything at the path that is not a regular
// file (a folder, a pipe, a device) reads as a missing file.
class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;
  virtual int GetInt(const std::string& section, const std::string& key, int defaultValue,
                     const std::string& path) = 0;
  // The result is cut to bufferSize - 1 bytes, as the Windows function does.
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& defaultValue, unsigned bufferSize,
                                const std::string& path) = 0;
  // For reading several keys of one file; the file is read here, once.
  virtual std::unique_ptr<ProfileReader> Read(const std::string& path) = 0;
  // Creates the file (not its folder); false when the write failed.
  virtual bool WriteString(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& path) = 0;
};

}  // namespace platform
