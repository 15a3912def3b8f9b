#include "game/render/block_drawing.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "tests/game/render/scene_test_support.h"

namespace zor {
namespace {

using namespace scene_test;

// A reference picture painted by hand-computed rectangles and discs, in order.
struct Picture {
  int w = 160, h = 90;
  std::vector<int32_t> px = std::vector<int32_t>(160 * 90, kClear);
  void rect(int x, int y, int rw, int rh, int32_t c) {
    for (int j = y; j < y + rh; ++j)
      for (int i = x; i < x + rw; ++i)
        if (i >= 0 && j >= 0 && i < w && j < h) px[j * w + i] = c;
  }
  void disc(int cx, int cy, int r, int32_t c) {
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) {
        const int dx = i - cx, dy = j - cy;
        if (dx * dx + dy * dy <= r * r + r) px[j * w + i] = c;
      }
  }
  std::function<int32_t(int, int)> fn() const {
    return [this](int x, int y) { return px[y * w + x]; };
  }
};

TEST(BlockDrawing, BoxLandsOnItsProjectedRectangleWithBorder) {
  struct Case {
    Vec3 camera;
    float z;
    int x, y, w, h;  // the expected screen rectangle
  } cases[] = {
      {{0.0f, 0.0f, 0.0f}, 100.0f, 90, 30, 21, 11},
      {{0.0f, 0.0f, 0.0f}, 50.0f, 100, 15, 41, 21},
      {{10.0f, 5.0f, 50.0f}, 150.0f, 80, 35, 21, 11},
  };
  for (const Case& c : cases) {
    SceneFixture s;
    s.game.world.cameraPosition = c.camera;
    ObjectRecord& b = s.addBlock(10.0f, 5.0f, 20.0f, 10.0f, c.z, kRed, flag::Solid);
    EXPECT_EQ(drawBlock(s.game, s.fill, b), 0);
    Picture want;
    want.rect(c.x, c.y, c.w, c.h, kBlack);
    want.rect(c.x + 2, c.y + 2, c.w - 4, c.h - 4, kRed);
    EXPECT_TRUE(pixelsMatch(s.fb, want.fn())) << "z " << c.z;
  }
}

TEST(BlockDrawing, BorderRule) {
  struct Case {
    const char* what;
    uint32_t flags;
    int8_t level;
    float levelZ;
    bool bordered;
  } cases[] = {
      {"solid on the player's level", flag::Solid, 0, 100.0f, true},
      {"noborder hides it", flag::Solid | flag::NoBorder, 0, 100.0f, false},
      {"solid on another level", flag::Solid, 1, 100.0f, false},
      {"not solid", 0, 0, 100.0f, false},
      {"scenic noborder at the player's depth", flag::Scenic | flag::NoBorder, -1, 100.9f, true},
      {"scenic noborder a unit away", flag::Scenic | flag::NoBorder, -1, 101.0f, false},
      {"scenic alone", flag::Scenic, -1, 100.0f, false},
  };
  for (const Case& c : cases) {
    SceneFixture s;
    s.game.world.levels[0].z = c.levelZ;
    ObjectRecord& b = s.addBlock(10.0f, 5.0f, 20.0f, 10.0f, 100.0f, kRed, c.flags);
    b.level = c.level;
    drawBlock(s.game, s.fill, b);
    Picture want;
    if (c.bordered) {
      want.rect(90, 30, 21, 11, kBlack);
      want.rect(92, 32, 17, 7, kRed);
    } else {
      want.rect(90, 30, 20, 10, kRed);  // one pixel narrower and lower
    }
    EXPECT_TRUE(pixelsMatch(s.fb, want.fn())) << c.what;
  }
}

TEST(BlockDrawing, FillColourFromFlagsTransparencyAndBounce) {
  enum Support { None, Stood, Bounced, BouncedOut };
  struct Case {
    const char* what;
    uint32_t flags;
    float trans;
    Support support;
    int32_t fill, border;
  } cases[] = {
      {"plain", 0, 0.0f, None, kRed, kBlack},
      {"cyclic", flag::Cyclic, 0.0f, None, blendColour(kRed, kBlue, 0.5f), kBlack},
      {"light-up off", flag::Lightup, 0.0f, None, kRed, kBlack},
      {"light-up stood on", flag::Lightup, 0.0f, Stood, kBlue, kBlack},
      {"cyclic light-up stood on", flag::Cyclic | flag::Lightup, 0.0f, Stood, kBlue, kBlack},
      {"cyclic light-up off", flag::Cyclic | flag::Lightup, 0.0f, None, kRed, kBlack},
      {"bouncy just bounced", flag::Bouncy, 0.0f, Bounced, kBlue, kBlack},
      {"bouncy bounce over", flag::Bouncy, 0.0f, BouncedOut, kRed, kBlack},
      {"half transparent", 0, 0.5f, None, blendColour(kRed, kBackground, 0.5f),
       blendColour(kBlack, kBackground, 0.5f)},
      {"half transparent cyclic light-up never lights", flag::Cyclic | flag::Lightup, 0.5f, Stood,
       blendColour(blendColour(kRed, kBlue, 0.5f), kBackground, 0.5f), blendColour(kBlack, kBackground, 0.5f)},
      {"half transparent bouncy", flag::Bouncy, 0.5f, Bounced, blendColour(kRed, kBackground, 0.5f),
       blendColour(kBlack, kBackground, 0.5f)},
  };
  for (const Case& c : cases) {
    SceneFixture s;
    ObjectRecord& b = s.addBlock(10.0f, 5.0f, 20.0f, 10.0f, 100.0f, kRed, flag::Solid | c.flags);
    b.colour2 = kBlue;
    b.waveValue = 0.5f;
    b.trans = c.trans;
    if (c.support == Stood) s.player().support = &b;
    if (c.support == Bounced || c.support == BouncedOut) {
      s.game.world.lastBounceObject = &b;
      s.game.world.bounceFrames = c.support == Bounced ? 3 : 0;
    }
    drawBlock(s.game, s.fill, b);
    Picture want;
    want.rect(90, 30, 21, 11, c.border);
    want.rect(92, 32, 17, 7, c.fill);
    EXPECT_TRUE(pixelsMatch(s.fb, want.fn())) << c.what;
  }
}

TEST(BlockDrawing, UnfilledBoxWithoutFaceDrawsNothing) {
  SceneFixture s;
  ObjectRecord& b = s.addBlock(10.0f, 5.0f, 20.0f, 10.0f, 100.0f, -1, flag::Solid);
  EXPECT_EQ(drawBlock(s.game, s.fill, b), 0);
  EXPECT_TRUE(pixelsMatch(s.fb, [](int, int) { return kClear; }));
}

TEST(BlockDrawing, NearLimitAndViewTest) {
  struct Case {
    float x, z;
    int32_t result;
    bool drawsSomething;
  } cases[] = {
      {0.0f, 5.0f, 1, false},     // exactly at the near limit
      {0.0f, 4.0f, 1, false},     // in front of it
      {0.0f, -50.0f, 1, false},   // behind the camera
      {0.0f, 5.0001f, 0, true},   // just beyond it
      {1000.0f, 100.0f, 0, false}, // right of the view
      {-121.0f, 100.0f, 0, false}, // left of the view
  };
  for (const Case& c : cases) {
    SceneFixture s;
    ObjectRecord& b = s.addBlock(c.x, 0.0f, 20.0f, 0.1f, c.z, kRed, flag::Solid);
    EXPECT_EQ(drawBlock(s.game, s.fill, b), c.result) << c.z;
    const bool untouched = pixelsMatch(s.fb, [](int, int) { return kClear; });
    EXPECT_EQ(!untouched, c.drawsSomething) << c.x << " " << c.z;
  }
  // A NaN depth is treated as too near.
  SceneFixture s;
  ObjectRecord& b = s.addBlock(0.0f, 0.0f, 20.0f, 10.0f, std::numeric_limits<float>::quiet_NaN(), kRed);
  EXPECT_EQ(drawBlock(s.game, s.fill, b), 1);
}

TEST(BlockDrawing, HorizonBandFillsBelowItsProjectedY) {
  struct Case {
    float y;
    float trans;
    int32_t leftBar, viewWidth;
    int firstRow;  // the band covers rows firstRow..89
  } cases[] = {
      {-10.0f, 0.0f, 0, 160, 55},
      {-10.0f, 0.5f, 0, 160, 55},
      {100.0f, 0.0f, 0, 160, 0},     // above the screen: the whole screen
      {-1000.0f, 0.0f, 0, 160, 90},  // below the screen: nothing
      {-10.0f, 0.0f, 20, 120, 55},   // from screen x 0 across the view width, whatever the bars
  };
  for (const Case& c : cases) {
    SceneFixture s;
    s.game.screen.info.leftBar = c.leftBar;
    s.game.screen.info.viewWidth = c.viewWidth;
    ObjectRecord& b = s.addBlock(-5000.0f, c.y, 1.0f, 1.0f, 100.0f, kRed, flag::Horizon);
    b.trans = c.trans;
    EXPECT_EQ(drawBlock(s.game, s.fill, b), 0);
    const int32_t colour = blendColour(kRed, kBackground, c.trans);
    EXPECT_TRUE(pixelsMatch(s.fb, [&](int x, int y) {
      return y >= c.firstRow && x < c.viewWidth ? colour : kClear;
    })) << c.y;
  }
  // A cyclic band shows the cycle's colour.
  SceneFixture s;
  ObjectRecord& b = s.addBlock(0.0f, -10.0f, 1.0f, 1.0f, 100.0f, kRed, flag::Horizon | flag::Cyclic);
  b.colour2 = kBlue;
  b.waveValue = 0.25f;
  drawBlock(s.game, s.fill, b);
  EXPECT_EQ(s.at(0, 89), blendColour(kRed, kBlue, 0.25f));
}

TEST(BlockDrawing, InactiveCheckpointIsAGreyDiscWithABlackRing) {
  struct Case {
    float w;
    int r, ring;
  } cases[] = {
      {20.0f, 10, 11},
      {18.0f, 9, 10},  // 9 * 11 / 10 is 9: the ring is raised to one pixel
  };
  for (const Case& c : cases) {
    SceneFixture s;
    ObjectRecord& b = s.addBlock(0.0f, 0.0f, c.w, c.w, 100.0f, kRed, flag::Checkpoint);
    drawBlock(s.game, s.fill, b);
    Picture want;
    const int cx = 80 + c.r, cy = 45 - c.r;
    want.disc(cx, cy, c.ring, kBlack);
    want.disc(cx, cy, c.r, 0xA0A0A0);
    EXPECT_TRUE(pixelsMatch(s.fb, want.fn())) << c.w;
  }
}

TEST(BlockDrawing, CurrentCheckpointRunsThroughTheRainbow) {
  SceneFixture s;
  ObjectRecord& b = s.addBlock(0.0f, 0.0f, 20.0f, 20.0f, 100.0f, 0, flag::Checkpoint);
  b.colour1 = 0;
  b.colour2 = 1;
  b.litColour = -1;
  b.phase = 0.5f;
  s.game.world.currentCheckpoint = &b;
  const Projection p = projectionFor(s.game);
  EXPECT_TRUE(advanceCheckpointCycle(s.game, p, b));
  EXPECT_FLOAT_EQ(b.phase, 0.6f);
  drawBlock(s.game, s.fill, b);
  Picture want;
  want.disc(90, 35, 11, kRainbowColours[1]);
  want.disc(90, 35, 10, kRainbowColours[0]);
  want.disc(90, 35, 6, kRainbowColours[1]);  // nearest(10 * 0.6)
  EXPECT_TRUE(pixelsMatch(s.fb, want.fn()));

  // Crossing a whole phase steps the colours on.
  b.phase = 0.95f;
  advanceCheckpointCycle(s.game, p, b);
  EXPECT_EQ(b.colour1, 1);
  EXPECT_EQ(b.colour2, 2);
  EXPECT_LT(b.phase, 0.1f);
  // Index 6 wraps to 0.
  b.colour2 = 6;
  b.phase = 0.95f;
  advanceCheckpointCycle(s.game, p, b);
  EXPECT_EQ(b.colour1, 6);
  EXPECT_EQ(b.colour2, 0);
}

TEST(BlockDrawing, CurrentCheckpointWithThirdColourAlternatesWithWhite) {
  SceneFixture s;
  ObjectRecord& b = s.addBlock(0.0f, 0.0f, 20.0f, 20.0f, 100.0f, kYellow, flag::Checkpoint);
  b.colour2 = kWhite;
  b.litColour = kYellow;
  b.phase = 0.95f;
  s.game.world.currentCheckpoint = &b;
  const Projection p = projectionFor(s.game);
  advanceCheckpointCycle(s.game, p, b);
  EXPECT_EQ(b.colour1, kWhite);
  EXPECT_EQ(b.colour2, kYellow);
  b.phase = 0.95f;
  advanceCheckpointCycle(s.game, p, b);
  EXPECT_EQ(b.colour1, kYellow);
  EXPECT_EQ(b.colour2, kWhite);
  drawBlock(s.game, s.fill, b);
  EXPECT_EQ(s.at(90, 35), kWhite);        // the growing inner disc in the second colour
  EXPECT_EQ(s.at(90 + 8, 35), kYellow);   // the disc in the first colour
  EXPECT_EQ(s.at(90 + 11, 35), kWhite);   // the outer ring in the second colour
  EXPECT_EQ(s.at(90 + 12, 35), kClear);
}

TEST(BlockDrawing, CheckpointColourIndicesStayInsideTheTable) {
  const int32_t odd[] = {-8, -1, 7, 0xFFFFFF, INT_MAX, INT_MIN};
  for (int32_t v : odd) {
    SceneFixture s;
    ObjectRecord& b = s.addBlock(0.0f, 0.0f, 20.0f, 20.0f, 100.0f, v, flag::Checkpoint);
    b.colour2 = v;
    b.litColour = -1;
    b.phase = 0.95f;
    s.game.world.currentCheckpoint = &b;
    drawBlock(s.game, s.fill, b);  // reads the table at both indices
    advanceCheckpointCycle(s.game, projectionFor(s.game), b);
    EXPECT_GE(b.colour2, 0) << v;
    EXPECT_LT(b.colour2, kRainbowColourCount) << v;
    EXPECT_EQ(rainbowColour(v), kRainbowColours[((int64_t{v} % 7) + 7) % 7]);
  }
}

TEST(BlockDrawing, CheckpointCycleOnlyWhenCurrentAndInView) {
  SceneFixture s;
  ObjectRecord& away = s.addBlock(1000.0f, 0.0f, 20.0f, 20.0f, 100.0f, 0, flag::Checkpoint);
  ObjectRecord& other = s.addBlock(0.0f, 0.0f, 20.0f, 20.0f, 100.0f, 0, flag::Checkpoint);
  const Projection p = projectionFor(s.game);
  s.game.world.currentCheckpoint = &away;
  EXPECT_FALSE(advanceCheckpointCycle(s.game, p, away));
  EXPECT_FALSE(advanceCheckpointCycle(s.game, p, other));
  EXPECT_EQ(away.phase, 0.0f);
  EXPECT_EQ(other.phase, 0.0f);
  // A corrupt phase neither hangs nor leaves the colours outside the table.
  away.x = 0.0f;
  away.phase = std::numeric_limits<float>::infinity();
  EXPECT_TRUE(advanceCheckpointCycle(s.game, p, away));
  EXPECT_LT(away.phase, 1.0f);
}

// The face of a 16x16 block at depth 100: eye radius 2, eyes at x 85 and 91, y 34.
TEST(BlockDrawing, FaceEyesBrowsAndPupils) {
  enum Faced { NoTarget, Above, Left };
  struct Case {
    const char* what;
    uint32_t flags;
    int8_t facing;
    Faced faced;
    int pupilDx, pupilY;
  } cases[] = {
      {"plain", 0, 0, NoTarget, 0, 34},
      {"facing right", 0, 1, NoTarget, 1, 34},
      {"facing left", 0, -1, NoTarget, -1, 34},
      {"looking up", 0, 0, Above, 0, 33},
      {"looking left", 0, 0, Left, -1, 34},
      {"evil", flag::Evil, 0, NoTarget, 0, 34},
      {"sad", flag::Sad, 0, NoTarget, 0, 34},
  };
  for (const Case& c : cases) {
    SceneFixture s;
    ObjectRecord& target = s.addBlock(0.0f, 0.0f, 16.0f, 16.0f, 1000.0f, kRed);
    if (c.faced == Above) target.y = 100.0f;
    if (c.faced == Left) {
      target.x = -100.0f;
      target.y = 10.72f - 8.0f;
    }
    ObjectRecord& b = s.addBlock(0.0f, 0.0f, 16.0f, 16.0f, 100.0f, -1, flag::HasFace | c.flags);
    b.facing = c.facing;
    if (c.faced != NoTarget) b.facedObject = &target;
    drawBlock(s.game, s.fill, b);

    Picture want;
    want.disc(85, 34, 2, kWhite);
    want.disc(91, 34, 2, kWhite);
    // Brows, 7 pixels wide and 3 rows high from y 32, in the fill colour (the background
    // colour of an unfilled box).
    const int widths[3] = {7, 5, 3};
    for (int i = 0; i < 3; ++i) {
      if (c.flags & flag::Evil) {
        want.rect(82 + 7 - widths[i], 32 + i, widths[i], 1, kBackground);
        want.rect(88, 32 + i, widths[i], 1, kBackground);
      }
      if (c.flags & flag::Sad) {
        want.rect(88 + 7 - widths[i], 32 + i, widths[i], 1, kBackground);
        want.rect(82, 32 + i, widths[i], 1, kBackground);
      }
    }
    want.rect(85 + c.pupilDx, c.pupilY, 1, 1, kBlack);
    want.rect(91 + c.pupilDx, c.pupilY, 1, 1, kBlack);
    EXPECT_TRUE(pixelsMatch(s.fb, want.fn())) << c.what;
  }
}

TEST(BlockDrawing, SmallFacesUseSquaresOrNothing) {
  {
    // At depth 200 the eye radius is 1: white 3x3 squares, pupils of one pixel.
    SceneFixture s;
    ObjectRecord& b = s.addBlock(0.0f, 0.0f, 16.0f, 16.0f, 200.0f, -1, flag::HasFace);
    drawBlock(s.game, s.fill, b);
    Picture want;
    want.rect(81, 39, 3, 3, kWhite);
    want.rect(84, 39, 3, 3, kWhite);
    want.rect(82, 39, 1, 1, kBlack);
    want.rect(85, 39, 1, 1, kBlack);
    EXPECT_TRUE(pixelsMatch(s.fb, want.fn()));
  }
  {
    // A block 7 units wide has e = 0.875: no face.
    SceneFixture s;
    ObjectRecord& b = s.addBlock(0.0f, 0.0f, 7.0f, 16.0f, 100.0f, -1, flag::HasFace | flag::Evil);
    drawBlock(s.game, s.fill, b);
    EXPECT_TRUE(pixelsMatch(s.fb, [](int, int) { return kClear; }));
  }
}

TEST(BlockDrawing, SwishStretchesBoxesAndMovesCheckpoints) {
  struct Case {
    uint32_t flags;
    float w, h;
    float refX, refW;  // the undistorted block that draws the same
  } cases[] = {
      {flag::Solid, 10.0f, 10.0f, 12.0f, 12.0f},
      {flag::Checkpoint, 10.0f, 10.0f, 12.0f, 10.0f},
  };
  for (const Case& c : cases) {
    SceneFixture s;
    s.game.script.screenEffects.swishAmount = 2.0f;
    s.game.script.screenEffects.swishAngle = 1.5707964f;  // sin 1, cos about 0
    ObjectRecord& b = s.addBlock(10.0f, 5.0f, c.w, c.h, 100.0f, kRed, c.flags);
    drawBlock(s.game, s.fill, b);
    EXPECT_EQ(b.x, 10.0f);
    EXPECT_EQ(b.w, c.w);

    SceneFixture r;
    ObjectRecord& ref = r.addBlock(c.refX, 5.0f, c.refW, c.h, 100.0f, kRed, c.flags);
    drawBlock(r.game, r.fill, ref);
    EXPECT_TRUE(pixelsMatch(s.fb, [&](int x, int y) { return r.at(x, y); })) << c.flags;
    EXPECT_FALSE(pixelsMatch(s.fb, [](int, int) { return kClear; }));
  }
}

TEST(BlockDrawing, FarNearAndHugeObjectsStayDefinedAndClipped) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float x, y, w, h, z;
  } cases[] = {
      {0.0f, 0.0f, 3e38f, 3e38f, 100.0f}, {-1e30f, -1e30f, 3e38f, 3e38f, 5.0001f},
      {1e30f, 0.0f, 20.0f, 20.0f, 5.0001f}, {0.0f, 0.0f, 20.0f, 20.0f, 1e38f},
      {kNaN, 0.0f, 20.0f, 20.0f, 100.0f},  {0.0f, 0.0f, kInf, kInf, 100.0f},
      {-1e9f, -1e9f, 2e9f, 2e9f, 6.0f},     {0.0f, 0.0f, -50.0f, -50.0f, 100.0f},
  };
  const uint32_t kinds[] = {flag::Solid | flag::HasFace | flag::Evil, flag::Solid | flag::HasFace | flag::Sad,
                            flag::Checkpoint, flag::Horizon, flag::Scenic | flag::NoBorder};
  for (const Case& c : cases) {
    for (uint32_t kind : kinds) {
      SceneFixture s;
      ObjectRecord& target = s.addBlock(-1e30f, 1e30f, 1.0f, 1.0f, 200.0f, kRed);
      ObjectRecord& b = s.addBlock(c.x, c.y, c.w, c.h, c.z, kRed, kind);
      b.facedObject = &target;
      b.level = -1;
      s.game.world.currentCheckpoint = &b;
      s.game.script.screenEffects.swishAmount = 3.0f;
      s.game.script.screenEffects.swishAngle = 0.7f;
      advanceCheckpointCycle(s.game, projectionFor(s.game), b);
      EXPECT_EQ(drawBlock(s.game, s.fill, b), c.z > 5.0f ? 0 : 1);
    }
  }
}

}  // namespace
}  // namespace zor
