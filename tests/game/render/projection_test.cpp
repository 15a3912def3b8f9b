#include "game/render/projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "game/render/fill.h"
#include "tests/game/render/scene_test_support.h"

namespace zor {
namespace {

using namespace scene_test;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(ProjectionRounding, NearestEvenAndNearestAway) {
  struct Case {
    float v;
    int32_t even, away;
  } cases[] = {
      {0.5f, 0, 1},   {1.5f, 2, 2},   {2.5f, 2, 3},          {-0.5f, 0, -1},
      {-2.5f, -2, -3}, {0.49f, 0, 0}, {-1.2f, -1, -1},        {kNaN, 0, 0},
      {kInf, 1 << 30, 1 << 30},       {-kInf, -(1 << 30), -(1 << 30)}, {1e20f, 1 << 30, 1 << 30},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(nearestEven(c.v), c.even) << c.v;
    EXPECT_EQ(nearestAway(c.v), c.away) << c.v;
  }
}

TEST(ProjectionColour, BlendTruncatesEachComponent) {
  struct Case {
    int32_t a, b;
    float t;
    int32_t want;
  } cases[] = {
      {0x000000, 0xFFFFFF, 0.5f, 0x7F7F7F},
      {0x0000FF, 0x000000, 0.5f, 0x000080},  // 255 + truncate(-127.5) = 128
      {0x123456, 0xABCDEF, 0.0f, 0x123456},
      {0x123456, 0xABCDEF, 1.0f, 0xABCDEF},
      {0x102030, 0x302010, 0.25f, 0x182028},
  };
  for (const Case& c : cases) EXPECT_EQ(blendColour(c.a, c.b, c.t), c.want) << std::hex << c.a << " " << c.b;
  // Out-of-range weights and NaN stay defined (the sanitizer watches the conversions).
  (void)blendColour(0x000000, 0xFFFFFF, kInf);
  (void)blendColour(0x000000, 0xFFFFFF, kNaN);
  EXPECT_EQ(makeRgb(1, 2, 3), 0x030201);
}

TEST(ProjectionGeometry, PointsAndViewTest) {
  SceneFixture s;
  s.game.world.cameraPosition = {10.0f, 20.0f, 0.0f};
  const Projection p = projectionFor(s.game);
  EXPECT_EQ(p.screenX(15.0f, 100.0f), 95);
  EXPECT_EQ(p.screenY(15.0f, 100.0f), 30);  // y grows downward on the screen
  EXPECT_EQ(p.screenX(-0.99f, 100.0f), 80);  // truncation toward zero
  EXPECT_EQ(p.scale(7.0f, 50.0f), 14);

  struct Case {
    int64_t l, t, w, h;
    bool in;
  } cases[] = {
      {0, 0, 1, 1, true},     {159, 89, 1, 1, true},  {160, 0, 5, 5, false}, {-5, 0, 4, 4, false},
      {-5, 0, 5, 5, true},    {0, 90, 1, 1, false},   {0, -3, 1, 2, false},  {0, -3, 1, 3, true},
  };
  for (const Case& c : cases) EXPECT_EQ(p.inView(c.l, c.t, c.w, c.h), c.in) << c.l << "," << c.t;

  // With bars the view test uses the area between them.
  s.game.screen.info.leftBar = 20;
  s.game.screen.info.topBar = 10;
  const Projection b = projectionFor(s.game);
  EXPECT_FALSE(b.inView(140, 20, 5, 5));
  EXPECT_TRUE(b.inView(139, 20, 5, 5));
  EXPECT_FALSE(b.inView(0, 20, 19, 5));
  EXPECT_TRUE(b.inView(0, 20, 20, 5));
  EXPECT_FALSE(b.inView(10, 80, 5, 5));
}

TEST(ProjectionGeometry, FarNearAndHugeValuesStayDefined) {
  SceneFixture s;
  const Projection p = projectionFor(s.game);
  const float values[] = {1e30f, -1e30f, 3e38f, kInf, -kInf, kNaN};
  for (float v : values) {
    for (float d : {5.0001f, 1e-3f, 1e30f, kInf}) {
      const int64_t x = p.screenX(v, d);
      const int64_t y = p.screenY(v, d);
      EXPECT_LE(std::llabs(x - 80), int64_t{1} << 30);
      EXPECT_LE(std::llabs(y - 45), int64_t{1} << 30);
    }
  }
}

TEST(ProjectionFill, HugeRectanglesAndDiscsClipToTheScreen) {
  SceneFixture s;
  const int64_t big = int64_t{1} << 40;
  fillRect(s.fill, -big, 10, 2 * big, 2, kRed);  // spans every column of rows 10 and 11
  EXPECT_TRUE(pixelsMatch(s.fb, [](int, int y) { return y == 10 || y == 11 ? kRed : kClear; }));

  clearBuffer(s.fb, kClear);
  fillRect(s.fill, big, 0, 10, 10, kRed);    // wholly right of the screen
  fillRect(s.fill, 0, -big, 10, 5, kRed);    // wholly above
  fillRect(s.fill, 5, 5, -big, 5, kRed);     // negative size
  fillDisc(s.fill, big, 45, 100, kRed);      // far away
  fillDisc(s.fill, 80, 45, -1, kRed);        // negative radius
  EXPECT_TRUE(pixelsMatch(s.fb, [](int, int) { return kClear; }));

  // A disc far larger than the screen with its centre far away still covers the screen.
  fillDisc(s.fill, 80, 45 + (int64_t{1} << 29), int64_t{1} << 30, kBlue);
  EXPECT_EQ(s.at(0, 0), kBlue);
  EXPECT_EQ(s.at(159, 89), kBlue);
}

TEST(ProjectionSwish, FactorsFromAmountAndAngle) {
  EXPECT_FALSE(swishFactors(0.0f, 1.0f).active);
  const SwishFactors f = swishFactors(2.0f, 1.5707964f);
  EXPECT_TRUE(f.active);
  EXPECT_FLOAT_EQ(f.kx, 1.2f);
  EXPECT_FLOAT_EQ(f.ky, 1.0f);
}

}  // namespace
}  // namespace zor
