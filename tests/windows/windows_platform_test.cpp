// The Windows services on the real calls, under Wine.
#include <gtest/gtest.h>

#include "platform/windows/win32.h"

#include <shellapi.h>
#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "platform/files/std_file_system.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_http.h"
#include "platform/windows/windows_processes.h"
#include "platform/windows/windows_session.h"
#include "platform/windows/windows_shell.h"

namespace platform::windows {
namespace {

// A fresh folder with a Chinese name under the temporary folder.
class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = Narrow(base) + "orvane-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter_++) + "-测试";
    CreateDirectoryW(Wide(path_).c_str(), nullptr);
  }
  ~TempFolder() {
    const std::wstring wide = Wide(path_) + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = wide.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
  }
  const std::string& path() const { return path_; }

 private:
  static inline int counter_ = 0;
  std::string path_;
};

// The portable file system on its Windows branches.
TEST(StdFileSystemOnWindows, ChineseNamesRoundTripThroughTheWideCalls) {
  TempFolder temp;
  StdFileSystem files;
  const std::string folder = temp.path() + "\\配置";
  const std::string file = folder + "\\设置.ini";
  ASSERT_TRUE(files.CreateDirectory(folder));
  EXPECT_TRUE(files.CreateDirectory(folder)) << "an existing folder counts as made";
  EXPECT_TRUE(files.IsDirectory(folder));

  ASSERT_TRUE(files.WriteFileAtomic(file, "[配置]\r\nHi=1\r\n"));
  ASSERT_TRUE(files.WriteFileAtomic(file, "second"));
  EXPECT_EQ(files.ReadFile(file), "second");
  ASSERT_TRUE(files.AppendFile(file, " third"));
  EXPECT_EQ(files.ReadFile(file), "second third");

  // The name the system stores is the Unicode name, not the GBK bytes.
  EXPECT_NE(GetFileAttributesW((Wide(folder) + L"\\\u8BBE\u7F6E.ini").c_str()),
            INVALID_FILE_ATTRIBUTES);

  auto entries = files.List(folder);
  ASSERT_TRUE(entries.has_value());
  ASSERT_EQ(entries->size(), 1u) << "no temporary file is left beside the target";
  EXPECT_EQ((*entries)[0].name, "设置.ini");
  EXPECT_FALSE((*entries)[0].isDirectory);
  auto parent = files.List(temp.path());
  ASSERT_TRUE(parent && parent->size() == 1u);
  EXPECT_TRUE((*parent)[0].isDirectory);
  EXPECT_NE((*parent)[0].inode, 0u);

  ASSERT_TRUE(files.Rename(file, folder + "\\新.ini"));
  EXPECT_FALSE(files.Exists(file));
  EXPECT_TRUE(files.Remove(folder + "\\新.ini"));
  EXPECT_TRUE(files.Remove(folder));
  EXPECT_FALSE(files.List(folder).has_value());
  EXPECT_FALSE(files.ReadFile(file).has_value());
  EXPECT_FALSE(files.WriteFileAtomic(temp.path() + "\\无\\a.ini", "x")) << "no folder is made";
}

TEST(StdFileSystemOnWindows, CurrentDirectoryFollowsTheProcess) {
  TempFolder temp;
  StdFileSystem files;
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(Wide(temp.path()).c_str()));
  const std::string current = files.CurrentDirectory();
  SetCurrentDirectoryW(saved);
  EXPECT_EQ(current, temp.path());
  EXPECT_TRUE(files.IsDirectory(files.ExecutableDirectory()));
}

TEST(WindowsInstanceLock, SecondHolderOfTheNameIsRefused) {
  const std::string name = "DravoOV-test-" + std::to_string(GetCurrentProcessId());
  WindowsInstanceLock first;
  ASSERT_TRUE(first.Acquire(name));
  {
    WindowsInstanceLock second;
    EXPECT_FALSE(second.Acquire(name));
  }
  EXPECT_TRUE(first.Acquire(name)) << "the holder keeps it";
}

// A name taken by another kind of object makes no mutex, but no instance of
// ours holds it either: the start goes ahead.
TEST(WindowsInstanceLock, ANameHeldByAnotherKindOfObjectDoesNotRefuseTheStart) {
  const std::string name = "DravoOV-event-" + std::to_string(GetCurrentProcessId());
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, Wide(name).c_str());
  ASSERT_NE(event, nullptr);
  WindowsInstanceLock lock;
  EXPECT_TRUE(lock.Acquire(name));
  CloseHandle(event);
}

TEST(WindowsAutostart, RunValueIsWrittenAndRemoved) {
  WindowsAutostart autostart;
  const std::string name = "OrvaneTest" + std::to_string(GetCurrentProcessId());
  const std::string path = "C:\\程序\\Orvane.exe";
  ASSERT_TRUE(autostart.Set(name, path));
  wchar_t value[MAX_PATH] = {};
  DWORD size = sizeof(value);
  const wchar_t* runKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, runKey, Wide(name).c_str(), RRF_RT_REG_SZ, nullptr,
                         value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(Narrow(value), path);
  EXPECT_TRUE(autostart.Remove(name));
  size = sizeof(value);
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, runKey, Wide(name).c_str(), RRF_RT_REG_SZ, nullptr,
                         value, &size),
            ERROR_FILE_NOT_FOUND);
}

TEST(WindowsProcesses, SnapshotFindsAChildThatTerminateEnds) {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe(self, length);
  exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"windows_sleeper.exe";
  std::wstring command = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &child));
  CloseHandle(child.hThread);

  WindowsProcesses processes;
  bool found = false;
  for (const ProcessEntry& entry : processes.Snapshot()) {
    if (entry.pid == child.dwProcessId) {
      found = true;
      EXPECT_EQ(entry.exeFile, "windows_sleeper.exe") << "the bare file name, no path";
    }
  }
  EXPECT_TRUE(found);
  EXPECT_TRUE(processes.Terminate(child.dwProcessId, 7));
  ASSERT_EQ(WaitForSingleObject(child.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(child.hProcess, &code);
  CloseHandle(child.hProcess);
  EXPECT_EQ(code, 7u);
  EXPECT_FALSE(processes.Terminate(0xFFFFFFF0u, 0)) << "no such process";
}

TEST(WindowsShell, ExecAndOpenReportFailure) {
  WindowsShell shell;
  EXPECT_TRUE(shell.Exec("cmd /c exit"));
  EXPECT_FALSE(shell.Exec("no-such-program-orvane"));
  EXPECT_FALSE(shell.Open("C:\\no such folder\\缺少.txt", ""));
}

// A one-connection-at-a-time HTTP server on loopback with canned replies.
class LocalServer {
 public:
  LocalServer() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int size = sizeof(address);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    listen(listener_, 4);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LocalServer() {
    stop_ = true;
    closesocket(listener_);
    thread_.join();
    WSACleanup();
  }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::string LastRequestLine() {
    std::lock_guard lock(mutex_);
    return lastRequestLine_;
  }

 private:
  void Serve() {
    while (!stop_) {
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const int got = recv(client, buffer, sizeof(buffer), 0);
        if (got <= 0) break;
        request.append(buffer, got);
      }
      const std::string line = request.substr(0, request.find("\r\n"));
      {
        std::lock_guard lock(mutex_);
        lastRequestLine_ = line;
      }
      std::string status = "200 OK";
      std::string body = "0|昵称\n1|2\n";
      std::string location;
      if (line.find("/missing") != std::string::npos) {
        status = "404 Not Found";
        body = "nothing";
      } else if (line.find("/to-local") != std::string::npos) {
        status = "302 Found";
        location = "file:///C:/windows/win.ini";
      } else if (line.find("/moved") != std::string::npos) {
        status = "302 Found";
        location = "/file";
      }
      std::string reply = "HTTP/1.1 " + status +
                          "\r\nContent-Length: " + std::to_string(body.size()) +
                          (location.empty() ? "" : "\r\nLocation: " + location) +
                          "\r\nConnection: close\r\n\r\n" + body;
      if (line.find("/cut") != std::string::npos) {
        // Promises more than it sends, then hangs up.
        reply = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\nConnection: close\r\n\r\npartial";
      }
      send(client, reply.data(), static_cast<int>(reply.size()), 0);
      shutdown(client, SD_SEND);
      closesocket(client);
    }
  }

  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::string lastRequestLine_;
};

TEST(WindowsHttp, GetReturnsTheBodyAndStatus) {
  LocalServer server;
  WindowsHttp http;
  DownloadOptions options;
  options.userAgent = "Orvane";
  HttpResult ok = http.Get(server.Url("/a?id=张三"), options);
  EXPECT_TRUE(ok.ok);
  EXPECT_EQ(ok.status, 200);
  EXPECT_EQ(ok.body, "0|昵称\n1|2\n");
  EXPECT_EQ(server.LastRequestLine(), "GET /a?id=%D5%C5%C8%FD HTTP/1.1")
      << "GBK bytes leave percent-escaped";

  HttpResult missing = http.Get(server.Url("/missing"), options);
  EXPECT_TRUE(missing.ok) << "a reply arrived";
  EXPECT_EQ(missing.status, 404);
  EXPECT_EQ(missing.body, "nothing");

  options.maxBodyBytes = 4;
  HttpResult tooLong = http.Get(server.Url("/a"), options);
  EXPECT_FALSE(tooLong.ok) << "a body past the limit ends the transfer";
  EXPECT_EQ(tooLong.failure, HttpFailure::Transfer);
}

TEST(WindowsHttp, DownloadKeepsOnlyAWholeBody) {
  TempFolder temp;
  LocalServer server;
  WindowsHttp http;
  StdFileSystem files;
  DownloadOptions options;
  options.userAgent = "dowll";
  const std::string target = temp.path() + "\\下载.exe";

  HttpResult whole = http.Download(server.Url("/file"), target, options);
  EXPECT_TRUE(whole.ok);
  EXPECT_EQ(files.ReadFile(target), "0|昵称\n1|2\n");

  HttpResult cut = http.Download(server.Url("/cut"), target, options);
  EXPECT_FALSE(cut.ok);
  EXPECT_EQ(files.ReadFile(target), "0|昵称\n1|2\n") << "the earlier file stays";
  EXPECT_EQ(files.List(temp.path())->size(), 1u) << "no partial file is left";
}

TEST(WindowsHttp, DownloadRequestsWebAddressesOnlyAndKeepsTheOldFileOnAnError) {
  TempFolder temp;
  LocalServer server;
  WindowsHttp http;
  StdFileSystem files;
  DownloadOptions options;
  const std::string target = temp.path() + "\\a.txt";
  ASSERT_TRUE(files.WriteFileAtomic(target, "old"));

  for (const std::string& url : {std::string("file:///C:/windows/win.ini"), server.Url("/to-local"),
                                 server.Url("/missing")}) {
    HttpResult result = http.Download(url, target, options);
    EXPECT_FALSE(result.ok) << url;
    EXPECT_EQ(result.failure, HttpFailure::OpenUrl) << url;
    EXPECT_EQ(files.ReadFile(target), "old") << url;
  }
  HttpResult moved = http.Download(server.Url("/moved"), target, options);
  EXPECT_TRUE(moved.ok);
  EXPECT_EQ(server.LastRequestLine(), "GET /file HTTP/1.1");
  EXPECT_EQ(files.ReadFile(target), "0|昵称\n1|2\n");
  EXPECT_EQ(files.List(temp.path())->size(), 1u);
}

TEST(WindowsHttp, UnreachableServerIsATransportError) {
  WindowsHttp http;
  DownloadOptions options;
  options.connectTimeoutMs = 2000;
  HttpResult result = http.Get("http://127.0.0.1:1/", options);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.errorCode, 0);
}

}  // namespace
}  // namespace platform::windows
