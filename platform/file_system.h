#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct DirectoryEntry {
  std::string name;  // GBK
  bool isDirectory = false;
  bool isLink = false;  // symbolic link or junction
  // Identity of what an entry leads to (device and inode, or volume and file
  // index), 0 and 0 when unknown: walks use it to take each folder and file
  // once, however many links and names lead there. Files may go without one
  // where the system makes it costly (Windows).
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
};

// A file kept open for appending blocks one after another (a result file that
// grows while a run goes on).
class AppendTarget {
 public:
  virtual ~AppendTarget() = default;
  // Appends the block under an exclusive lock, so that concurrent appends stay
  // whole; a block that cannot be written whole is cut off again, so the file
  // holds all of it or none of it.
  virtual bool Append(const std::string& bytes) = 0;
  // Cuts off every block this target appended, when nothing was appended to
  // the file after its last block; false when that cannot be done.
  virtual bool Withdraw() = 0;
};

// The temporary a rewrite puts beside its file: ".orvane-<process>-<n>.tmp",
// the same length whatever the file is called. A walk skips such names and
// hands them to FileSystem::RemoveAbandoned.
bool IsRewriteTemporaryName(std::string_view name);

// The file system, with GBK paths as the program holds them. Conversion to the
// system's own path encoding happens inside each implementation.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual char Separator() const = 0;
  virtual bool Exists(const std::string& path) = 0;
  virtual bool IsDirectory(const std::string& path) = 0;
  // Creates one folder; true when it exists afterwards.
  virtual bool CreateDirectory(const std::string& path) = 0;
  // nullopt when the file cannot be read or is no regular file: a pipe or a
  // device could block the reader or never end.
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
  // Writes beside the target and renames over it, keeping the target's
  // permissions, owner and group: the file holds either its old or its new
  // bytes, never a mix. A read-only file (no write permission bit, or the
  // read-only attribute) is refused whoever asks. Where the rename would lose
  // something (a file with more than one name, an owner the writer cannot give
  // the new file) the bytes are written over the old ones in place instead,
  // and put back if that fails.
  virtual bool WriteFileAtomic(const std::string& path, const std::string& bytes) = 0;
  // The same without waiting for the disk, for rewriting many files in a row
  // where a flush each would cost more than the work: a crash of the program
  // still leaves the old or the new bytes; after a power cut that rests on the
  // file system's ordering of data before the rename.
  virtual bool RewriteFile(const std::string& path, const std::string& bytes) {
    return WriteFileAtomic(path, bytes);
  }
  // The same with the bytes in two pieces, so a mark can go in front of a big
  // text without copying it.
  virtual bool RewriteFileParts(const std::string& path, std::string_view head,
                                std::string_view body) {
    std::string bytes;
    bytes.reserve(head.size() + body.size());
    bytes.append(head).append(body);
    return RewriteFile(path, bytes);
  }
  // Room for `size` bytes of file text in `buffer`. A big buffer may get large
  // pages: filling half a gigabyte page by page costs more than the work on it.
  virtual void ReserveText(std::string& buffer, std::size_t size) { buffer.reserve(size); }
  // Removes a rewrite temporary that no running rewrite is still writing
  // (left by a killed run); true when it went.
  virtual bool RemoveAbandoned(const std::string& /*path*/) { return false; }
  // Creates an empty file that only its owner may read or write, when nothing
  // is at the path yet; true when it made one. Later writes keep the mode.
  // Where the system keeps no such modes it is an ordinary new file.
  virtual bool CreateOwnerOnlyFile(const std::string& /*path*/) { return false; }
  // Appends under an exclusive lock, so that concurrent appends stay whole; a
  // failed append leaves the file as it was.
  virtual bool AppendFile(const std::string& path, const std::string& bytes) = 0;
  // Opens (creating it when missing) a file for appending; nullptr when it
  // cannot be opened.
  virtual std::unique_ptr<AppendTarget> OpenForAppend(const std::string& path) = 0;
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // Lets a downloaded program run: the execute bits beside each read bit where
  // the system keeps them; nothing to do where it does not (Windows).
  virtual bool MakeExecutable(const std::string& /*path*/) { return true; }
  // Puts `replacement` in the place of the regular file `target` with one
  // rename, after giving it the target's permissions, and keeps the old file
  // under `backup` (an earlier backup goes). A read-only target is refused as
  // WriteFileAtomic refuses it. On false the target is as it was and no backup
  // was left; the replacement is the caller's to remove.
  virtual bool ReplaceKeepingBackup(const std::string& /*target*/,
                                    const std::string& /*replacement*/,
                                    const std::string& /*backup*/) {
    return false;
  }
  virtual bool Remove(const std::string& path) = 0;
  // Entries of one folder ("." and ".." left out); nullopt when it cannot be read.
  virtual std::optional<std::vector<DirectoryEntry>> List(const std::string& directory) = 0;
  // The entry a path names, as List would give it; walks use it for the identity
  // of the folder they start in. nullopt when unknown.
  virtual std::optional<DirectoryEntry> Inspect(const std::string& /*path*/) {
    return std::nullopt;
  }
  virtual std::string CurrentDirectory() = 0;
  virtual std::string ExecutableDirectory() = 0;
  // The user's folder for temporary files; empty when the system names none.
  virtual std::string TemporaryDirectory() { return {}; }
};

}  // namespace platform
