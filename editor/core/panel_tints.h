// The tints of the panel fields that name or place an object: masks AND-ed
// with the desktop's window colour, all colours 0x00BBGGRR.
#pragma once

#include <cstdint>

namespace zor::editor::tint {

inline constexpr int32_t LevelZ = 0xE0FFFF;
inline constexpr int32_t EntranceName = 0xFFE0E0;
inline constexpr int32_t AreaLimits = 0xE0E0FF;
inline constexpr int32_t BlockName = 0xE0FFE0;

inline constexpr int32_t apply(int32_t windowColour, int32_t mask) { return windowColour & mask; }

}  // namespace zor::editor::tint
