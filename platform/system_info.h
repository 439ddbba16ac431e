#pragma once

namespace platform {

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // Windows major version (GetVersionExA). Other systems answer a value that
  // counts as a current Windows (10).
  virtual int OsMajorVersion() = 0;
};

}  // namespace platform
