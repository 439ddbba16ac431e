#include "platform/windows/windows_http.h"

#include "platform/windows/win32.h"
// After windows.h, which it needs.
#include <wininet.h>

#include <cstdint>
#include <functional>

#include "platform/windows/wide_text.h"

namespace platform::windows {

namespace {

// Non-ASCII bytes of an address go out percent-escaped: the server sees the
// same GBK bytes whatever WinInet would make of wide characters.
std::wstring WideUrl(const std::string& url) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  for (unsigned char c : url) {
    if (c >= 0x80 || c <= 0x20) {
      escaped += '%';
      escaped += kHex[c >> 4];
      escaped += kHex[c & 15];
    } else {
      escaped += static_cast<char>(c);
    }
  }
  return Wide(escaped);
}

constexpr int kMaxRedirects = 10;

bool IsWebAddress(const std::wstring& url) {
  std::string scheme;
  for (wchar_t c : url.substr(0, 8)) scheme += c < 0x80 ? static_cast<char>(c) : '?';
  return IsWebUrl(scheme);
}

bool IsRedirect(DWORD status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The address a redirect reply points to, resolved against the one it came
// from; empty when it names none.
std::wstring RedirectTarget(HINTERNET request, const std::wstring& from) {
  std::wstring location(1024, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD size = static_cast<DWORD>(location.size() * sizeof(wchar_t));
    DWORD index = 0;
    if (HttpQueryInfoW(request, HTTP_QUERY_LOCATION, location.data(), &size, &index)) {
      location.resize(size / sizeof(wchar_t));
      break;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || attempt == 1) return {};
    location.resize(size / sizeof(wchar_t) + 1);
  }
  std::wstring combined(4096, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD length = static_cast<DWORD>(combined.size());
    if (InternetCombineUrlW(from.c_str(), location.c_str(), combined.data(), &length,
                            ICU_NO_ENCODE)) {
      combined.resize(length);
      return combined;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || attempt == 1) return {};
    combined.resize(length + 1);
  }
  return {};
}

struct InternetHandle {
  HINTERNET handle = nullptr;
  explicit InternetHandle(HINTERNET h) : handle(h) {}
  ~InternetHandle() {
    if (handle) InternetCloseHandle(handle);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
};

// One GET; every chunk of the body goes to `sink`. `ok` means a whole reply
// arrived, whatever its status: callers decide what a 404 means to them.
HttpResult Fetch(const std::string& url, const DownloadOptions& options,
                 const std::function<bool(const char*, DWORD)>& sink) {
  HttpResult result;
  const ULONGLONG started = GetTickCount64();
  const std::wstring agent = Wide(options.userAgent);
  InternetHandle session(InternetOpenW(
      agent.c_str(), options.useProxy ? INTERNET_OPEN_TYPE_PRECONFIG : INTERNET_OPEN_TYPE_DIRECT,
      nullptr, nullptr, 0));
  if (!session.handle) {
    result.errorCode = static_cast<int>(GetLastError());
    result.failure = HttpFailure::Session;
    return result;
  }
  DWORD connectTimeout = static_cast<DWORD>(options.connectTimeoutMs);
  // WinInet knows no limit on a whole request: no single wait may outlast it,
  // and the read loop below checks the sum.
  int receiveMs = options.receiveTimeoutMs;
  if (options.totalTimeoutMs > 0 && (receiveMs <= 0 || receiveMs > options.totalTimeoutMs)) {
    receiveMs = options.totalTimeoutMs;
  }
  DWORD receiveTimeout = static_cast<DWORD>(receiveMs);
  if (options.connectTimeoutMs > 0) {
    InternetSetOptionW(session.handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connectTimeout,
                       sizeof(connectTimeout));
  }
  if (receiveMs > 0) {
    InternetSetOptionW(session.handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveTimeout,
                       sizeof(receiveTimeout));
    InternetSetOptionW(session.handle, INTERNET_OPTION_SEND_TIMEOUT, &receiveTimeout,
                       sizeof(receiveTimeout));
  }
  const auto overdue = [&] {
    return options.totalTimeoutMs > 0 &&
           GetTickCount64() - started > static_cast<ULONGLONG>(options.totalTimeoutMs);
  };
  DWORD flags = INTERNET_FLAG_TRANSFER_BINARY;
  if (options.noCache) flags |= INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE;
  if (options.keepAlive) flags |= INTERNET_FLAG_KEEP_CONNECTION;
  // Redirects are followed here, so that each address is checked before it is
  // requested (see IsWebUrl).
  flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
  const std::wstring headers = Wide(options.extraHeaders);
  std::wstring address = WideUrl(url);
  HINTERNET opened = nullptr;
  for (int hop = 0;; ++hop) {
    if (!IsWebAddress(address)) {
      result.errorCode = static_cast<int>(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
      result.failure = HttpFailure::OpenUrl;
      return result;
    }
    opened = InternetOpenUrlW(session.handle, address.c_str(),
                              headers.empty() ? nullptr : headers.c_str(),
                              headers.empty() ? 0 : static_cast<DWORD>(-1), flags, 1);
    if (!opened) {
      result.errorCode = static_cast<int>(GetLastError());
      result.failure = HttpFailure::OpenUrl;
      return result;
    }
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (HttpQueryInfoW(opened, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                       nullptr)) {
      result.status = static_cast<int>(status);
    }
    if (!IsRedirect(status)) break;
    std::wstring next = RedirectTarget(opened, address);
    if (next.empty()) break;  // a redirect that names no address is the reply
    InternetCloseHandle(opened);
    opened = nullptr;
    if (hop == kMaxRedirects) {
      result.errorCode = static_cast<int>(ERROR_HTTP_REDIRECT_FAILED);
      result.failure = HttpFailure::OpenUrl;
      return result;
    }
    address = std::move(next);
  }
  InternetHandle request(opened);
  DWORD size = 0;
  // WinInet ends a body cut short by a hang-up like a whole one; the length
  // the server promised tells them apart.
  DWORD promised = 0;
  size = sizeof(promised);
  const bool hasLength =
      HttpQueryInfoW(request.handle, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &promised,
                     &size, nullptr) != 0;
  std::uint64_t received = 0;
  char buffer[16 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!InternetReadFile(request.handle, buffer, sizeof(buffer), &got)) {
      result.errorCode = static_cast<int>(GetLastError());
      result.failure = HttpFailure::Transfer;
      return result;
    }
    if (got == 0) break;
    if (overdue()) {
      result.errorCode = static_cast<int>(ERROR_INTERNET_TIMEOUT);
      result.failure = HttpFailure::Transfer;
      return result;
    }
    received += got;
    if (!sink(buffer, got)) {
      result.errorCode = static_cast<int>(ERROR_WRITE_FAULT);
      result.failure = HttpFailure::Transfer;
      return result;
    }
  }
  if (hasLength && received != promised) {
    result.errorCode = static_cast<int>(ERROR_INTERNET_CONNECTION_RESET);
    result.failure = HttpFailure::Transfer;
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace

HttpResult WindowsHttp::Get(const std::string& url, const DownloadOptions& options) {
  std::string body;
  const std::size_t max = options.maxBodyBytes;
  HttpResult result = Fetch(url, options, [&](const char* data, DWORD size) {
    if (max > 0 && body.size() + size > max) return false;
    body.append(data, size);
    return true;
  });
  result.body = std::move(body);
  return result;
}

HttpResult WindowsHttp::Download(const std::string& url, const std::string& path,
                                 const DownloadOptions& options) {
  // The body goes beside the target and replaces it only when it is whole.
  const std::wstring target = Wide(path);
  const std::wstring partial = target + L".part";
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    HttpResult failed;
    failed.errorCode = static_cast<int>(GetLastError());
    failed.failure = HttpFailure::CreateFile;
    return failed;
  }
  HttpResult result = Fetch(url, options, [&](const char* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
  });
  CloseHandle(file);
  // An error status is a failure, not a file holding the server's error page.
  if (result.ok && result.status >= 400) {
    result.ok = false;
    result.errorCode = result.status;
    result.failure = HttpFailure::OpenUrl;
  }
  if (result.ok && !MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    result.ok = false;
    result.errorCode = static_cast<int>(GetLastError());
    result.failure = HttpFailure::CreateFile;
  }
  if (!result.ok) DeleteFileW(partial.c_str());
  return result;
}

}  // namespace platform::windows
