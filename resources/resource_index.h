#pragma once
#include <cstddef>
#include <span>

#include "resources/resource_data.h"

// The table of built-in resources; the build generates its definition from
// the files under resources/{bitmaps,icons,sounds}.
namespace resources::embedded {

struct Entry {
  Kind kind;
  int id;
  const unsigned char* data;
  std::size_t size;
};

std::span<const Entry> Entries();

}  // namespace resources::embedded
