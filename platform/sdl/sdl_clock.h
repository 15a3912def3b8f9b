// The millisecond clock and sleeps.
#pragma once

#include <cstdint>

namespace zor {

// Milliseconds since SDL's clock started (the first call at the latest); wraps after 49 days.
uint32_t elapsedMilliseconds();
// Sleeps for ms milliseconds; 0 or less returns at once.
void delayMilliseconds(int32_t ms);

}  // namespace zor
