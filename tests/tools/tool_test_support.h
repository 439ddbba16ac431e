#pragma once
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/files/std_file_system.h"
#include "platform/text_codec.h"
#include "tools/status_sink.h"

namespace tools_test {

// A fresh folder under the system's temp folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvane-tools-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The program's GBK for a UTF-8 literal.
inline std::string Gbk(const char* utf8) {
  return text::Utf8ToGbk(utf8);
}

// While it lives, no file of this process may grow beyond `bytes`: writes
// past it fail as on a full disk (the signal that would kill us is ignored).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*oldHandler_)(int) = nullptr;
};

class RecordingSink : public tools::StatusSink {
 public:
  void PostStatus(std::string text) override { lines.push_back(std::move(text)); }
  void PostFinished() override { ++finished; }
  std::vector<std::string> lines;
  int finished = 0;
};

// The real file system with failures injected by path, for faults a test
// cannot make on disk (root writes read-only files).
class FaultyFileSystem : public platform::StdFileSystem {
 public:
  std::set<std::string> unreadable;
  std::set<std::string> unwritable;
  std::function<void()> onList;  // may throw
  std::string executableDirectory;

  std::string ExecutableDirectory() override {
    return executableDirectory.empty() ? StdFileSystem::ExecutableDirectory() : executableDirectory;
  }

  std::optional<std::string> ReadFile(const std::string& path) override {
    if (unreadable.count(path)) return std::nullopt;
    return StdFileSystem::ReadFile(path);
  }
  bool RewriteFile(const std::string& path, const std::string& bytes) override {
    if (unwritable.count(path)) return false;
    return StdFileSystem::RewriteFile(path, bytes);
  }
  bool RewriteFileParts(const std::string& path, std::string_view head,
                        std::string_view body) override {
    if (unwritable.count(path)) return false;
    return StdFileSystem::RewriteFileParts(path, head, body);
  }
  std::optional<std::vector<platform::DirectoryEntry>> List(const std::string& dir) override {
    if (onList) onList();
    return StdFileSystem::List(dir);
  }
};

}  // namespace tools_test
