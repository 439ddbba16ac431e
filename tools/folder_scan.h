#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace tools {

// Name filters of the three walks; `name` is the file name only.
// Extract: the name ends with the filter text, ignoring case; empty matches all.
bool MatchesSuffix(std::string_view name, std::string_view suffix);
// Replace: the text after the last "." equals one of the ";"-separated tokens
// (untrimmed), ignoring case; empty matches nothing.
bool MatchesExtensionList(std::string_view name, std::string_view list);
// Download: any of the ";"-separated wildcard masks matches the whole name.
bool MatchesPattern(std::string_view name, std::string_view patterns);

// Calls `visit` with the full path of every file below `folder`, depth first in
// the order the file system lists them, and `accept` decides. A folder that
// cannot be listed adds nothing. Each folder and each file is taken once, by
// its identity, whatever links or second names lead to it again. Temporaries
// of rewrites are skipped, and removed when no running rewrite owns them.
void WalkFolder(platform::FileSystem& files, const std::string& folder,
                const std::function<bool(std::string_view name)>& accept,
                const std::function<void(const std::string& path)>& visit);

std::vector<std::string> ScanFolderBySuffix(platform::FileSystem& files, const std::string& folder,
                                            const std::string& suffix);
// The filter is fetched again for every file tested, so a change made while
// the walk runs applies from the next file on.
void ScanFolderByExtensionList(platform::FileSystem& files, const std::string& folder,
                               const std::function<std::string()>& filter,
                               const std::function<void(const std::string& path)>& visit);
std::vector<std::string> ScanFolderByPattern(platform::FileSystem& files, const std::string& folder,
                                             const std::string& patterns);

}  // namespace tools
