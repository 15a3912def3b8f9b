// Word-box signs: a line of the pixel font, optionally on a framed panel,
// standing in the world at a depth and drawn in perspective like a block. The
// text is stretched over whatever box the sign has.
#pragma once

#include <cstdint>

#include "game/render/projection.h"
#include "game/script/script_state.h"
#include "platform/framebuffer.h"

namespace zor {

struct Game;

// Where a sign lands on the screen this frame.
struct SignPlacement {
  bool beyondNearLimit = false;  // more than the near limit in front of the camera
  bool visible = false;          // reaches into the view between the bars
  int64_t sx = 0, sy = 0;        // top-left pixel
  int64_t sw = 0, sh = 0;        // size in pixels
};
SignPlacement placeSign(const Game& game, const Projection& projection, const WordBox& box);

// Draws one sign when it is in view. Changes nothing: its seen and remove flags
// are kept by updateSignFlags, once per game frame.
void drawSign(const Game& game, const Projection& projection, ShapeFill& fill, const WordBox& box);
void drawSign(const Game& game, ShapeFill& fill, const WordBox& box);

// A sign beyond the near limit becomes seen when it is in view; a disappearing
// sign that was seen and is out of view is marked for removal. A sign at or
// before the near limit keeps its flags.
void updateSignFlags(const Game& game, const Projection& projection, WordBox& box);

}  // namespace zor
