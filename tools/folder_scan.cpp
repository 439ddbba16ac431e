#include "tools/folder_scan.h"

#include <unordered_set>
#include <utility>

#include "tools/ansi_text.h"

namespace tools {
namespace {

struct Identity {
  std::uint64_t device;
  std::uint64_t inode;
  bool operator==(const Identity& other) const {
    return device == other.device && inode == other.inode;
  }
};

struct IdentityHash {
  std::size_t operator()(const Identity& id) const {
    return std::hash<std::uint64_t>()(id.inode * 0x9E3779B97F4A7C15u ^ id.device);
  }
};

struct Walker {
  platform::FileSystem& files;
  const std::function<bool(std::string_view)>& accept;
  const std::function<void(const std::string&)>& visit;
  char separator;
  // Folders and files met so far: links and second names lead to each only once.
  std::unordered_set<Identity, IdentityHash> folders;
  std::unordered_set<Identity, IdentityHash> seenFiles;

  // True the first time an identity turns up; unknown ones always count as new.
  static bool First(std::unordered_set<Identity, IdentityHash>& seen,
                    const platform::DirectoryEntry& entry) {
    if (entry.device == 0 && entry.inode == 0) return true;
    return seen.insert({entry.device, entry.inode}).second;
  }

  void Walk(const std::string& folder) {
    // An empty folder text stands for the root, as "\\*.*" would on the system drive.
    std::optional<std::vector<platform::DirectoryEntry>> entries =
        files.List(folder.empty() ? std::string(1, separator) : folder);
    if (!entries) return;
    for (const platform::DirectoryEntry& entry : *entries) {
      if (entry.name == "." || entry.name == "..") continue;
      std::string path = folder;
      path += separator;
      path += entry.name;
      if (entry.isDirectory) {
        if (First(folders, entry)) Walk(path);
      } else if (platform::IsRewriteTemporaryName(entry.name)) {
        // What a killed rewrite left behind is no file of the user's.
        files.RemoveAbandoned(path);
      } else if (accept(entry.name) && First(seenFiles, entry)) {
        visit(path);
      }
    }
  }
};

// Case-blind wildcard match of one mask against the whole name, by characters.
bool MatchMask(std::string_view name, std::string_view mask) {
  std::size_t n = 0;
  std::size_t m = 0;
  std::size_t starMask = kNotFound;
  std::size_t starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = ++m;
      starName = n;
      continue;
    }
    if (m < mask.size()) {
      std::size_t nl = AnsiCharLength(name, n);
      std::size_t ml = AnsiCharLength(mask, m);
      bool same = mask[m] == '?' || EqualsNoCaseAnsi(name.substr(n, nl), mask.substr(m, ml));
      if (same) {
        n += nl;
        m += ml;
        continue;
      }
    }
    if (starMask == kNotFound) return false;
    // Let the last "*" take one more character and try again from there.
    starName += AnsiCharLength(name, starName);
    n = starName;
    m = starMask;
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace

bool MatchesSuffix(std::string_view name, std::string_view suffix) {
  if (suffix.size() > name.size()) return false;
  return EqualsNoCaseAnsi(name.substr(name.size() - suffix.size()), suffix);
}

bool MatchesExtensionList(std::string_view name, std::string_view list) {
  std::size_t dot = name.rfind('.');
  std::string extension = LowerAnsi(dot == std::string_view::npos ? name : name.substr(dot + 1));
  std::string lowered = LowerAnsi(list);
  std::string_view tokens = lowered;
  while (!tokens.empty()) {
    std::size_t end = tokens.find(';');
    std::string_view token = tokens.substr(0, end);
    if (!token.empty() && token == extension) return true;
    if (end == std::string_view::npos) break;
    tokens.remove_prefix(end + 1);
  }
  return false;
}

bool MatchesPattern(std::string_view name, std::string_view patterns) {
  while (!patterns.empty()) {
    while (!patterns.empty() && patterns.front() == ' ') patterns.remove_prefix(1);
    std::size_t end = patterns.find(';');
    std::string_view mask = patterns.substr(0, end);
    if (mask == "*.*" || MatchMask(name, mask)) return true;
    if (end == std::string_view::npos) break;
    patterns.remove_prefix(end + 1);
  }
  return false;
}

void WalkFolder(platform::FileSystem& files, const std::string& folder,
                const std::function<bool(std::string_view name)>& accept,
                const std::function<void(const std::string& path)>& visit) {
  Walker walker{files, accept, visit, files.Separator(), {}, {}};
  std::optional<platform::DirectoryEntry> root =
      files.Inspect(folder.empty() ? std::string(1, walker.separator) : folder);
  if (root) Walker::First(walker.folders, *root);
  walker.Walk(folder);
}

std::vector<std::string> ScanFolderBySuffix(platform::FileSystem& files, const std::string& folder,
                                            const std::string& suffix) {
  std::vector<std::string> found;
  WalkFolder(
      files, folder, [&](std::string_view name) { return MatchesSuffix(name, suffix); },
      [&](const std::string& path) { found.push_back(path); });
  return found;
}

void ScanFolderByExtensionList(platform::FileSystem& files, const std::string& folder,
                               const std::function<std::string()>& filter,
                               const std::function<void(const std::string& path)>& visit) {
  WalkFolder(
      files, folder, [&](std::string_view name) { return MatchesExtensionList(name, filter()); },
      visit);
}

std::vector<std::string> ScanFolderByPattern(platform::FileSystem& files, const std::string& folder,
                                             const std::string& patterns) {
  std::vector<std::string> found;
  WalkFolder(
      files, folder, [&](std::string_view name) { return MatchesPattern(name, patterns); },
      [&](const std::string& path) { found.push_back(path); });
  return found;
}

}  // namespace tools
