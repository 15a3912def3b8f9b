// The length of an Ogg Vorbis file, read from its bytes: the sample rate from
// the identification header near the start, the last positive granule
// position near the end.
#pragma once

#include <cstdint>
#include <string>

namespace zor {

// Length in milliseconds (truncated); 0 when it cannot be told: an empty path,
// a file that is not a regular file or cannot be read, no identification
// header, a rate of 0 or less, no page with a positive granule position, or a
// length that does not fit 32 bits.
int32_t readOggDuration(const std::string& path);

}  // namespace zor
