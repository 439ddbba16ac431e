#include "platform/linux/curl_http.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <mutex>

#include "platform/text_codec.h"

namespace platform {
namespace {

struct EasyDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

HeaderList BuildHeaders(const DownloadOptions& options) {
  curl_slist* list = nullptr;
  auto add = [&](const std::string& line) {
    if (!line.empty()) list = curl_slist_append(list, line.c_str());
  };
  if (options.noCache) {
    add("Cache-Control: no-cache");
    add("Pragma: no-cache");
  }
  if (options.keepAlive) add("Connection: Keep-Alive");
  std::string lines = options.extraHeaders;
  for (std::size_t start = 0; start < lines.size();) {
    std::size_t end = lines.find("\r\n", start);
    if (end == std::string::npos) end = lines.size();
    add(lines.substr(start, end - start));
    start = end + 2;
  }
  return HeaderList(list);
}

// curl refuses a URL that holds a space or a control byte, where the system's
// web client sends it escaped; found URLs often hold spaces.
std::string EscapeUnsafe(const std::string& url) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(url.size());
  for (char c : url) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b == 0x7F) {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

void Configure(CURL* curl, const std::string& url, const DownloadOptions& options,
               curl_slist* headers) {
  curl_easy_setopt(curl, CURLOPT_URL, EscapeUnsafe(url).c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  // Web addresses only, redirects included (see IsWebUrl).
#if LIBCURL_VERSION_NUM >= 0x075500
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
#else
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS));
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS,
                   static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
  curl_easy_setopt(curl, CURLOPT_USERAGENT, options.userAgent.c_str());
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeoutMs));
  // A receive time-out: give up when nothing arrives for that long.
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME,
                   std::max(1L, static_cast<long>(options.receiveTimeoutMs / 1000)));
  if (options.totalTimeoutMs > 0) {
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeoutMs));
  }
  if (!options.useProxy) curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
}

long ResponseCode(CURL* curl) {
  long code = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
  return code;
}

struct BodyState {
  std::string* body;
  std::size_t maxBytes;  // 0 for no limit
};

// Returning less than was given ends the transfer with a write error.
size_t AppendToString(char* data, size_t size, size_t count, void* user) {
  auto* state = static_cast<BodyState*>(user);
  const std::size_t n = size * count;
  if (state->maxBytes > 0 && state->body->size() + n > state->maxBytes) return 0;
  state->body->append(data, n);
  return n;
}

// The body goes to a temporary file that is made on the first byte, so an
// unopened URL leaves nothing behind.
class PartFile {
 public:
  explicit PartFile(std::string target) : target_(std::move(target)) {}
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;
  ~PartFile() { Discard(); }

  bool Open() {
    if (fd_ >= 0) return true;
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
      temp_ = target_ + ".part" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
      fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0) return true;
      if (errno != EEXIST) break;
    }
    error_ = errno;
    temp_.clear();
    return false;
  }

  bool Write(const char* data, size_t size) {
    while (size > 0) {
      ssize_t n = ::write(fd_, data, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        error_ = errno;
        return false;
      }
      data += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

  // Closes the file and moves it to the final name.
  bool Commit() {
    if (!Open()) return false;
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) {
      error_ = errno;
      Discard();
      return false;
    }
    temp_.clear();
    return true;
  }

  void Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
  }

  int error() const { return error_; }

 private:
  std::string target_;
  std::string temp_;
  int fd_ = -1;
  int error_ = 0;
};

struct DownloadState {
  PartFile* file;
  bool createFailed = false;
  bool writeFailed = false;
};

size_t WriteToPart(char* data, size_t size, size_t count, void* user) {
  auto* state = static_cast<DownloadState*>(user);
  if (!state->file->Open()) {
    state->createFailed = true;
    return 0;
  }
  if (!state->file->Write(data, size * count)) {
    state->writeFailed = true;
    return 0;
  }
  return size * count;
}

HttpResult Failure(HttpFailure failure, int code, long status = 0) {
  HttpResult result;
  result.failure = failure;
  result.errorCode = code;
  result.status = static_cast<int>(status);
  return result;
}

}  // namespace

CurlHttp::CurlHttp() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpResult CurlHttp::Get(const std::string& url, const DownloadOptions& options) {
  Easy curl(curl_easy_init());
  if (!curl) return Failure(HttpFailure::Session, CURLE_FAILED_INIT);
  HeaderList headers = BuildHeaders(options);
  Configure(curl.get(), url, options, headers.get());
  HttpResult result;
  BodyState body{&result.body, options.maxBodyBytes};
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, AppendToString);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
  CURLcode code = curl_easy_perform(curl.get());
  result.status = static_cast<int>(ResponseCode(curl.get()));
  if (code != CURLE_OK) {
    result.failure = result.status == 0 || code == CURLE_UNSUPPORTED_PROTOCOL
                         ? HttpFailure::OpenUrl
                         : HttpFailure::Transfer;
    result.errorCode = code;
    return result;
  }
  result.ok = true;
  return result;
}

HttpResult CurlHttp::Download(const std::string& url, const std::string& path,
                              const DownloadOptions& options) {
  Easy curl(curl_easy_init());
  if (!curl) return Failure(HttpFailure::Session, CURLE_FAILED_INIT);
  HeaderList headers = BuildHeaders(options);
  Configure(curl.get(), url, options, headers.get());
  // An error status is a failure, not a file holding the server's error page.
  curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);

  PartFile file(text::GbkToUtf8(path));
  DownloadState state{&file};
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, WriteToPart);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &state);
  CURLcode code = curl_easy_perform(curl.get());
  long status = ResponseCode(curl.get());

  if (state.createFailed) return Failure(HttpFailure::CreateFile, file.error(), status);
  // A redirect to a refused scheme leaves the redirect's status behind.
  if (code == CURLE_HTTP_RETURNED_ERROR || code == CURLE_UNSUPPORTED_PROTOCOL ||
      (code != CURLE_OK && status == 0)) {
    return Failure(HttpFailure::OpenUrl, code, status);
  }
  if (code != CURLE_OK) return Failure(HttpFailure::Transfer, code, status);
  // An empty body still makes a file.
  if (!file.Commit()) return Failure(HttpFailure::CreateFile, file.error(), status);
  HttpResult result;
  result.ok = true;
  result.status = static_cast<int>(status);
  return result;
}

}  // namespace platform
