// The canvas's perspective: world points on a depth seen from the camera, and back.
//
// A point at depth z is seen at zrel = z - camera z; only zrel >= kNearestDepth is drawn
// or hit. Screen x = W div 2 + trunc(F (x - camx) / zrel), screen y = H div 2 -
// trunc(F (y - camy) / zrel). Screen coordinates are clamped to +-kScreenLimit so that
// sums and differences of a few of them never overflow; anything that far out lies off
// every canvas anyway.
#pragma once

#include <cstdint>

namespace zor::editor {

inline constexpr float kProjectionScale = 500.0f / 3.0f;
inline constexpr float kNearestDepth = 5.0f;
inline constexpr int32_t kScreenLimit = int32_t(1) << 28;

struct CanvasCamera {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
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

inline int32_t Projection::screenLength(float length, float zrel) const { return clampScreen(scale * length / zrel); }

}  // namespace zor::editor
