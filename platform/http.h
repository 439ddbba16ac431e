#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The step at which a request failed, for callers that report each differently.
enum class HttpFailure { None, Session, OpenUrl, CreateFile, Transfer };

struct HttpResult {
  bool ok = false;
  int status = 0;                           // HTTP status when a reply arrived
  int errorCode = 0;                        // transport error number when none did
  std::string body;                         // reply bytes as received
  HttpFailure failure = HttpFailure::None;  // set when !ok
};

struct DownloadOptions {
  std::string userAgent;
  int connectTimeoutMs = 30000;
  int receiveTimeoutMs = 30000;
  int totalTimeoutMs = 0;  // the whole request, connecting included; 0 for no limit
  bool useProxy = true;    // the system's proxy settings; false goes direct
  bool noCache = true;
  bool keepAlive = true;
  // Get only: a body longer than this fails the request like one cut short
  // (HttpFailure::Transfer); 0 for no limit.
  std::size_t maxBodyBytes = 0;
  std::string extraHeaders;  // "Name: value\r\n" lines
};

// True for an http:// or https:// address, letter case ignored. Nothing else
// is requested, redirects included: an address found in a page must not reach
// local files or other protocols.
inline bool IsWebUrl(std::string_view url) {
  auto startsWithNoCase = [&](std::string_view scheme) {
    if (url.size() < scheme.size()) return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
      char c = url[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != scheme[i]) return false;
    }
    return true;
  };
  return startsWithNoCase("http://") || startsWithNoCase("https://");
}

class Http {
 public:
  virtual ~Http() = default;
  // One GET; the whole reply body in memory.
  virtual HttpResult Get(const std::string& url, const DownloadOptions& options) = 0;
  // One GET written to a file path (GBK); only a complete body is kept, and a
  // file already at the path is replaced only by one. An error status fails.
  virtual HttpResult Download(const std::string& url, const std::string& path,
                              const DownloadOptions& options) = 0;
};

}  // namespace platform
