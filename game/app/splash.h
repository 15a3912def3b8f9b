// The splash at start-up: the game's logo with a short jingle, then a black
// screen, each ended early by a key being let go.
#pragma once

#include <cstdint>

namespace zor {

struct Game;
class AppPlatform;

// The logo's size in logo pixels before it is scaled to the output.
inline constexpr int32_t kLogoWidth = 64;
inline constexpr int32_t kLogoHeight = 48;

struct LogoPlacement {
  int32_t x = 0, y = 0, width = 0, height = 0;
};
// The logo scaled to the output width (64 logo pixels per 240 output pixels),
// centred on the output.
LogoPlacement placeLogo(int32_t outputWidth, int32_t outputHeight);

// Shows the logo for showMs and black for blankMs; blocks until done. The
// jingle, which the program carries, plays once when sounds are on.
void showSplash(Game& game, AppPlatform& platform, int32_t showMs, int32_t blankMs);

}  // namespace zor
