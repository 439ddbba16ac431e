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
  const std::wstring agent = Wide(options.userAgent);
  InternetHandle session(
      InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session.handle) {
    result.errorCode = static_cast<int>(GetLastError());
    result.failure = HttpFailure::Session;
    return result;
  }
  DWORD connectTimeout = static_cast<DWORD>(options.connectTimeoutMs);
  DWORD receiveTimeout = static_cast<DWORD>(options.receiveTimeoutMs);
  if (options.connectTimeoutMs > 0) {
    InternetSetOptionW(session.handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connectTimeout,
                       sizeof(connectTimeout));
  }
  if (options.receiveTimeoutMs > 0) {
    InternetSetOptionW(session.handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveTimeout,
                       sizeof(receiveTimeout));
  }
  DWORD flags = INTERNET_FLAG_TRANSFER_BINARY;
  if (options.noCache) flags |= INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE;
  if (options.keepAlive) flags |= INTERNET_FLAG_KEEP_CONNECTION;
  const std::wstring headers = Wide(options.extraHeaders);
  InternetHandle request(InternetOpenUrlW(session.handle, WideUrl(url).c_str(),
                                          headers.empty() ? nullptr : headers.c_str(),
                                          headers.empty() ? 0 : static_cast<DWORD>(-1), flags, 1));
  if (!request.handle) {
    result.errorCode = static_cast<int>(GetLastError());
    result.failure = HttpFailure::OpenUrl;
    return result;
  }
  DWORD status = 0;
  DWORD size = sizeof(status);
  if (HttpQueryInfoW(request.handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                     &size, nullptr)) {
    result.status = static_cast<int>(status);
  }
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
  HttpResult result = Fetch(url, options, [&](const char* data, DWORD size) {
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
  if (result.ok && !MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    result.ok = false;
    result.errorCode = static_cast<int>(GetLastError());
    result.failure = HttpFailure::CreateFile;
  }
  if (!result.ok) DeleteFileW(partial.c_str());
  return result;
}

}  // namespace platform::windows
