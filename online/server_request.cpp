#include "online/server_request.h"

#include "online/server_text.h"

namespace online {

namespace {

// Both kinds of request give up after the same times.
platform::DownloadOptions Options(const char* userAgent) {
  platform::DownloadOptions options;
  options.userAgent = userAgent;
  options.connectTimeoutMs = kConnectTimeoutMs;
  options.receiveTimeoutMs = kTotalTimeoutMs;
  options.totalTimeoutMs = kTotalTimeoutMs;
  options.noCache = false;
  options.keepAlive = false;
  return options;
}

platform::DownloadOptions TextOptions() {
  platform::DownloadOptions options = Options(kTextUserAgent);
  options.maxBodyBytes = kMaxReplyBytes;
  return options;
}

// How a platform outcome reads to the pages. Exception: no session, no reply
// at all (host unknown, connection refused, time-out, TLS failure) or a reply
// cut short. No file: the server answered with a status outside 2xx, whose
// body is an error page rather than a reply code; reading it as one would
// offer an update to "version" <html> or download from such an address.
RequestFailure Classify(const platform::HttpResult& result) {
  if (!result.ok) {
    // Only a refused status ends a transfer as an unopened address with a
    // status; everything else that fails is the network's doing.
    if (result.failure == platform::HttpFailure::OpenUrl && result.status != 0) {
      return RequestFailure::NoFile;
    }
    return RequestFailure::Exception;
  }
  if (result.status < 200 || result.status > 299) return RequestFailure::NoFile;
  return RequestFailure::None;
}

}  // namespace

std::string FailureText(RequestFailure failure) {
  switch (failure) {
    case RequestFailure::Exception:
      return kExceptionText;
    case RequestFailure::NoFile:
      return kNoFileText;
    case RequestFailure::None:
      break;
  }
  return {};
}

std::string TextReply::Joined() const {
  return JoinLines(lines);
}

std::vector<std::string> ReplyLines(const std::string& body) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < body.size()) {
    std::size_t end = body.find('\n', start);
    const std::size_t next = end == std::string::npos ? body.size() : end + 1;
    if (end == std::string::npos) end = body.size();
    std::size_t length = end - start;
    if (next != end && length > 0 && body[end - 1] == '\r') --length;
    lines.push_back(body.substr(start, length));
    start = next;
  }
  return lines;
}

TextReply ServerTextRequest(platform::Http& http, const std::string& url) {
  const platform::HttpResult result = http.Get(url, TextOptions());
  TextReply reply;
  reply.failure = Classify(result);
  if (reply.ok()) reply.lines = ReplyLines(result.body);
  return reply;
}

RequestFailure ServerProbe(platform::Http& http, const std::string& url) {
  return Classify(http.Get(url, TextOptions()));
}

bool ServerFileDownload(platform::Http& http, platform::FileSystem& files, const std::string& url,
                        const std::string& target) {
  // Always fetched afresh, and straight from the server.
  platform::DownloadOptions options = Options(kDownloadUserAgent);
  options.noCache = true;
  options.useProxy = false;
  const std::string partial = target + ".download";
  const platform::HttpResult result = http.Download(url, partial, options);
  if (Classify(result) == RequestFailure::None && files.Rename(partial, target)) return true;
  files.Remove(partial);
  return false;
}

}  // namespace online
