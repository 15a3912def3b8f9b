#include "editor/core/canvas_projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace zor::editor {
namespace {

Projection view(float camx = 0.0f, float camy = 0.0f, float camz = 0.0f) {
  Projection p;
  p.width = 615;
  p.height = 581;
  p.camera = {camx, camy, camz};
  return p;
}

TEST(CanvasProjection, ProjectsWithIntegerCentreAndTruncation) {
  Projection p = view(10.0f, 20.0f, -100.0f);
  // zrel 100: F (x - camx) / zrel = 166.67 * 30 / 100 = 50.0 (a hair over or under)
  EXPECT_EQ(p.screenX(10.0f, 100.0f), 307);  // W div 2
  EXPECT_EQ(p.screenY(20.0f, 100.0f), 290);  // H div 2
  EXPECT_EQ(p.screenX(13.0f, 100.0f), 307 + 5);  // float F (x - camx) / zrel = 5.0000005
  EXPECT_EQ(p.screenX(7.0f, 200.0f), 307 - 2);   // trunc(-2.5) = -2
  EXPECT_EQ(p.screenY(23.0f, 200.0f), 290 - 2);
  EXPECT_EQ(p.screenY(17.0f, 200.0f), 290 + 2);
  EXPECT_EQ(p.screenLength(30.0f, 100.0f), 50);
  EXPECT_EQ(p.screenLength(29.0f, 100.0f), 48);
}

TEST(CanvasProjection, InverseFindsThePointUnderAPixel) {
  Projection p = view(-40.0f, 75.0f, 12.0f);
  for (float zrel : {5.0f, 37.5f, 100.0f, 1000.0f}) {
    for (int px : {0, 100, 307, 614}) {
      float wx = p.worldX(static_cast<float>(px), zrel);
      // Projecting the world point back lands on the pixel (within the truncation).
      EXPECT_NEAR(p.screenX(wx, zrel), px, 1) << zrel << " " << px;
    }
    for (int py : {0, 290, 580}) {
      float wy = p.worldY(static_cast<float>(py), zrel);
      EXPECT_NEAR(p.screenY(wy, zrel), py, 1);
    }
  }
  // The centre of the canvas (real halves) is the camera point.
  EXPECT_EQ(p.worldX(307.5f, 50.0f), -40.0f);
  EXPECT_EQ(p.worldY(290.5f, 50.0f), 75.0f);
}

TEST(CanvasProjection, DegenerateDepthsClampInsteadOfOverflowing) {
  Projection p = view();
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float x, zrel;
  };
  for (Case c : {Case{1.0f, 0.0f}, Case{-1.0f, 0.0f}, Case{0.0f, 0.0f}, Case{1e30f, 1e-30f}, Case{inf, 5.0f},
                 Case{nan, 5.0f}, Case{3.0f, -1e-30f}}) {
    int32_t sx = p.screenX(c.x, c.zrel);
    EXPECT_LE(std::abs(sx - 307), kScreenLimit) << c.x << " " << c.zrel;
    int32_t sy = p.screenY(c.x, c.zrel);
    EXPECT_LE(std::abs(sy - 290), kScreenLimit);
  }
  EXPECT_FALSE(Projection::inView(4.9f));
  EXPECT_TRUE(Projection::inView(5.0f));
  EXPECT_FALSE(Projection::inView(nan));
}

// The four corners found together are the four single projections, to the bit, for
// ordinary and degenerate rectangles, depths and views alike.
TEST(CanvasProjection, CornersAreTheSingleProjections) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float odd[] = {0.0f, -0.0f, 1e-30f, -1e-38f, 3.5f, -2.25f, 1e9f, -1e9f, 3e38f, -3e38f, inf, -inf, nan};
  uint64_t state = 7;
  auto next = [&state] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state >> 33);
  };
  // Mostly values of a zone's scale, some odd ones and some of any bit pattern.
  auto value = [&](float range) {
    switch (next() % 8) {
      case 0:
        return odd[next() % (sizeof odd / sizeof odd[0])];
      case 1: {
        const uint32_t bits = next() ^ (next() << 16);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
      }
      default:
        return (static_cast<float>(next() % 20001) - 10000.0f) * range / 10000.0f;
    }
  };
  for (int i = 0; i < 200000; ++i) {
    Projection p = view(value(2000.0f), value(2000.0f), value(500.0f));
    p.width = static_cast<int32_t>(next() % 2000);
    p.height = static_cast<int32_t>(next() % 2000);
    if (next() % 4 == 0) p.scale = value(1000.0f);
    const float x = value(3000.0f), y = value(3000.0f), w = value(300.0f), h = value(300.0f);
    const float zrel = next() % 3 == 0 ? value(1000.0f) : kNearestDepth + static_cast<float>(next() % 1000);
    const ScreenCorners c = p.corners(x, y, w, h, zrel);
    ASSERT_EQ(c.left, p.screenX(x, zrel)) << i;
    ASSERT_EQ(c.right, p.screenX(x + w, zrel)) << i;
    ASSERT_EQ(c.top, p.screenY(y + h, zrel)) << i;
    ASSERT_EQ(c.bottom, p.screenY(y, zrel)) << i;
  }
}

}  // namespace
}  // namespace zor::editor
