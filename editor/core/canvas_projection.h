// The canvas's perspective: world points on a depth seen from the camera, and back.
//
// A point at depth z is seen at zrel = z - camera z; only zrel >= kNearestDepth is drawn
// or hit. Screen x = W div 2 + trunc(F (x - camx) / zrel), screen y = H div 2 -
// trunc(F (y - camy) / zrel). Screen coordinates are clamped to +-kScreenLimit so that
// sums and differences of a few of them never overflow; anything that far out lies off
// every canvas anyway.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zor::editor {

inline constexpr float kProjectionScale = 500.0f / 3.0f;
inline constexpr float kNearestDepth = 5.0f;
inline constexpr int32_t kScreenLimit = int32_t(1) << 28;

struct CanvasCamera {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// The screen corners of a world rectangle: columns left and right (screen x of its
// left and right edges), rows top and bottom (screen y of its upper and lower edges).
struct ScreenCorners {
  int32_t left, right, top, bottom;
};

struct Projection {
  int32_t width = 0;   // W, canvas pixels
  int32_t height = 0;  // H
  float scale = kProjectionScale;  // F
  CanvasCamera camera;

  // Depth of z relative to the camera.
  float relativeDepth(float z) const { return z - camera.z; }
  // True when something at this relative depth is drawn and can be hit (false for NaN).
  static bool inView(float zrel) { return zrel >= kNearestDepth; }

  int32_t screenX(float x, float zrel) const;
  int32_t screenY(float y, float zrel) const;
  // A length in world units at this depth, in pixels (trunc(F len / zrel)), clamped.
  int32_t screenLength(float length, float zrel) const;

  // The corners of the world rectangle x..x+w by y..y+h at this depth: the same as
  // screenX(x), screenX(x + w), screenY(y + h) and screenY(y), found together.
  ScreenCorners corners(float x, float y, float w, float h, float zrel) const;

  // The world point under the canvas pixel (px, py) at this relative depth.
  float worldX(float px, float zrel) const;
  float worldY(float py, float zrel) const;
};

// Truncates toward zero and clamps to +-kScreenLimit; NaN gives -kScreenLimit (off the canvas).
inline int32_t clampScreen(float value) {
  constexpr float limit = static_cast<float>(kScreenLimit);
  if (value >= limit) return kScreenLimit;
  if (value > -limit) return static_cast<int32_t>(value);  // truncates toward zero
  return -kScreenLimit;                                     // also NaN
}

// Inline: the canvas projects every corner of every object it draws.
inline int32_t Projection::screenX(float x, float zrel) const {
  return width / 2 + clampScreen(scale * (x - camera.x) / zrel);
}

inline int32_t Projection::screenY(float y, float zrel) const {
  return height / 2 - clampScreen(scale * (y - camera.y) / zrel);
}

inline ScreenCorners Projection::corners(float x, float y, float w, float h, float zrel) const {
#if defined(__SSE2__)
  // The four projections side by side: each lane takes the same single-precision
  // steps as screenX and screenY, so the results are the same to the bit.
  const __m128 world = _mm_setr_ps(x, x + w, y + h, y);
  const __m128 cam = _mm_setr_ps(camera.x, camera.x, camera.y, camera.y);
  const __m128 v = _mm_div_ps(_mm_mul_ps(_mm_set1_ps(scale), _mm_sub_ps(world, cam)), _mm_set1_ps(zrel));
  constexpr float limit = static_cast<float>(kScreenLimit);
  const __m128 atLimit = _mm_cmpge_ps(v, _mm_set1_ps(limit));
  const __m128 aboveLow = _mm_cmpgt_ps(v, _mm_set1_ps(-limit));  // false for NaN
  __m128i c = _mm_cvttps_epi32(v);
  c = _mm_or_si128(_mm_and_si128(_mm_castps_si128(aboveLow), c),
                   _mm_andnot_si128(_mm_castps_si128(aboveLow), _mm_set1_epi32(-kScreenLimit)));
  c = _mm_or_si128(_mm_and_si128(_mm_castps_si128(atLimit), _mm_set1_epi32(kScreenLimit)),
                   _mm_andnot_si128(_mm_castps_si128(atLimit), c));
  alignas(16) int32_t lanes[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), c);
  return {width / 2 + lanes[0], width / 2 + lanes[1], height / 2 - lanes[2], height / 2 - lanes[3]};
#else
  return {screenX(x, zrel), screenX(x + w, zrel), screenY(y + h, zrel), screenY(y, zrel)};
#endif
}

inline int32_t Projection::screenLength(float length, float zrel) const { return clampScreen(scale * length / zrel); }

}  // namespace zor::editor
