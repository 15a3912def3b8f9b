// Lines of the canvas image against the plain stepping of every line: the ends clipped
// to a margin of one pixel around the image, then one pixel a step from end to end.
// Level lines are laid down as one run of their row; they must set the same pixels,
// each once (an exclusive-or pen shows a pixel set twice).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "editor/core/canvas_image.h"

namespace zor::editor {
namespace {

// Every line stepped a pixel at a time, as the image drew all of them before level
// lines had a way of their own.
class SteppedLines {
 public:
  SteppedLines(int32_t w, int32_t h, uint32_t back)
      : w_(w), h_(h), px_(static_cast<size_t>(w) * static_cast<size_t>(h), back) {}
  uint32_t at(int64_t x, int64_t y) const { return px_[static_cast<size_t>(y) * static_cast<size_t>(w_) + static_cast<size_t>(x)]; }

  void line(int64_t x1, int64_t y1, int64_t x2, int64_t y2, const Pen& pen) {
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
    double minX = -1.0, maxX = static_cast<double>(w_), minY = -1.0, maxY = static_cast<double>(h_);
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
    int64_t ddy = y2 > y1 ? y1 - y2 : y2 - y1;
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

 private:
  void plot(int64_t x, int64_t y, const Pen& pen) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    uint32_t& p = px_[static_cast<size_t>(y) * static_cast<size_t>(w_) + static_cast<size_t>(x)];
    p = pen.exclusiveOr ? p ^ pen.colour : pen.colour;
  }
  int32_t w_, h_;
  std::vector<uint32_t> px_;
};

TEST(CanvasLines, LevelAndSlopedLinesSetThePixelsOfThePlainStepping) {
  uint64_t state = 424242;
  auto next = [&state] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<int64_t>(state >> 33);
  };
  // An end: mostly on or near the image, sometimes far beyond it.
  auto end = [&](int64_t size) {
    switch (next() % 10) {
      case 0: return static_cast<int64_t>(next() % 4000000) - 2000000;
      case 1: return -1 - static_cast<int64_t>(next() % 3);
      case 2: return size + static_cast<int64_t>(next() % 3);
      default: return static_cast<int64_t>(next() % (size + 20)) - 10;
    }
  };
  const struct {
    int32_t w, h;
  } sizes[] = {{40, 30}, {1, 1}, {7, 3}, {100, 5}, {3, 60}};
  for (const auto& s : sizes) {
    CanvasImage image(s.w, s.h);
    image.fill(0x123456);
    SteppedLines plain(s.w, s.h, 0x123456);
    for (int i = 0; i < 3000; ++i) {
      const int64_t x1 = end(s.w), y1 = end(s.h), x2 = end(s.w);
      const int64_t y2 = next() % 2 ? y1 : end(s.h);  // half of them level
      const Pen pen{static_cast<uint32_t>(next()) & 0xFFFFFFu, false, next() % 3 == 0};
      image.line(x1, y1, x2, y2, pen);
      plain.line(x1, y1, x2, y2, pen);
      for (int64_t y = 0; y < s.h; ++y) {
        for (int64_t x = 0; x < s.w; ++x) {
          if (image.at(x, y) != plain.at(x, y)) {
            FAIL() << s.w << "x" << s.h << " line " << i << " (" << x1 << ", " << y1 << ") to (" << x2 << ", " << y2
                   << "): pixel (" << x << ", " << y << ")";
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace zor::editor
