// The menu screens' ids: what the program shell's menuScreen holds.
#pragma once

#include <cstdint>

namespace zor::menu_screen {

inline constexpr int32_t Main = 0;
inline constexpr int32_t NewGame = 1;
inline constexpr int32_t Speedruns = 2;
inline constexpr int32_t ConfirmDelete = 3;
inline constexpr int32_t ZoneRecords = 4;
inline constexpr int32_t Results = 5;
inline constexpr int32_t Settings = 6;
inline constexpr int32_t Audio = 7;
inline constexpr int32_t Video = 8;
inline constexpr int32_t ScreenSizes = 9;
inline constexpr int32_t Keyboard = 10;  // the keys are being captured
inline constexpr int32_t Gamepad = 11;
inline constexpr int32_t Configure = 12;
inline constexpr int32_t Credits = 13;
inline constexpr int32_t RunPause = 14;

}  // namespace zor::menu_screen
