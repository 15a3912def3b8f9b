#include "editor/core/canvas_projection.h"

namespace zor::editor {

float Projection::worldX(float px, float zrel) const {
  return zrel * (px - static_cast<float>(width) / 2.0f) / scale + camera.x;
}

float Projection::worldY(float py, float zrel) const {
  return zrel * (static_cast<float>(height) / 2.0f - py) / scale + camera.y;
}

}  // namespace zor::editor
