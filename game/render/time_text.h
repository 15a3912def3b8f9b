// Clock texts: the play time of the debug overlay and the "%TIME%" placeholder
// of titles, and the minutes-and-seconds text of the run clock and the record
// screens. Both count 60 frames a second.
#pragma once

#include <cstdint>
#include <string>

namespace zor {

// While a speedrun runs (speedrunRunning), its 180 countdown frames are taken off
// first, never below 0. Below one hour "m:ss" (minutes not padded), from one hour
// on "h:mm:ss". A negative count reads as 0.
std::string formatFrameTime(int32_t frames, bool speedrunRunning);

// "m:ss" with the minutes not split into hours (216000 frames read 60:00). A
// negative count reads as 0.
std::string formatMinutesSeconds(int64_t frames);

}  // namespace zor
