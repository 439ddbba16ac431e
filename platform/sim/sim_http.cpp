#include "platform/sim/sim_http.h"

namespace platform::sim {

HttpResult SimHttp::Get(const std::string& url, const DownloadOptions& options) {
  log_.Record("http.get " + url);
  return Answer(url, options);
}

HttpResult SimHttp::Download(const std::string& url, const std::string& path,
                             const DownloadOptions& options) {
  log_.Record("http.download " + url + " " + path);
  HttpResult result = Answer(url, options);
  // Only a complete reply reaches the file.
  if (result.ok && !files_.WriteFileAtomic(path, result.body)) {
    result.ok = false;
    result.failure = HttpFailure::CreateFile;
  }
  return result;
}

void SimHttp::SetReply(const std::string& url, HttpResult result) {
  std::lock_guard lock(mutex_);
  replies_[url] = std::move(result);
}

void SimHttp::SetReplyText(const std::string& url, const std::string& body) {
  SetReply(url, HttpResult{true, 200, 0, body});
}

void SimHttp::SetHandler(Handler handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
}

DownloadOptions SimHttp::LastOptions() const {
  std::lock_guard lock(mutex_);
  return lastOptions_;
}

HttpResult SimHttp::Answer(const std::string& url, const DownloadOptions& options) {
  Handler handler;
  {
    std::lock_guard lock(mutex_);
    lastOptions_ = options;
    if (const auto it = replies_.find(url); it != replies_.end()) return it->second;
    handler = handler_;
  }
  if (handler) return handler(url);
  HttpResult failed;
  failed.errorCode = kCannotConnect;
  failed.failure = HttpFailure::OpenUrl;
  return failed;
}

}  // namespace platform::sim
