#include "editor/core/canvas_image.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <cwchar>

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#include <immintrin.h>
#endif

namespace zor::editor {

namespace {
using Wide = __int128;
// Radii are capped here (far beyond any image) so that the exact inside test of a round
// shape fits in 128 bits.
constexpr int64_t kMaxRadius = int64_t(1) << 30;
// Radii up to this keep the inside test of a round shape within 64 bits.
constexpr int64_t kNarrow = int64_t(1) << 14;
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

// Eight pixels, stored with one unaligned store where the processor has 32-byte
// registers (two 16-byte stores elsewhere).
using Eight = uint32_t __attribute__((vector_size(32), aligned(4), may_alias));
inline void setEight(uint32_t* p, const Eight& v) { *reinterpret_cast<Eight*>(p) = v; }

// Sets the same run of n pixels (n >= 1) in `rows` rows `stride` pixels apart: a filled
// box. Runs of 8 or more in 8-pixel stores, the last one overlapping; rows of up to 32
// pixels in a fixed number of stores without an inner loop, so that each row of a box
// costs a few stores whatever its width.
[[gnu::always_inline]] inline void setRowsOverlapping(uint32_t* row, size_t stride, size_t rows, size_t n,
                                                        uint32_t colour) {
  const Eight eight = {colour, colour, colour, colour, colour, colour, colour, colour};
  if (n > 256) {
    for (; rows > 0; --rows, row += stride) setPixels(row, n, colour);
  } else if (n > 32) {
    for (; rows > 0; --rows, row += stride) {
      uint32_t* const last = row + n - 8;
      for (uint32_t* p = row; p < last; p += 8) setEight(p, eight);
      setEight(last, eight);
    }
  } else if (n > 16) {
    for (; rows > 0; --rows, row += stride) {
      setEight(row, eight);
      setEight(row + 8, eight);
      setEight(row + n - 16, eight);
      setEight(row + n - 8, eight);
    }
  } else if (n >= 8) {
    for (; rows > 0; --rows, row += stride) {
      setEight(row, eight);
      setEight(row + n - 8, eight);
    }
  } else if (n >= 4) {
    const uint32_t four[4] = {colour, colour, colour, colour};
    for (; rows > 0; --rows, row += stride) {
      std::memcpy(row, four, sizeof four);
      std::memcpy(row + n - 4, four, sizeof four);
    }
  } else {
    for (; rows > 0; --rows, row += stride) {
      for (size_t i = 0; i < n; ++i) row[i] = colour;
    }
  }
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
// Built once for each kind of processor (by GCC); the loader picks the one that runs here.
// Without 32-byte registers, and with them:
[[gnu::target("default")]] void setRows(uint32_t* row, size_t stride, size_t rows, size_t n, uint32_t colour) {
  setRowsOverlapping(row, stride, rows, n, colour);
}
[[gnu::target("avx2")]] void setRows(uint32_t* row, size_t stride, size_t rows, size_t n, uint32_t colour) {
  setRowsOverlapping(row, stride, rows, n, colour);
}

// With 64-byte registers and masked stores: each row in the 64-byte lines it touches,
// one store to each, the first and last masked to the run. No store spans two lines
// and no pixel is stored twice. The pixels outside the run in the first and last line
// are not touched (masked stores neither write nor fault there).
[[gnu::target("avx512f")]] void setRows(uint32_t* row, size_t stride, size_t rows, size_t n, uint32_t colour) {
  const __m512i v = _mm512_set1_epi32(static_cast<int>(colour));
  // The rows all start at the same place in their lines when a row is a whole number
  // of lines; otherwise they are laid down one at a time.
  const bool sameStart = stride % 16 == 0;
  for (; rows > 0;) {
    const uintptr_t start = reinterpret_cast<uintptr_t>(row);
    uint32_t* line = reinterpret_cast<uint32_t*>(start & ~uintptr_t(63));
    const size_t lead = (start & 63) / 4, end = lead + n;  // in pixels from the first line
    const size_t last = (end - 1) & ~size_t(15);           // the last line's first pixel
    __mmask16 first = static_cast<__mmask16>(0xFFFFu << lead);
    const __mmask16 final = static_cast<__mmask16>(0xFFFFu >> (15 - ((end - 1) & 15)));
    const size_t count = sameStart ? rows : 1;
    rows -= count;
    row += count * stride;
    if (last == 0) {
      first &= final;
      for (size_t r = count; r > 0; --r, line += stride) _mm512_mask_storeu_epi32(line, first, v);
      continue;
    }
    for (size_t r = count; r > 0; --r, line += stride) {
      _mm512_mask_storeu_epi32(line, first, v);
      for (size_t k = 16; k < last; k += 16) _mm512_store_si512(line + k, v);
      _mm512_mask_storeu_epi32(line + last, final, v);
    }
  }
}
#else
void setRows(uint32_t* row, size_t stride, size_t rows, size_t n, uint32_t colour) {
  setRowsOverlapping(row, stride, rows, n, colour);
}
#endif

inline void xorPixels(uint32_t* p, size_t n, uint32_t colour) {
  for (size_t i = 0; i < n; ++i) p[i] ^= colour;
}

}  // namespace

void CanvasImage::fill(uint32_t colour) {
#if defined(__x86_64__) && defined(__GNUC__)
  // The processor's string store: it writes whole cache lines without first reading
  // them in, as a wide store loop must, and so fills the image as fast as memset.
  uint32_t* p = pixels_.data();
  size_t n = pixels_.size();
  asm volatile("rep stosl" : "+D"(p), "+c"(n) : "a"(colour) : "memory");
#else
  setPixels(pixels_.data(), pixels_.size(), colour);
#endif
}

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
  // Coordinates and sizes within 2^61 of zero (every box the canvas projects) give them
  // in plain arithmetic; others through wide arithmetic, clamped to just outside the
  // image, so that no sum overflows.
  constexpr uint64_t kPlain = uint64_t(1) << 61;
  int64_t left, right, top, bottom;
  if (((uint64_t(x) + kPlain) | (uint64_t(y) + kPlain) | (uint64_t(width) + kPlain) | (uint64_t(height) + kPlain)) <
      2 * kPlain) {
    left = width > 0 ? x : x + width + 1;
    right = width > 0 ? x + width - 1 : x;
    top = height > 0 ? y : y + height + 1;
    bottom = height > 0 ? y + height - 1 : y;
    if (right < 0 || left >= width_ || bottom < 0 || top >= height_) return;
    left = std::max<int64_t>(left, -1);
    right = std::min<int64_t>(right, width_);
    top = std::max<int64_t>(top, -1);
    bottom = std::min<int64_t>(bottom, height_);
  } else {
    Wide l = width > 0 ? Wide(x) : Wide(x) + width + 1;
    Wide r = width > 0 ? Wide(x) + width - 1 : Wide(x);
    Wide t = height > 0 ? Wide(y) : Wide(y) + height + 1;
    Wide b = height > 0 ? Wide(y) + height - 1 : Wide(y);
    if (r < 0 || l >= width_ || b < 0 || t >= height_) return;
    left = static_cast<int64_t>(std::max<Wide>(l, -1));
    right = static_cast<int64_t>(std::min<Wide>(r, width_));
    top = static_cast<int64_t>(std::max<Wide>(t, -1));
    bottom = static_cast<int64_t>(std::min<Wide>(b, height_));
  }
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

void CanvasImage::fillBetween(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
  // Half-open bounds: [x0, x1) when x1 >= x0, else [x1 + 1, x0 + 1) (a negative size
  // extends the box the other way), clipped to the image.
  const int64_t flipX = x1 < x0, flipY = y1 < y0;
  const int64_t l = std::max<int64_t>(std::min(x0, x1) + flipX, 0), r = std::min<int64_t>(std::max(x0, x1) + flipX, width_);
  const int64_t t = std::max<int64_t>(std::min(y0, y1) + flipY, 0), b = std::min<int64_t>(std::max(y0, y1) + flipY, height_);
  if (l >= r || t >= b) return;
  const size_t stride = static_cast<size_t>(width_);
  setRows(pixels_.data() + static_cast<size_t>(t) * stride + static_cast<size_t>(l), stride, static_cast<size_t>(b - t),
          static_cast<size_t>(r - l), colour);
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
  // The half-widths of the rows, top to bottom, each found once. Where the shape is
  // narrow, each row's is walked to from the row above's with the same inside test:
  // a few steps a row, as the widths change little from row to row.
  constexpr int64_t kWalked = 2048;
  const bool walked = rx <= kWalked && ry <= kNarrow;
  const int64_t a = (2 * rx + 1) * (2 * rx + 1), b = walked ? (2 * ry + 1) * (2 * ry + 1) : 0, ab = a * b;
  int64_t last = -1;
  auto halfWidth = [&](int64_t dy) {
    if (!walked || last < 0) return last = ellipseHalfWidth(rx, ry, dy);
    if (dy < -ry || dy > ry) return last = -1;
    const int64_t limit = ab - 4 * dy * dy * a;
    int64_t dx = last;
    while (dx > 0 && 4 * dx * dx * b > limit) --dx;
    while (dx < rx && 4 * (dx + 1) * (dx + 1) * b <= limit) ++dx;
    return last = dx;
  };
  // The half-widths of the rows above, at and below dy.
  int64_t above = pen.outlined ? halfWidth(dy0 - 1) : -1;
  int64_t half = halfWidth(dy0);
  for (int64_t dy = dy0; dy <= dy1; ++dy) {
    const int64_t below = pen.outlined || dy < dy1 ? halfWidth(dy + 1) : -1;
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
  // A level line is the run of its row between the ends: the same pixels as stepping
  // along it, each once.
  if (y1 == y2) {
    span(y1, std::min(x1, x2), std::max(x1, x2), pen);
    return;
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
