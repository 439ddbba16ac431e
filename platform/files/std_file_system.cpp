#include "platform/files/std_file_system.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <system_error>

#include "platform/text_codec.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
// The interface's own name, not the Win32 macro.
#undef CreateDirectory
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace platform {

namespace {

fs::path ToPath(const std::string& gbk) {
#ifdef _WIN32
  const std::u16string wide = text::GbkToUtf16(gbk);
  return fs::path(std::wstring(wide.begin(), wide.end()));
#else
  return fs::path(text::GbkToUtf8(gbk));
#endif
}

std::string FromPath(const fs::path& path) {
#ifdef _WIN32
  const std::wstring& wide = path.native();
  return text::Utf16ToGbk(std::u16string(wide.begin(), wide.end()));
#else
  return text::Utf8ToGbk(path.native());
#endif
}

// A file descriptor that closes itself.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Close(); }
  bool ok() const { return fd_ >= 0; }
  int get() const { return fd_; }
  bool Close() {
    if (fd_ < 0) return true;
#ifdef _WIN32
    const bool closed = ::_close(fd_) == 0;
#else
    const bool closed = ::close(fd_) == 0;
#endif
    fd_ = -1;
    return closed;
  }

 private:
  int fd_;
};

#ifdef _WIN32
constexpr int kCreateMode = _S_IREAD | _S_IWRITE;
int OpenFd(const fs::path& path, int flags) {
  return ::_wopen(path.c_str(), flags | _O_BINARY | _O_NOINHERIT, kCreateMode);
}
int ProcessId() {
  return ::_getpid();
}
#else
constexpr int kCreateMode = 0666;  // narrowed by the umask, as for any new file
int OpenFd(const fs::path& path, int flags) {
  return ::open(path.c_str(), flags | O_CLOEXEC, kCreateMode);
}
int ProcessId() {
  return static_cast<int>(::getpid());
}
#endif

bool WriteAll(int fd, const std::string& bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const std::size_t chunk = left < (1u << 30) ? left : (1u << 30);
#ifdef _WIN32
    const int n = ::_write(fd, p, static_cast<unsigned>(chunk));
#else
    const ssize_t n = ::write(fd, p, chunk);
    if (n < 0 && errno == EINTR) continue;
#endif
    if (n <= 0) return false;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, std::string& out) {
  char buffer[65536];
  for (;;) {
#ifdef _WIN32
    const int n = ::_read(fd, buffer, sizeof buffer);
#else
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
#endif
    if (n < 0) return false;
    if (n == 0) return true;
    out.append(buffer, static_cast<std::size_t>(n));
  }
}

// The size of an open regular file; false for anything else.
bool RegularFileSize(int fd, std::size_t& size) {
#ifdef _WIN32
  struct _stat64 st;
  if (::_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) return false;
#else
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
#endif
  size = static_cast<std::size_t>(st.st_size);
  return true;
}

bool Flush(int fd) {
#ifdef _WIN32
  return ::_commit(fd) == 0;
#else
  return ::fsync(fd) == 0;
#endif
}

// Gives the new file the permission bits of the file it replaces. Windows files
// take their access rights from the folder, so there is nothing to copy there.
void CopyPermissions([[maybe_unused]] const fs::path& from, [[maybe_unused]] int fd) {
#ifndef _WIN32
  struct stat st;
  if (::stat(from.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
#endif
}

// An existing file we may not write is left alone: replacing it through its
// folder would get round the owner's read-only setting.
bool MayReplace(const fs::path& path) {
#ifdef _WIN32
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY);
#else
  return ::access(path.c_str(), W_OK) == 0 || errno == ENOENT;
#endif
}

bool MoveOver(const fs::path& from, const fs::path& to) {
#ifdef _WIN32
  return ::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  return ::rename(from.c_str(), to.c_str()) == 0;
#endif
}

// Held for the life of the object; released when the descriptor closes anyway.
class ExclusiveLock {
 public:
  explicit ExclusiveLock(int fd) : fd_(fd) {
#ifdef _WIN32
    OVERLAPPED whole{};
    locked_ = ::LockFileEx(Handle(), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) != 0;
#else
    int r;
    do {
      r = ::flock(fd_, LOCK_EX);
    } while (r != 0 && errno == EINTR);
    locked_ = r == 0;
#endif
  }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;
  ~ExclusiveLock() {
    if (!locked_) return;
#ifdef _WIN32
    OVERLAPPED whole{};
    ::UnlockFileEx(Handle(), 0, MAXDWORD, MAXDWORD, &whole);
#else
    ::flock(fd_, LOCK_UN);
#endif
  }
  bool locked() const {
    return locked_;
  }

 private:
#ifdef _WIN32
  HANDLE Handle() const {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
  }
#endif
  int fd_;
  bool locked_ = false;
};

bool FileSize(int fd, std::uint64_t& size) {
#ifdef _WIN32
  struct _stat64 st;
  if (::_fstat64(fd, &st) != 0) return false;
#else
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
#endif
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool Truncate(int fd, std::uint64_t size) {
#ifdef _WIN32
  return ::_chsize_s(fd, static_cast<__int64>(size)) == 0;
#else
  int r;
  do {
    r = ::ftruncate(fd, static_cast<off_t>(size));
  } while (r != 0 && errno == EINTR);
  return r == 0;
#endif
}

// The size before a block is taken under the lock, so cutting back to it
// removes only that block, never another writer's.
class FdAppendTarget : public AppendTarget {
 public:
  explicit FdAppendTarget(int fd) : fd_(fd) {}

  bool Append(const std::string& bytes) override {
    ExclusiveLock lock(fd_.get());
    std::uint64_t before = 0;
    if (!lock.locked() || !FileSize(fd_.get(), before)) return false;
    if (!WriteAll(fd_.get(), bytes)) {
      Truncate(fd_.get(), before);
      return false;
    }
    if (!appended_) first_ = before;
    appended_ = true;
    end_ = before + bytes.size();
    return true;
  }

  bool Withdraw() override {
    if (!appended_) return true;
    ExclusiveLock lock(fd_.get());
    std::uint64_t size = 0;
    if (!lock.locked() || !FileSize(fd_.get(), size) || size != end_) return false;
    if (!Truncate(fd_.get(), first_)) return false;
    appended_ = false;
    return true;
  }

 private:
  Fd fd_;
  bool appended_ = false;
  std::uint64_t first_ = 0;  // where this target's first block began
  std::uint64_t end_ = 0;    // where its last block ended
};

// Device and inode (volume and file index on Windows) of what the path leads to.
bool Identity(const fs::path& path, std::uint64_t& device, std::uint64_t& inode) {
#ifdef _WIN32
  HANDLE h = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool ok = ::GetFileInformationByHandle(h, &info) != 0;
  ::CloseHandle(h);
  if (!ok) return false;
  device = info.dwVolumeSerialNumber;
  inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
#else
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  device = static_cast<std::uint64_t>(st.st_dev);
  inode = static_cast<std::uint64_t>(st.st_ino);
  return true;
#endif
}

bool IsLink(const fs::directory_entry& entry) {
#ifdef _WIN32
  // Junctions are reparse points too, and lead a walk elsewhere just like links.
  const DWORD attributes = ::GetFileAttributesW(entry.path().c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
#else
  std::error_code ec;
  return entry.is_symlink(ec);
#endif
}

// A new file beside the target, renamed over it; `flush` waits for the disk first.
bool WriteBeside(const std::string& path, const std::string& bytes, bool flush) {
  fs::path target = ToPath(path);
  std::error_code ec;
  // Through a link, replace the file it names and keep the link.
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::canonical(target, ec);
    if (!ec) target = resolved;
  }
  if (fs::is_directory(target, ec) || !MayReplace(target)) return false;
#ifdef _WIN32
  // Hidden, system and archive flags belong to the file; the new one takes them over.
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
#endif

  static std::atomic<unsigned> counter{0};
  fs::path temp;
  int raw = -1;
  for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
    temp = target;
    temp += ".tmp" + std::to_string(ProcessId()) + "-" + std::to_string(counter++);
    raw = OpenFd(temp, O_WRONLY | O_CREAT | O_EXCL);
    if (raw < 0 && errno != EEXIST) return false;
  }
  Fd fd(raw);
  if (!fd.ok()) return false;
  CopyPermissions(target, fd.get());
  const bool written = WriteAll(fd.get(), bytes) && (!flush || Flush(fd.get()));
  if (!fd.Close() || !written || !MoveOver(temp, target)) {
    fs::remove(temp, ec);
    return false;
  }
#ifdef _WIN32
  if (attributes != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(target.c_str(), attributes);
#endif
  return true;
}

}  // namespace

char StdFileSystem::Separator() const {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

bool StdFileSystem::Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(ToPath(path), ec);
}

bool StdFileSystem::IsDirectory(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(ToPath(path), ec);
}

bool StdFileSystem::CreateDirectory(const std::string& path) {
  const fs::path p = ToPath(path);
  std::error_code ec;
  fs::create_directory(p, ec);
  return fs::is_directory(p, ec);
}

std::optional<std::string> StdFileSystem::ReadFile(const std::string& path) {
  // Opening a named pipe waits for a writer unless it is opened non-blocking.
#ifdef _WIN32
  Fd fd(OpenFd(ToPath(path), O_RDONLY));
#else
  Fd fd(OpenFd(ToPath(path), O_RDONLY | O_NONBLOCK));
#endif
  if (!fd.ok()) return std::nullopt;
  std::size_t size = 0;
  if (!RegularFileSize(fd.get(), size)) return std::nullopt;
  std::string bytes;
  bytes.reserve(size);
  if (!ReadAll(fd.get(), bytes)) return std::nullopt;
  return bytes;
}

bool StdFileSystem::WriteFileAtomic(const std::string& path, const std::string& bytes) {
  return WriteBeside(path, bytes, true);
}

bool StdFileSystem::RewriteFile(const std::string& path, const std::string& bytes) {
  return WriteBeside(path, bytes, false);
}

bool StdFileSystem::AppendFile(const std::string& path, const std::string& bytes) {
  std::unique_ptr<AppendTarget> target = OpenForAppend(path);
  return target && target->Append(bytes);
}

std::unique_ptr<AppendTarget> StdFileSystem::OpenForAppend(const std::string& path) {
  const int fd = OpenFd(ToPath(path), O_WRONLY | O_CREAT | O_APPEND);
  if (fd < 0) return nullptr;
  return std::make_unique<FdAppendTarget>(fd);
}

bool StdFileSystem::Rename(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::rename(ToPath(from), ToPath(to), ec);
  return !ec;
}

bool StdFileSystem::Remove(const std::string& path) {
  std::error_code ec;
  return fs::remove(ToPath(path), ec) && !ec;
}

std::optional<std::vector<DirectoryEntry>> StdFileSystem::List(const std::string& directory) {
  std::error_code ec;
  fs::directory_iterator it(ToPath(directory), ec);
  if (ec) return std::nullopt;
  std::vector<DirectoryEntry> entries;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    DirectoryEntry entry;
    entry.name = FromPath(it->path().filename());
    entry.isLink = IsLink(*it);
    std::error_code statusError;
    entry.isDirectory = it->is_directory(statusError);
    if (entry.isDirectory) Identity(it->path(), entry.device, entry.inode);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::optional<DirectoryEntry> StdFileSystem::Inspect(const std::string& path) {
  const fs::path p = ToPath(path);
  std::error_code ec;
  if (!fs::exists(p, ec)) return std::nullopt;
  DirectoryEntry entry;
  entry.name = FromPath(p.filename());
  entry.isLink = fs::is_symlink(p, ec);
  entry.isDirectory = fs::is_directory(p, ec);
  if (entry.isDirectory) Identity(p, entry.device, entry.inode);
  return entry;
}

std::string StdFileSystem::CurrentDirectory() {
  std::error_code ec;
  const fs::path current = fs::current_path(ec);
  return ec ? std::string() : FromPath(current);
}

std::string StdFileSystem::ExecutableDirectory() {
#ifdef _WIN32
  std::wstring module(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
    if (n == 0) return {};
    if (n < module.size()) {
      module.resize(n);
      break;
    }
    module.resize(module.size() * 2);
  }
  const std::size_t slash = module.find_last_of(L'\\');
  return FromPath(fs::path(slash == std::wstring::npos ? std::wstring() : module.substr(0, slash)));
#else
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : FromPath(exe.parent_path());
#endif
}

}  // namespace platform
