// One block of the running zone as pixels: a checkpoint disc, a horizon band,
// or a box with its border and face, projected through the camera.
#pragma once

#include <cstdint>

#include "game/render/projection.h"
#include "game/world/records.h"
#include "platform/framebuffer.h"

namespace zor {

struct Game;

// The colours an active checkpoint without a third colour runs through, by index.
inline constexpr int kRainbowColourCount = 7;
inline constexpr int32_t kRainbowColours[kRainbowColourCount] = {
    0x0000FF,  // (255, 0, 0)
    0x0080FF,  // (255, 128, 0)
    0x00FFFF,  // (255, 255, 0)
    0x00FF00,  // (0, 255, 0)
    0xFF8000,  // (0, 128, 255)
    0xFF0000,  // (0, 0, 255)
    0xFF00FF,  // (255, 0, 255)
};
// The rainbow colour for an index; any index is taken modulo the table's size.
int32_t rainbowColour(int64_t index);

// Draws one object with the game's camera, screen and swish. Returns 1 when the
// object lies at or behind the near limit (nothing drawn), else 0. The object is
// not changed: the colour cycle of the current checkpoint is advanced by
// advanceCheckpointCycle, once per game frame.
int32_t drawBlock(Game& game, ShapeFill& fill, const ObjectRecord& object);
// The same with a projection already made for this frame.
int32_t drawBlock(const Game& game, const Projection& projection, ShapeFill& fill,
                  const ObjectRecord& object);

// The part of drawing a checkpoint that changes it: when the object is the current
// checkpoint, lies beyond the near limit and its disc is in view, its phase
// advances by 0.1 and its colours step on at each whole phase. Returns whether it
// advanced.
bool advanceCheckpointCycle(Game& game, const Projection& projection, ObjectRecord& object);

}  // namespace zor
