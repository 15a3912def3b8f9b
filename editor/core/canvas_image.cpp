#include "editor/core/canvas_image.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
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

// Sets n pixels to one colour. Short runs (most box rows on a busy canvas) in 16-byte
// stores, the last one overlapping; long ones through the C library's wide fill, which
// uses the widest stores the processor has (a wide character is a 32-bit value here).
static_assert(sizeof(wchar_t) == sizeof(uint32_t));
inline void setPixels(uint32_t* p, size_t n, uint32_t colour) {
  if (n < 4) {
    for (size_t i = 0; i < n; ++i) p[i] = colour;
  } else if (n <= 64) {
    const uint32_t four[4] = {colour, colour, colour, colour};
    size_t i = 0;
    for (; i + 4 < n; i += 4) std::memcpy(p + i, four, sizeof four);
    std::memcpy(p + n - 4, four, sizeof four);
  } else {
    std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(colour), n);
  }
}

// Sets the same run of n pixels (n >= 1) in `rows` rows `stride` pixels apart: a filled
// box. Runs of 8 or more in 32-byte stores, the last one overlapping, so that each row
// of a box costs a few stores whatever its width.
void setRows(uint32_t* row, size_t stride, size_t rows, size_t n, uint32_t colour) {
  const uint32_t eight[8] = {colour, colour, colour, colour, colour, colour, colour, colour};
  if (n > 256) {
    for (; rows > 0; --rows, row += stride) setPixels(row, n, colour);
  } else if (n >= 8) {
    for (; rows > 0; --rows, row += stride) {
      uint32_t* const last = row + n - 8;
      for (uint32_t* p = row; p < last; p += 8) std::memcpy(p, eight, sizeof eight);
      std::memcpy(last, eight, sizeof eight);
    }
  } else if (n >= 4) {
    for (; rows > 0; --rows, row += stride) {
      std::memcpy(row, eight, 4 * sizeof colour);
      std::memcpy(row + n - 4, eight, 4 * sizeof colour);
    }
  } else {
    for (; rows > 0; --rows, row += stride) {
      for (size_t i = 0; i < n; ++i) row[i] = colour;
    }
  }
}

inline void xorPixels(uint32_t* p, size_t n, uint32_t colour) {
  for (size_t i = 0; i < n; ++i) p[i] ^= colour;
}

}  // namespace

void CanvasImage::fill(uint32_t colour) { setPixels(pixels_.data(), pixels_.size(), colour); }

void CanvasImage::span(int64_t y, int64_t x0, int64_t x1, const Pen& pen) {
  if (y < 0 || y >= height_ || x1 < 0 || x0 >= width_ || x0 > x1) return;
  x0 = std::max<int64_t>(x0, 0);
  x1 = std::min<int64_t>(x1, width_ - 1);
  uint32_t* row = pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
  if (pen.exclusiveOr) {
    xorPixels(row + x0, static_cast<size_t>(x1 - x0 + 1), pen.colour);
  } else {
    setPixels(row + x0, static_cast<size_t>(x1 - x0 + 1), pen.colour);
  }
}

void CanvasImage::plot(int64_t x, int64_t y, const Pen& pen) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint32_t& p = pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
  p = pen.exclusiveOr ? p ^ pen.colour : pen.colour;
}

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
    // The same run in every row of the clipped box.
    const int64_t y0 = std::max<int64_t>(top, 0), y1 = std::min<int64_t>(bottom, height_ - 1);
    const int64_t x0 = std::max<int64_t>(left, 0), x1 = std::min<int64_t>(right, width_ - 1);
    const size_t stride = static_cast<size_t>(width_), n = static_cast<size_t>(x1 - x0 + 1);
    if (y0 > y1) return;
    uint32_t* row = pixels_.data() + static_cast<size_t>(y0) * stride + static_cast<size_t>(x0);
    if (!pen.exclusiveOr) {
      setRows(row, stride, static_cast<size_t>(y1 - y0 + 1), n, pen.colour);
      return;
    }
    for (int64_t r = y0; r <= y1; ++r, row += stride) xorPixels(row, n, pen.colour);
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
  // ry + 1/2: 4dx^2 (2ry+1)^2 + 4dy^2 (2rx+1)^2 <= (2rx+1)^2 (2ry+1)^2. The largest dx
  // inside is walked to from an estimate; radii up to 2^14 (every shape the canvas
  // sees) keep the test within 64 bits.
  if (dy < -ry || dy > ry) return -1;
  double t = static_cast<double>(dy) / (static_cast<double>(ry) + 0.5);
  double estimate = (static_cast<double>(rx) + 0.5) * std::sqrt(std::max(0.0, 1.0 - t * t));
  int64_t dx = std::min<int64_t>(static_cast<int64_t>(estimate), rx);
  auto walk = [&](auto zero) {
    using N = decltype(zero);
    const N a = N(2 * rx + 1) * N(2 * rx + 1);
    const N b = N(2 * ry + 1) * N(2 * ry + 1);
    const N limit = a * b - N(4) * N(dy) * N(dy) * a;
    auto inside = [&](int64_t x) { return N(4) * N(x) * N(x) * b <= limit; };
    while (dx > 0 && !inside(dx)) --dx;
    while (dx < rx && inside(dx + 1)) ++dx;
  };
  constexpr int64_t kNarrow = int64_t(1) << 14;
  if (rx <= kNarrow && ry <= kNarrow) {
    walk(int64_t{0});
  } else {
    walk(Wide{0});
  }
  return dx;
}

void CanvasImage::roundShape(int64_t cx, int64_t cy, int64_t rx, int64_t ry, const Pen& pen) {
  // Radii are at most kMaxRadius here; a centre farther out than that misses the image.
  if (cx < -kMaxRadius - 1 || cy < -kMaxRadius - 1 || cx > kMaxRadius + width_ || cy > kMaxRadius + height_) return;
  if (cx + rx < 0 || cx - rx >= width_ || cy + ry < 0 || cy - ry >= height_) return;
  int64_t dy0 = std::max<int64_t>(-ry, -cy), dy1 = std::min<int64_t>(ry, height_ - 1 - cy);
  // The half-widths of the rows above, at and below dy, each found once.
  int64_t above = pen.outlined ? ellipseHalfWidth(rx, ry, dy0 - 1) : -1;
  int64_t half = ellipseHalfWidth(rx, ry, dy0);
  for (int64_t dy = dy0; dy <= dy1; ++dy) {
    const int64_t below = pen.outlined || dy < dy1 ? ellipseHalfWidth(rx, ry, dy + 1) : -1;
    const int64_t h = half, inner = std::min(above, below);
    above = half;
    half = below;
    if (h < 0) continue;
    if (!pen.outlined) {
      span(cy + dy, cx - h, cx + h, pen);
      continue;
    }
    // The outline of this row: the pixels not covered by both neighbouring rows.
    if (inner < 0) {
      span(cy + dy, cx - h, cx + h, pen);
    } else if (inner + 1 <= h) {
      span(cy + dy, cx - h, cx - inner - 1, pen);
      span(cy + dy, cx + inner + 1, cx + h, pen);
    } else {
      plot(cx - h, cy + dy, pen);
      if (h != 0) plot(cx + h, cy + dy, pen);
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
