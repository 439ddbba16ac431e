#pragma once
#include <string>

namespace platform {

// The step at which a request failed, for callers that report each differently.
enum class HttpFailure { None, Session, OpenUrl, CreateFile, Transfer };

struct HttpResult {
  bool ok = false;
  int status = 0;      // HTTP status when a reply arrived
  int errorCode = 0;   // transport error number when none did
  std::string body;    // reply bytes as received
  HttpFailure failure = HttpFailure::None;  // set when !ok
};

struct DownloadOptions {
  std::string userAgent;
  int connectTimeoutMs = 30000;
  int receiveTimeoutMs = 30000;
  bool noCache = true;
  bool keepAlive = true;
  std::string extraHeaders;  // "Name: value\r\n" lines
};

class Http {
 public:
  virtual ~Http() = default;
  // One GET; the whole reply body in memory.
  virtual HttpResult Get(const std::string& url, const DownloadOptions& options) = 0;
  // One GET written to a file path (GBK); only a complete body is kept.
  virtual HttpResult Download(const std::string& url, const std::string& path,
                              const DownloadOptions& options) = 0;
};

}  // namespace platform
