#pragma once
#include <functional>
#include <map>
#include <mutex>

#include "platform/file_system.h"
#include "platform/http.h"
#include "platform/sim/call_log.h"

namespace platform::sim {

// Scripted replies by exact URL, else from a handler, else a failed connection.
// "http.get <url>", "http.download <url> <path>". Safe to call from worker threads.
class SimHttp : public Http {
 public:
  using Handler = std::function<HttpResult(const std::string& url)>;
  // The WinInet error of a server that cannot be reached.
  static constexpr int kCannotConnect = 12029;

  SimHttp(CallLog& log, FileSystem& files) : log_(log), files_(files) {}
  HttpResult Get(const std::string& url, const DownloadOptions& options) override;
  HttpResult Download(const std::string& url, const std::string& path,
                      const DownloadOptions& options) override;

  void SetReply(const std::string& url, HttpResult result);
  // A 200 reply with that body.
  void SetReplyText(const std::string& url, const std::string& body);
  void SetHandler(Handler handler);
  DownloadOptions LastOptions() const;

 private:
  HttpResult Answer(const std::string& url, const DownloadOptions& options);

  CallLog& log_;
  FileSystem& files_;
  mutable std::mutex mutex_;
  std::map<std::string, HttpResult> replies_;
  Handler handler_;
  DownloadOptions lastOptions_;
};

}  // namespace platform::sim
