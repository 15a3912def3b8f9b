#include "editor/core/canvas_image.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cwchar>

namespace zor::editor {

namespace {
using Wide = __int128;
// Radii are capped here (far beyond any image) so that the exact inside test of a round
// shape fits in 128 bits.
constexpr int64_t kMaxRadius = int64_t(1) << 30;
}

void CanvasImage::resize(int32_t width, int32_t height) {
  width_ = std::max<int32_t>(width, 0);
  height_ = std::max<int32_t>(height, 0);
  if (width_ == 0 || height_ == 0) width_ = height_ = 0;
  pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
}

uint32_t CanvasImage::at(int64_t x, int64_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0xFFFFFFFFu;
  return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

namespace {

// Sets n pixels to one colour through the C library's wide fill, which uses the widest
// stores the processor has (a wide character is a 32-bit value here).
static_assert(sizeof(wchar_t) == sizeof(uint32_t));
void setPixels(uint32_t* p, size_t n, uint32_t colour) {
  if (n < 16) {
    std::fill(p, p + n, colour);
  } else {
    std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(colour), n);
  }
}

}  // namespace

void CanvasImage::fill(uint32_t colour) { setPixels(pixels_.data(), pixels_.size(), colour); }

void CanvasImage::span(int64_t y, int64_t x0, int64_t x1, const Pen& pen) {
  if (y < 0 || y >= height_ || x1 < 0 || x0 >= width_ || x0 > x1) return;
  x0 = std::max<int64_t>(x0, 0);
  x1 = std::min<int64_t>(x1, width_ - 1);
  uint32_t* row = pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
  if (pen.exclusiveOr) {
    for (int64_t x = x0; x <= x1; ++x) row[x] ^= pen.colour;
  } else {
    setPixels(row + x0, static_cast<size_t>(x1 - x0 + 1), pen.colour);
  }
}

void CanvasImage::plot(int64_t x, int64_t y, const Pen& pen) { span(y, x, x, pen); }

void CanvasImage::box(int64_t x, int64_t y, int64_t width, int64_t height, const Pen& pen) {
  if (width == 0 || height == 0) return;
  // Corners as inclusive pixel bounds; a negative size extends the box the other way.
  // Wide arithmetic, then clamped to just outside the image, so no sum overflows.
  Wide l = width > 0 ? Wide(x) : Wide(x) + width + 1;
  Wide r = width > 0 ? Wide(x) + width - 1 : Wide(x);
  Wide t = height > 0 ? Wide(y) : Wide(y) + height + 1;
  Wide b = height > 0 ? Wide(y) + height - 1 : Wide(y);
  if (r < 0 || l >= width_ || b < 0 || t >= height_) return;
  int64_t left = static_cast<int64_t>(std::max<Wide>(l, -1));
  int64_t right = static_cast<int64_t>(std::min<Wide>(r, width_));
  int64_t top = static_cast<int64_t>(std::max<Wide>(t, -1));
  int64_t bottom = static_cast<int64_t>(std::min<Wide>(b, height_));
  if (!pen.outlined) {
    int64_t y0 = std::max<int64_t>(top, 0), y1 = std::min<int64_t>(bottom, height_ - 1);
    for (int64_t row = y0; row <= y1; ++row) span(row, left, right, pen);
    return;
  }
  span(top, left, right, pen);
  if (bottom != top) span(bottom, left, right, pen);
  // The sides without the corners, so that no pixel is drawn twice; a side off the
  // image costs nothing.
  const int64_t y0 = std::max<int64_t>(top + 1, 0), y1 = std::min<int64_t>(bottom - 1, height_ - 1);
  if (y0 > y1) return;
  column(left, y0, y1, pen);
  if (right != left) column(right, y0, y1, pen);
}

void CanvasImage::column(int64_t x, int64_t y0, int64_t y1, const Pen& pen) {
  if (x < 0 || x >= width_) return;
  const size_t stride = static_cast<size_t>(width_);
  uint32_t* p = pixels_.data() + static_cast<size_t>(y0) * stride + static_cast<size_t>(x);
  const uint32_t* end = p + static_cast<size_t>(y1 - y0 + 1) * stride;
  if (pen.exclusiveOr) {
    for (; p != end; p += stride) *p ^= pen.colour;
  } else {
    for (; p != end; p += stride) *p = pen.colour;
  }
}

int64_t CanvasImage::ellipseHalfWidth(int64_t rx, int64_t ry, int64_t dy) {
  // A pixel (dx, dy) is inside when it lies within the ellipse of radii rx + 1/2 and
  // ry + 1/2: 4dx^2 (2ry+1)^2 + 4dy^2 (2rx+1)^2 <= (2rx+1)^2 (2ry+1)^2.
  if (dy < -ry || dy > ry) return -1;
  Wide a = Wide(2 * rx + 1) * Wide(2 * rx + 1);
  Wide b = Wide(2 * ry + 1) * Wide(2 * ry + 1);
  Wide limit = a * b - Wide(4) * Wide(dy) * Wide(dy) * a;
  auto inside = [&](int64_t dx) { return Wide(4) * Wide(dx) * Wide(dx) * b <= limit; };
  double t = static_cast<double>(dy) / (static_cast<double>(ry) + 0.5);
  double estimate = (static_cast<double>(rx) + 0.5) * std::sqrt(std::max(0.0, 1.0 - t * t));
  int64_t dx = std::min<int64_t>(static_cast<int64_t>(estimate), rx);
  while (dx > 0 && !inside(dx)) --dx;
  while (dx < rx && inside(dx + 1)) ++dx;
  return dx;
}

void CanvasImage::roundShape(int64_t cx, int64_t cy, int64_t rx, int64_t ry, const Pen& pen) {
  // Radii are at most kMaxRadius here; a centre farther out than that misses the image.
  if (cx < -kMaxRadius - 1 || cy < -kMaxRadius - 1 || cx > kMaxRadius + width_ || cy > kMaxRadius + height_) return;
  if (cx + rx < 0 || cx - rx >= width_ || cy + ry < 0 || cy - ry >= height_) return;
  int64_t dy0 = std::max<int64_t>(-ry, -cy), dy1 = std::min<int64_t>(ry, height_ - 1 - cy);
  for (int64_t dy = dy0; dy <= dy1; ++dy) {
    int64_t half = ellipseHalfWidth(rx, ry, dy);
    if (half < 0) continue;
    if (!pen.outlined) {
      span(cy + dy, cx - half, cx + half, pen);
      continue;
    }
    // The outline of this row: the pixels not covered by both neighbouring rows.
    int64_t inner = std::min(ellipseHalfWidth(rx, ry, dy - 1), ellipseHalfWidth(rx, ry, dy + 1));
    if (inner < 0) {
      span(cy + dy, cx - half, cx + half, pen);
    } else if (inner + 1 <= half) {
      span(cy + dy, cx - half, cx - inner - 1, pen);
      span(cy + dy, cx + inner + 1, cx + half, pen);
    } else {
      plot(cx - half, cy + dy, pen);
      if (half != 0) plot(cx + half, cy + dy, pen);
    }
  }
}

void CanvasImage::circle(int64_t cx, int64_t cy, int64_t radius, const Pen& pen) {
  if (radius < 0 || width_ == 0) return;
  radius = std::min(radius, kMaxRadius);
  roundShape(cx, cy, radius, radius, pen);
}

void CanvasImage::ellipse(int64_t cx, int64_t cy, int64_t rx, int64_t ry, const Pen& pen) {
  if (width_ == 0) return;
  rx = rx < 0 ? (rx == INT64_MIN ? kMaxRadius : -rx) : rx;
  ry = ry < 0 ? (ry == INT64_MIN ? kMaxRadius : -ry) : ry;
  rx = std::min(rx, kMaxRadius);
  ry = std::min(ry, kMaxRadius);
  roundShape(cx, cy, rx, ry, pen);
}

void CanvasImage::line(int64_t x1, int64_t y1, int64_t x2, int64_t y2, const Pen& pen) {
  if (width_ == 0) return;
  // Clip to a margin of one pixel around the image (Liang-Barsky), so that the pixels
  // stepped over stay few however far the ends lie.
  double ax = static_cast<double>(x1), ay = static_cast<double>(y1);
  double dx = static_cast<double>(x2) - ax, dy = static_cast<double>(y2) - ay;
  double t0 = 0.0, t1 = 1.0;
  auto clip = [&](double p, double q) {
    if (p == 0.0) return q >= 0.0;
    double r = q / p;
    if (p < 0.0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
    return true;
  };
  double minX = -1.0, maxX = static_cast<double>(width_), minY = -1.0, maxY = static_cast<double>(height_);
  if (!clip(-dx, ax - minX) || !clip(dx, maxX - ax) || !clip(-dy, ay - minY) || !clip(dy, maxY - ay)) return;
  if (t0 > 0.0) {
    x1 = std::llround(ax + t0 * dx);
    y1 = std::llround(ay + t0 * dy);
  }
  if (t1 < 1.0) {
    x2 = std::llround(ax + t1 * dx);
    y2 = std::llround(ay + t1 * dy);
  }
  int64_t sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int64_t ddx = x2 > x1 ? x2 - x1 : x1 - x2;
  int64_t ddy = y2 > y1 ? y1 - y2 : y2 - y1;  // minus the height
  int64_t err = ddx + ddy;
  for (;;) {
    plot(x1, y1, pen);
    if (x1 == x2 && y1 == y2) break;
    int64_t e2 = 2 * err;
    if (e2 >= ddy) {
      err += ddy;
      x1 += sx;
    }
    if (e2 <= ddx) {
      err += ddx;
      y1 += sy;
    }
  }
}

}  // namespace zor::editor
