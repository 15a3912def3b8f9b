// The built-in default game, compressed into the program by the build:
// a 32-bit little-endian length of the XML text followed by a zlib stream of it.
#pragma once

#include <cstddef>

namespace zor {
extern const unsigned char kBuiltinGame[];
extern const std::size_t kBuiltinGameSize;
}  // namespace zor
