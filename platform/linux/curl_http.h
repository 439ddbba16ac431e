#pragma once
#include "platform/http.h"

namespace platform {

// HTTP through libcurl: one easy handle per request, the system's proxy
// settings from the environment. Error numbers in results are libcurl's codes
// (errno where a local file could not be made).
class CurlHttp : public Http {
 public:
  CurlHttp();
  HttpResult Get(const std::string& url, const DownloadOptions& options) override;
  // Writes to a temporary file beside `path` and renames it on success, so a
  // failed or killed transfer never leaves a partial file under the final name.
  // An HTTP error status fails as an unopened URL; its body is not saved.
  HttpResult Download(const std::string& url, const std::string& path,
                      const DownloadOptions& options) override;
};

}  // namespace platform
