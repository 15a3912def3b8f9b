// Projection of world points onto the screen through the camera, the view
// test, the colour blend, and filled shapes whose coordinates may lie far off
// the screen. Projected values are kept in 64-bit integers so that far, near or
// huge objects never overflow; they are clamped only when handed to the fill.
#pragma once

#include <cstdint>

#include "game/world/world.h"
#include "platform/framebuffer.h"

namespace zor {

struct Game;

// Shapes whose depth in front of the camera is this or less are not drawn.
inline constexpr float kNearLimit = 5.0f;

// Float to int32, ties to the even neighbour. NaN gives 0; values beyond +-2^30
// are held at +-2^30.
int32_t nearestEven(float v);
// Float to int32, ties away from zero; NaN and the range as nearestEven.
int32_t nearestAway(float v);

// r + g * 256 + b * 65536, the components not masked (wrapping in 32 bits).
int32_t makeRgb(int32_t r, int32_t g, int32_t b);
// Colour a blended toward b by t, per component: c + truncate((d - c) * t).
int32_t blendColour(int32_t a, int32_t b, float t);

// The camera and screen as the drawing of one frame sees them.
struct Projection {
  float focal = 0.0f;  // focalValue
  int32_t centreX = 0, centreY = 0;
  Vec3 camera;
  int32_t pixelWidth = 0, pixelHeight = 0;
  int32_t viewWidth = 0;
  int32_t leftBar = 0, topBar = 0;
  int32_t borderWidth = 0;

  // truncate(f * length / d): a length (or an offset from the camera) at depth
  // distance d in pixels.
  int64_t scale(float length, float d) const;
  // Screen x of a point rx right of the camera: cx + truncate(f * rx / d).
  int64_t screenX(float rx, float d) const { return int64_t{centreX} + scale(rx, d); }
  // Screen y of a point ry above the camera: cy - truncate(f * ry / d).
  int64_t screenY(float ry, float d) const { return int64_t{centreY} - scale(ry, d); }

  // The view test: the rectangle reaches into the area between the bars.
  bool inView(int64_t left, int64_t top, int64_t width, int64_t height) const;
};

// The projection of the game's current camera and screen.
Projection projectionFor(const Game& game);

// The swish distortion's factors: kx = 1 + 0.1 * amount * sin(angle),
// ky = 1 + 0.1 * amount * cos(angle); active when amount is not 0.
struct SwishFactors {
  bool active = false;
  float kx = 1.0f;
  float ky = 1.0f;
};
SwishFactors swishFactors(float amount, float angle);

// Filled rectangle with 64-bit coordinates: clamped to what the fill can take
// without changing which pixels of any real output it covers.
void fillRect(ShapeFill& fill, int64_t x, int64_t y, int64_t width, int64_t height, int32_t colour);
// Filled disc with 64-bit centre and radius; a disc that cannot reach any real
// output, or with a negative radius, draws nothing.
void fillDisc(ShapeFill& fill, int64_t x, int64_t y, int64_t radius, int32_t colour);

}  // namespace zor
