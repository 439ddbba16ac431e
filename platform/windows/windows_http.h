#pragma once
#include "platform/http.h"

namespace platform::windows {

// HTTP GET through WinInet, with the system's proxy settings.
class WindowsHttp : public Http {
 public:
  HttpResult Get(const std::string& url, const DownloadOptions& options) override;
  HttpResult Download(const std::string& url, const std::string& path,
                      const DownloadOptions& options) override;
};

}  // namespace platform::windows
