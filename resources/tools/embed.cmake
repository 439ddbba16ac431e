# Writes one resource file as a C++ byte array.
# cmake -DIN=<file> -DOUT=<cpp> -DSYMBOL=<name> -P embed.cmake
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
if(size EQUAL 0)
  set(bytes "0x00")
else()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
endif()
get_filename_component(name "${IN}" NAME)
file(WRITE "${OUT}.tmp" "// Made from ${name} by resources/tools/embed.cmake; do not edit.
#include <cstddef>

namespace resources::embedded {
extern const unsigned char ${SYMBOL}[];
extern const std::size_t ${SYMBOL}_size;
alignas(16) const unsigned char ${SYMBOL}[] = {${bytes}};
const std::size_t ${SYMBOL}_size = ${size};
}  // namespace resources::embedded
")
file(RENAME "${OUT}.tmp" "${OUT}")
