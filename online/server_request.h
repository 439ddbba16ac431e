#pragma once
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/http.h"

// The requests every online page makes of the vendor server: a text request
// whose reply lines the caller reads, a probe, and a file download.
namespace online {

// The two ways a request fails, which the pages report differently.
enum class RequestFailure {
  None,
  Exception,  // "网络异常": the server could not be reached or the exchange broke off
  NoFile,     // "联网失败": the server answered, but with nothing to read
};

// The common failure texts.
inline constexpr const char* kExceptionText = "网络异常";
inline constexpr const char* kNoFileText = "联网失败";
// The text for a failure kind; empty for None.
std::string FailureText(RequestFailure failure);

// Every request gives up when the server takes this long, so an unreachable
// server cannot hold the window indefinitely.
inline constexpr int kConnectTimeoutMs = 10000;
inline constexpr int kTotalTimeoutMs = 30000;

// A text reply is a few short fields; a body past this (a wrong address that
// streams a file, a broken server) fails like a cut reply instead of filling
// the memory. Generous for an advertisement page.
inline constexpr std::size_t kMaxReplyBytes = 8u << 20;

inline constexpr const char* kTextUserAgent = "Orvane";
inline constexpr const char* kDownloadUserAgent = "dowll";

struct TextReply {
  RequestFailure failure = RequestFailure::None;
  // The body split at each line feed, in order, without the line feed (nor a
  // carriage return before it); a last line without a line feed counts too.
  std::vector<std::string> lines;

  bool ok() const { return failure == RequestFailure::None; }
  // The lines appended with no separator: how most pages read a reply.
  std::string Joined() const;
};

// One GET of `url`; the reply lines or the failure kind.
TextReply ServerTextRequest(platform::Http& http, const std::string& url);

// Opens `url` and drops the reply: whether the server answers at all.
RequestFailure ServerProbe(platform::Http& http, const std::string& url);

// Downloads `url` to `target` (a GBK path). The body goes to a temporary name
// beside the target and replaces it only when the whole body arrived with a
// 2xx status; true then. Otherwise nothing is left under either name and an
// earlier file at `target` stays as it was.
[[nodiscard]] bool ServerFileDownload(platform::Http& http, platform::FileSystem& files,
                                      const std::string& url, const std::string& target);

// The reply lines of a body (exposed for the tests of the line rules).
std::vector<std::string> ReplyLines(const std::string& body);

}  // namespace online
