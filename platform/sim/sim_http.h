#pragma once
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/http.h"
#include "platform/sim/call_log.h"

namespace platform::sim {

// Scripted replies by exact URL, else by the longest scripted path prefix,
// else from a handler, else a failed connection. Records "http.get <url>" and
// "http.download <url> <path>" in the log, and every address requested.
// Safe to call from worker threads.
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
  // Answers every address whose path (from the first "/" after the host,
  // query included; "/" for a bare host) starts with `pathPrefix`.
  void SetPathReply(const std::string& pathPrefix, HttpResult result);
  void SetHandler(Handler handler);
  DownloadOptions LastOptions() const;
  // Every address asked for, in order, until ClearRequests.
  std::vector<std::string> Requests() const;
  void ClearRequests();

  // The path of an address, as SetPathReply matches it.
  static std::string PathOf(const std::string& url);

 private:
  HttpResult Answer(const std::string& url, const DownloadOptions& options);

  CallLog& log_;
  FileSystem& files_;
  mutable std::mutex mutex_;
  std::map<std::string, HttpResult> replies_;
  std::map<std::string, HttpResult> pathReplies_;
  std::vector<std::string> requests_;
  Handler handler_;
  DownloadOptions lastOptions_;
};

}  // namespace platform::sim
