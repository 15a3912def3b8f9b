#include "game/render/projection.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "game/game.h"
#include "game/render/fill.h"

namespace zor {

namespace {

constexpr float kPixelLimit = static_cast<float>(1 << 30);
constexpr int64_t kCoordLimit = int64_t{1} << 30;

// Clamps a span to -2^30..2^30; the fill clips the rest to the output.
bool clampSpan(int64_t& start, int64_t& length) {
  if (length <= 0) return false;
  int64_t end = start + length;
  if (end <= -kCoordLimit || start >= kCoordLimit) return false;
  start = std::max(start, -kCoordLimit);
  end = std::min(end, kCoordLimit - 1);  // the length then fits in int32
  length = end - start;
  return length > 0;
}

}  // namespace

int32_t nearestEven(float v) {
  if (std::isnan(v)) return 0;
  if (v >= kPixelLimit) return 1 << 30;
  if (v <= -kPixelLimit) return -(1 << 30);
  // The default rounding mode rounds halves to even.
  return static_cast<int32_t>(std::nearbyint(v));
}

int32_t nearestAway(float v) {
  if (std::isnan(v)) return 0;
  if (v >= kPixelLimit) return 1 << 30;
  if (v <= -kPixelLimit) return -(1 << 30);
  return static_cast<int32_t>(std::round(v));
}

int32_t makeRgb(int32_t r, int32_t g, int32_t b) {
  const uint32_t v = static_cast<uint32_t>(r) + static_cast<uint32_t>(g) * 256u +
                     static_cast<uint32_t>(b) * 65536u;
  return static_cast<int32_t>(v);
}

int32_t blendColour(int32_t a, int32_t b, float t) {
  const uint32_t ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
  int32_t out[3];
  for (int i = 0; i < 3; ++i) {
    const int32_t ca = static_cast<int32_t>((ua >> (8 * i)) & 0xFFu);
    const int32_t cb = static_cast<int32_t>((ub >> (8 * i)) & 0xFFu);
    out[i] = ca + truncateToPixel(static_cast<float>(cb - ca) * t);
  }
  return makeRgb(out[0], out[1], out[2]);
}

int64_t Projection::scale(float length, float d) const { return truncateToPixel(focal * length / d); }

bool Projection::inView(int64_t left, int64_t top, int64_t width, int64_t height) const {
  return left < int64_t{pixelWidth} - leftBar && left + width >= leftBar &&
         top < int64_t{pixelHeight} - topBar && top + height >= topBar;
}

Projection projectionFor(const Game& game) {
  const ScreenInfo& info = game.screen.info;
  Projection p;
  p.focal = game.screen.focalValue;
  p.centreX = info.centreX;
  p.centreY = info.centreY;
  p.camera = game.world.cameraPosition;
  p.pixelWidth = info.pixelWidth;
  p.pixelHeight = info.pixelHeight;
  p.viewWidth = info.viewWidth;
  p.leftBar = info.leftBar;
  p.topBar = info.topBar;
  p.borderWidth = game.screen.borderWidth;
  return p;
}

SwishFactors swishFactors(float amount, float angle) {
  SwishFactors s;
  if (amount == 0.0f) return s;
  s.active = true;
  s.kx = 1.0f + 0.1f * amount * std::sin(angle);
  s.ky = 1.0f + 0.1f * amount * std::cos(angle);
  return s;
}

void fillRect(ShapeFill& fill, int64_t x, int64_t y, int64_t width, int64_t height, int32_t colour) {
  if (!clampSpan(x, width) || !clampSpan(y, height)) return;
  fill.fillBox(static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(width),
               static_cast<int32_t>(height), colour);
}

void fillDisc(ShapeFill& fill, int64_t x, int64_t y, int64_t radius, int32_t colour) {
  if (radius < 0) return;
  if (x + radius < -kCoordLimit || x - radius > kCoordLimit) return;
  if (y + radius < -kCoordLimit || y - radius > kCoordLimit) return;
  // The projection keeps centres and radii within about 2^31 / 2 of the screen, so this
  // only guards the conversion.
  constexpr int64_t kMax = INT32_MAX;
  x = std::clamp(x, -kMax, kMax);
  y = std::clamp(y, -kMax, kMax);
  radius = std::min(radius, kMax);
  fill.fillDisc(static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(radius), colour);
}

}  // namespace zor
