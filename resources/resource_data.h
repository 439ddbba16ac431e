#pragma once
#include <optional>
#include <string_view>

// The program's bitmaps, icons and sounds, built into the executable so every
// backend finds them by id without files on disk.
namespace resources {

enum class Kind { Bitmap, Icon, Wave };

// The resource's file bytes (a BMP, ICO or WAVE file), or nullopt when the
// program has no resource of that kind and id.
std::optional<std::string_view> Find(Kind kind, int id);

}  // namespace resources
