#include "editor/core/canvas_projection.h"

#include <cmath>

namespace zor::editor {

int32_t clampScreen(float value) {
  if (std::isnan(value)) return -kScreenLimit;
  constexpr float limit = static_cast<float>(kScreenLimit);
  if (value >= limit) return kScreenLimit;
  if (value <= -limit) return -kScreenLimit;
  return static_cast<int32_t>(value);  // truncates toward zero
}

int32_t Projection::screenX(float x, float zrel) const {
  return width / 2 + clampScreen(scale * (x - camera.x) / zrel);
}

int32_t Projection::screenY(float y, float zrel) const {
  return height / 2 - clampScreen(scale * (y - camera.y) / zrel);
}

int32_t Projection::screenLength(float length, float zrel) const { return clampScreen(scale * length / zrel); }

float Projection::worldX(float px, float zrel) const {
  return zrel * (px - static_cast<float>(width) / 2.0f) / scale + camera.x;
}

float Projection::worldY(float py, float zrel) const {
  return zrel * (static_cast<float>(height) / 2.0f - py) / scale + camera.y;
}

}  // namespace zor::editor
