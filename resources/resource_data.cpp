#include "resources/resource_data.h"

#include "resources/resource_index.h"

namespace resources {

std::optional<std::string_view> Find(Kind kind, int id) {
  for (const embedded::Entry& entry : embedded::Entries()) {
    if (entry.kind == kind && entry.id == id) {
      return std::string_view(reinterpret_cast<const char*>(entry.data), entry.size);
    }
  }
  return std::nullopt;
}

}  // namespace resources
