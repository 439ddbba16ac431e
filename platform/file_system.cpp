#include "platform/file_system.h"

namespace platform {

bool IsRewriteTemporaryName(std::string_view name) {
  constexpr std::string_view kPrefix = ".orvane-";
  constexpr std::string_view kSuffix = ".tmp";
  if (name.size() <= kPrefix.size() + kSuffix.size() || name.substr(0, kPrefix.size()) != kPrefix ||
      name.substr(name.size() - kSuffix.size()) != kSuffix) {
    return false;
  }
  std::string_view middle =
      name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
  const std::size_t dash = middle.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == middle.size()) return false;
  for (std::size_t i = 0; i < middle.size(); ++i) {
    if (i != dash && (middle[i] < '0' || middle[i] > '9')) return false;
  }
  return true;
}

}  // namespace platform
