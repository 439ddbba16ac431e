#include "platform/files/std_file_system.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/files/path_text.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
// The interface's own name, not the Win32 macro.
#undef CreateDirectory
#else
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace platform {

namespace {

#ifdef _WIN32
// Windows names are UTF-16 and may hold lone surrogates; as UTF-8 those keep
// their three-byte form, so every name survives the way through path text.
std::string Utf8FromWide(const std::wstring& wide) {
  std::string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t c = static_cast<char16_t>(wide[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(wide[++i]) - 0xDC00);
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::wstring WideFromUtf8(const std::string& utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    const unsigned char b = *p++;
    int more = b < 0x80             ? 0
               : (b & 0xE0) == 0xC0 ? 1
               : (b & 0xF0) == 0xE0 ? 2
               : (b & 0xF8) == 0xF0 ? 3
                                    : -1;
    char32_t c = more == 0 ? b : more == 1 ? (b & 0x1F) : more == 2 ? (b & 0x0F) : (b & 0x07);
    if (more < 0) c = 0xFFFD;
    for (; more > 0; --more) {
      if (p == end || (*p & 0xC0) != 0x80) {
        c = 0xFFFD;
        break;
      }
      c = c << 6 | (*p++ & 0x3F);
    }
    if (c >= 0x10000) {
      out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<wchar_t>(c);
    }
  }
  return out;
}

fs::path ToPath(const std::string& gbk) {
  return fs::path(WideFromUtf8(Utf8FromPathText(gbk)));
}

std::string FromPath(const fs::path& path) {
  return PathTextFromUtf8(Utf8FromWide(path.native()));
}
#else
fs::path ToPath(const std::string& gbk) {
  return fs::path(Utf8FromPathText(gbk));
}

std::string FromPath(const fs::path& path) {
  return PathTextFromUtf8(path.native());
}
#endif

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
  static const int id = static_cast<int>(::getpid());
  return id;
}

// What a rewrite asks of the system for every file, asked once.
struct Credentials {
  uid_t user = ::geteuid();
  gid_t group = ::getegid();
  mode_t createdMode = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(kCreateMode & ~mask);
  }();
};
const Credentials& Own() {
  static const Credentials credentials;
  return credentials;
}
#endif

bool WriteAll(int fd, std::string_view bytes) {
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

// Large pages for a big buffer before it is first touched, where the system
// gives them on request.
void ReserveLarge(std::string& buffer, std::size_t size) {
  buffer.reserve(size);
#ifdef __linux__
  constexpr std::uintptr_t kLargePage = 2u << 20;
  if (size < 4 * kLargePage) return;
  const auto begin = reinterpret_cast<std::uintptr_t>(buffer.data());
  const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t last = (begin + buffer.capacity()) & ~(kLargePage - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

// Reads a regular file in one piece sized by the system; a pipe or device
// would block or never end, so it is refused before the first read.
bool ReadRegular(int fd, std::string& out) {
#ifdef _WIN32
  struct _stat64 st;
  if (::_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) return false;
#else
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
#endif
  const auto size = static_cast<std::size_t>(st.st_size);
  ReserveLarge(out, size);
  out.resize(size);
  std::size_t got = 0;
  while (got < size) {
    const std::size_t chunk = size - got < (1u << 30) ? size - got : (1u << 30);
#ifdef _WIN32
    const int n = ::_read(fd, out.data() + got, static_cast<unsigned>(chunk));
#else
    const ssize_t n = ::read(fd, out.data() + got, chunk);
    if (n < 0 && errno == EINTR) continue;
#endif
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  out.resize(got);
  // A file that grew meanwhile is read to its new end.
  return got < size || ReadAll(fd, out);
}

bool Flush(int fd) {
#ifdef _WIN32
  return ::_commit(fd) == 0;
#else
  return ::fsync(fd) == 0;
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

#ifdef _WIN32
// Junctions are reparse points too, and lead a walk elsewhere just like links.
bool IsLink(const fs::directory_entry& entry) {
  const DWORD attributes = ::GetFileAttributesW(entry.path().c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
#endif

using Parts = std::initializer_list<std::string_view>;

std::string TemporaryName() {
  static std::atomic<unsigned> counter{0};
  return ".orvane-" + std::to_string(ProcessId()) + "-" + std::to_string(counter++) + ".tmp";
}

// The process a rewrite temporary's name gives, or -1.
long TemporaryOwner(const std::string& name) {
  if (!IsRewriteTemporaryName(name)) return -1;
  return std::strtol(name.c_str() + 8, nullptr, 10);
}

// A new file beside the target, created exclusively; -1 and errno on failure.
int CreateBeside(const fs::path& target, fs::path& temp) {
  int raw = -1;
  for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
    temp = target.parent_path() / TemporaryName();
    raw = OpenFd(temp, O_WRONLY | O_CREAT | O_EXCL);
    if (raw < 0 && errno != EEXIST) return -1;
  }
  return raw;
}

#ifdef _WIN32
// An existing file we may not write is left alone: replacing it through its
// folder would get round the owner's read-only setting.
bool MayReplace(const fs::path& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY);
}

// Windows files take their access rights from the folder, so only the
// attributes need carrying over.
bool WriteBeside(const std::string& path, Parts parts, bool flush) {
  fs::path target = ToPath(path);
  std::error_code ec;
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::canonical(target, ec);
    if (!ec) target = resolved;
  }
  if (fs::is_directory(target, ec) || !MayReplace(target)) return false;
  // Hidden, system and archive flags belong to the file; the new one takes them over.
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  fs::path temp;
  Fd fd(CreateBeside(target, temp));
  if (!fd.ok()) return false;
  bool written = true;
  for (std::string_view part : parts) written = written && WriteAll(fd.get(), part);
  written = written && (!flush || Flush(fd.get()));
  if (!fd.Close() || !written || !MoveOver(temp, target)) {
    fs::remove(temp, ec);
    return false;
  }
  if (attributes != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(target.c_str(), attributes);
  return true;
}
#else
// All pieces in as few calls as the system allows.
bool WriteParts(int fd, Parts parts) {
  iovec pieces[2];
  int count = 0;
  for (std::string_view part : parts) {
    if (count == 2) return false;
    if (part.empty()) continue;
    pieces[count++] = {const_cast<char*>(part.data()), part.size()};
  }
  iovec* next = pieces;
  while (count > 0) {
    const ssize_t n = ::writev(fd, next, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    auto done = static_cast<std::size_t>(n);
    while (count > 0 && done >= next->iov_len) {
      done -= next->iov_len;
      ++next;
      --count;
    }
    if (count > 0) {
      next->iov_base = static_cast<char*>(next->iov_base) + done;
      next->iov_len -= done;
    }
  }
  return true;
}

bool WriteAllAt(int fd, std::string_view bytes, off_t at) {
  while (!bytes.empty()) {
    const ssize_t n =
        ::pwrite(fd, bytes.data(), bytes.size() < (1u << 30) ? bytes.size() : (1u << 30), at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
    at += n;
  }
  return true;
}

// Over the old bytes, for a file a rename would split from its other names or
// hand to another owner. Not proof against a crash half way, but a failed
// write puts the old bytes back.
bool RewriteInPlace(const fs::path& target, Parts parts, bool flush) {
  Fd fd(OpenFd(target, O_RDWR));
  std::string old;
  if (!fd.ok() || !ReadRegular(fd.get(), old)) return false;
  off_t at = 0;
  bool written = true;
  for (std::string_view part : parts) {
    written = written && WriteAllAt(fd.get(), part, at);
    at += static_cast<off_t>(part.size());
  }
  written = written && ::ftruncate(fd.get(), at) == 0 && (!flush || Flush(fd.get()));
  if (!written) {
    WriteAllAt(fd.get(), old, 0);
    if (::ftruncate(fd.get(), static_cast<off_t>(old.size())) != 0) return false;
    return false;
  }
  return fd.Close();
}

// A new file beside the target with its mode, owner and group, renamed over it;
// `flush` waits for the disk first.
bool WriteBeside(const std::string& path, Parts parts, bool flush) {
  fs::path target = ToPath(path);
  struct stat st;
  bool exists = false;
  if (::lstat(target.c_str(), &st) == 0) {
    exists = true;
    if (S_ISLNK(st.st_mode)) {
      // Through a link, replace the file it names and keep the link.
      std::error_code ec;
      const fs::path resolved = fs::canonical(target, ec);
      if (!ec) target = resolved;
      exists = ::stat(target.c_str(), &st) == 0;
    }
  } else if (errno != ENOENT) {
    return false;
  }
  if (exists) {
    if (!S_ISREG(st.st_mode)) return false;
    // No write bit at all is the read-only attribute of this system, and holds
    // for root too, who would pass any access check.
    if ((st.st_mode & 0222) == 0) return false;
    const bool surelyWritable = Own().user == 0 || (st.st_uid == Own().user && (st.st_mode & 0200));
    if (!surelyWritable && ::access(target.c_str(), W_OK) != 0) return false;
    if (st.st_nlink > 1) return RewriteInPlace(target, parts, flush);
  }
  fs::path temp;
  Fd fd(CreateBeside(target, temp));
  if (!fd.ok()) {
    // A folder we may not write can still hold a file we may.
    return exists && errno == EACCES && RewriteInPlace(target, parts, flush);
  }
  if (exists) {
    if ((st.st_uid != Own().user || st.st_gid != Own().group) &&
        ::fchown(fd.get(), st.st_uid, st.st_gid) != 0) {
      fd.Close();
      ::unlink(temp.c_str());
      return RewriteInPlace(target, parts, flush);
    }
    // fchown clears set-id bits, so the mode comes after it.
    if ((st.st_mode & 07777) != Own().createdMode) ::fchmod(fd.get(), st.st_mode & 07777);
  }
  const bool written = WriteParts(fd.get(), parts) && (!flush || Flush(fd.get()));
  if (!fd.Close() || !written || !MoveOver(temp, target)) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}
#endif

}  // namespace

StdFileSystem::StdFileSystem() {
#ifndef _WIN32
  // Past a file-size limit the system would end the process; a write that
  // fails there is one file's save failure instead.
  static std::once_flag once;
  std::call_once(once, [] { std::signal(SIGXFSZ, SIG_IGN); });
#endif
}

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
#ifdef _WIN32
  Fd fd(OpenFd(ToPath(path), O_RDONLY));
#else
  // Not blocking, so that opening a pipe without a writer returns at once.
  Fd fd(OpenFd(ToPath(path), O_RDONLY | O_NONBLOCK));
#endif
  if (!fd.ok()) return std::nullopt;
  std::string bytes;
  if (!ReadRegular(fd.get(), bytes)) return std::nullopt;
  return bytes;
}

bool StdFileSystem::WriteFileAtomic(const std::string& path, const std::string& bytes) {
  return WriteBeside(path, {bytes}, true);
}

bool StdFileSystem::RewriteFile(const std::string& path, const std::string& bytes) {
  return WriteBeside(path, {bytes}, false);
}

bool StdFileSystem::RewriteFileParts(const std::string& path, std::string_view head,
                                     std::string_view body) {
  return WriteBeside(path, {head, body}, false);
}

void StdFileSystem::ReserveText(std::string& buffer, std::size_t size) {
  ReserveLarge(buffer, size);
}

bool StdFileSystem::RemoveAbandoned(const std::string& path) {
  const fs::path p = ToPath(path);
  const long owner = TemporaryOwner(FromPath(p.filename()));
  if (owner < 0 || owner == ProcessId()) return false;  // our own are still being written
#ifdef _WIN32
  // A file another process is writing cannot be deleted.
  return ::DeleteFileW(p.c_str()) != 0;
#else
  // A writer that still runs may be about to rename it over its file.
  if (::kill(static_cast<pid_t>(owner), 0) == 0 || errno != ESRCH) return false;
  struct stat st;
  if (::lstat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return ::unlink(p.c_str()) == 0;
#endif
}

bool StdFileSystem::CreateOwnerOnlyFile(const std::string& path) {
#ifdef _WIN32
  Fd fd(OpenFd(ToPath(path), _O_WRONLY | _O_CREAT | _O_EXCL));
#else
  Fd fd(::open(ToPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
#endif
  return fd.ok() && fd.Close();
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

bool StdFileSystem::MakeExecutable(const std::string& path) {
#ifdef _WIN32
  return Exists(path);
#else
  const fs::path target = ToPath(path);
  struct stat st;
  if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // Execute for whoever may read it, and no one else.
  const mode_t readBits = st.st_mode & (S_IRUSR | S_IRGRP | S_IROTH);
  return ::chmod(target.c_str(), st.st_mode | (readBits >> 2)) == 0;
#endif
}

bool StdFileSystem::ReplaceKeepingBackup(const std::string& target, const std::string& replacement,
                                         const std::string& backup) {
  std::error_code ec;
  fs::path place = ToPath(target);
  if (fs::is_symlink(place, ec)) {
    // Through a link, replace the file it names and keep the link.
    const fs::path resolved = fs::canonical(place, ec);
    if (ec) return false;
    place = resolved;
  }
  const fs::path incoming = ToPath(replacement);
  const fs::path kept = ToPath(backup);
#ifdef _WIN32
  // Access rights come from the folder; the attributes go over to the new file.
  const DWORD attributes = ::GetFileAttributesW(place.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !MayReplace(place)) {
    return false;
  }
  ::DeleteFileW(kept.c_str());
  if (!::CopyFileW(place.c_str(), kept.c_str(), FALSE)) return false;
  ::SetFileAttributesW(incoming.c_str(), attributes);
  if (!MoveOver(incoming, place)) {
    ::DeleteFileW(kept.c_str());
    return false;
  }
  return true;
#else
  struct stat st;
  if (::stat(place.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // No write bit is read-only, for root too (see WriteBeside).
  if ((st.st_mode & 0222) == 0) return false;
  const bool surelyWritable = Own().user == 0 || (st.st_uid == Own().user && (st.st_mode & 0200));
  if (!surelyWritable && ::access(place.c_str(), W_OK) != 0) return false;
  // Owner first: chown clears set-id bits, which the mode then puts back.
  if ((st.st_uid != Own().user || st.st_gid != Own().group) &&
      ::chown(incoming.c_str(), st.st_uid, st.st_gid) != 0) {
    // An owner we cannot give leaves the new file ours; the mode still holds.
  }
  if (::chmod(incoming.c_str(), st.st_mode & 07777) != 0) return false;
  // The backup is a second name of the old file where the system allows it, a
  // copy elsewhere; either way the target never goes missing.
  ::unlink(kept.c_str());
  if (::link(place.c_str(), kept.c_str()) != 0 &&
      !fs::copy_file(place, kept, fs::copy_options::overwrite_existing, ec)) {
    ::unlink(kept.c_str());
    return false;
  }
  if (!MoveOver(incoming, place)) {
    ::unlink(kept.c_str());
    return false;
  }
  return true;
#endif
}

bool StdFileSystem::Remove(const std::string& path) {
  std::error_code ec;
  return fs::remove(ToPath(path), ec) && !ec;
}

std::optional<std::vector<DirectoryEntry>> StdFileSystem::List(const std::string& directory) {
#ifdef _WIN32
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
#else
  DIR* dir = ::opendir(ToPath(directory).c_str());
  if (!dir) return std::nullopt;
  const int dirFd = ::dirfd(dir);
  struct stat here;
  const bool knownHere = ::fstat(dirFd, &here) == 0;
  std::vector<DirectoryEntry> entries;
  while (const dirent* found = ::readdir(dir)) {
    const std::string_view name = found->d_name;
    if (name == "." || name == "..") continue;
    DirectoryEntry entry;
    entry.name = PathTextFromUtf8(name);
    struct stat st;
    if (found->d_type == DT_REG && knownHere) {
      // A plain file is where the listing says; no call needed.
      entry.device = static_cast<std::uint64_t>(here.st_dev);
      entry.inode = static_cast<std::uint64_t>(found->d_ino);
    } else {
      if (found->d_type == DT_LNK) {
        entry.isLink = true;
      } else if (found->d_type == DT_UNKNOWN) {
        entry.isLink =
            ::fstatat(dirFd, found->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
      }
      // What a link leads to; a broken one is a file that cannot be read.
      if (::fstatat(dirFd, found->d_name, &st, 0) == 0) {
        entry.isDirectory = S_ISDIR(st.st_mode);
        entry.device = static_cast<std::uint64_t>(st.st_dev);
        entry.inode = static_cast<std::uint64_t>(st.st_ino);
      }
    }
    entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  return entries;
#endif
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

std::string StdFileSystem::TemporaryDirectory() {
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  return ec ? std::string() : FromPath(temp);
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
