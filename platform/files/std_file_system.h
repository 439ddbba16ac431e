#pragma once
#include "platform/file_system.h"

namespace platform {

// The file system through std::filesystem, for Linux and Windows alike. GBK paths
// become UTF-8 on Linux and UTF-16 on Windows at this edge (names GBK cannot
// spell travel as path text, platform/files/path_text.h); what the system cannot
// do portably (exclusive create, locks, file identity) sits behind _WIN32.
class StdFileSystem : public FileSystem {
 public:
  StdFileSystem();
  char Separator() const override;
  bool Exists(const std::string& path) override;
  bool IsDirectory(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  bool WriteFileAtomic(const std::string& path, const std::string& bytes) override;
  bool RewriteFile(const std::string& path, const std::string& bytes) override;
  bool RewriteFileParts(const std::string& path, std::string_view head,
                        std::string_view body) override;
  bool RemoveAbandoned(const std::string& path) override;
  void ReserveText(std::string& buffer, std::size_t size) override;
  bool CreateOwnerOnlyFile(const std::string& path) override;
  bool AppendFile(const std::string& path, const std::string& bytes) override;
  std::unique_ptr<AppendTarget> OpenForAppend(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool MakeExecutable(const std::string& path) override;
  bool ReplaceKeepingBackup(const std::string& target, const std::string& replacement,
                            const std::string& backup) override;
  bool Remove(const std::string& path) override;
  std::optional<std::vector<DirectoryEntry>> List(const std::string& directory) override;
  std::optional<DirectoryEntry> Inspect(const std::string& path) override;
  std::string CurrentDirectory() override;
  std::string ExecutableDirectory() override;
  std::string TemporaryDirectory() override;
};

}  // namespace platform
