#include "platform/sdl/sdl_clock.h"

#include <SDL.h>

namespace zor {

uint32_t elapsedMilliseconds() { return static_cast<uint32_t>(SDL_GetTicks64()); }

void delayMilliseconds(int32_t ms) {
  if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

}  // namespace zor
