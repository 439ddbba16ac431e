#include "platform/sim/sim_http.h"

namespace platform::sim {

HttpResult SimHttp::Get(const std::string& url, const DownloadOptions& options) {
  log_.Record("http.get " + url);
  HttpResult result = Answer(url, options);
  // As the real clients do: a body past the limit ends the transfer.
  if (result.ok && options.maxBodyBytes > 0 && result.body.size() > options.maxBodyBytes) {
    result.ok = false;
    result.body.clear();
    result.failure = HttpFailure::Transfer;
  }
  return result;
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

void SimHttp::SetPathReply(const std::string& pathPrefix, HttpResult result) {
  std::lock_guard lock(mutex_);
  pathReplies_[pathPrefix] = std::move(result);
}

std::vector<std::string> SimHttp::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void SimHttp::ClearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

std::string SimHttp::PathOf(const std::string& url) {
  const std::size_t scheme = url.find("://");
  const std::size_t host = scheme == std::string::npos ? 0 : scheme + 3;
  const std::size_t path = url.find_first_of("/?#", host);
  if (path == std::string::npos) return "/";
  return url[path] == '/' ? url.substr(path) : "/" + url.substr(path);
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
    requests_.push_back(url);
    if (const auto it = replies_.find(url); it != replies_.end()) return it->second;
    // The map is ordered, so the last prefix that matches is the longest.
    const std::string path = PathOf(url);
    const HttpResult* best = nullptr;
    for (const auto& [prefix, result] : pathReplies_) {
      if (path.compare(0, prefix.size(), prefix) == 0) best = &result;
    }
    if (best) return *best;
    handler = handler_;
  }
  if (handler) return handler(url);
  HttpResult failed;
  failed.errorCode = kCannotConnect;
  failed.failure = HttpFailure::OpenUrl;
  return failed;
}

}  // namespace platform::sim
