#include "game/render/fill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

namespace zor {
namespace {

constexpr uint32_t kBackground = 0xDEADBEEFu;
constexpr int32_t kRed = 0x0000FF;

FrameBuffer makeBuffer(int32_t w, int32_t h, uint32_t format = pixel_format::RedFirst32) {
  FrameBuffer fb(w, h, format);
  std::fill_n(fb.pixels(), static_cast<size_t>(w) * h, kBackground);
  return fb;
}

// Pixels of the picture that changed from the background, as a mask (row-major, picture rows).
std::vector<bool> changed(const FrameBuffer& fb) {
  std::vector<bool> m(static_cast<size_t>(fb.width()) * fb.height());
  for (int y = 0; y < fb.height(); ++y)
    for (int x = 0; x < fb.width(); ++x) m[static_cast<size_t>(y) * fb.width() + x] = fb.row(y)[x] != kBackground;
  return m;
}

std::vector<bool> boxReference(int32_t W, int32_t H, int64_t x, int64_t y, int64_t w, int64_t h) {
  std::vector<bool> m(static_cast<size_t>(W) * H);
  for (int64_t py = 0; py < H; ++py)
    for (int64_t px = 0; px < W; ++px)
      m[static_cast<size_t>(py * W + px)] = px >= x && px < x + w && py >= y && py < y + h;
  return m;
}

std::vector<bool> discReference(int32_t W, int32_t H, int64_t cx, int64_t cy, int64_t r) {
  std::vector<bool> m(static_cast<size_t>(W) * H);
  for (int64_t py = 0; py < H; ++py)
    for (int64_t px = 0; px < W; ++px) {
      __int128 dx = px - cx, dy = py - cy, rr = r;
      m[static_cast<size_t>(py * W + px)] = r >= 0 && dx * dx + dy * dy <= rr * rr + rr;
    }
  return m;
}

int countTrue(const std::vector<bool>& m) {
  int n = 0;
  for (bool b : m) n += b;
  return n;
}

TEST(BufferFill, NegativeXIsCutAtTheLeftEdge) {
  FrameBuffer fb = makeBuffer(640, 20);
  BufferFillState st;
  EXPECT_EQ(drawFilledBoxInBuffer(fb, st, -5, 10, 20, 4, kRed), 1);
  EXPECT_EQ(changed(fb), boxReference(640, 20, 0, 10, 15, 4));
  EXPECT_EQ(fb.row(10)[14], 0x0000FFu);
  EXPECT_EQ(fb.row(13)[0], 0x0000FFu);
}

struct BoxCase {
  const char* name;
  int32_t x, y, w, h;
};

// Every case is checked pixel by pixel against the plain definition of the clipped box.
const BoxCase kBoxCases[] = {
    {"inside", 3, 4, 5, 6},
    {"left edge", -3, 2, 5, 3},
    {"right edge", 28, 2, 10, 3},
    {"top edge", 5, -4, 3, 6},
    {"bottom edge", 5, 18, 3, 10},
    {"all four sides", -7, -9, 100, 100},
    {"single pixel at far corner", 31, 19, 1, 1},
    {"full width band", 0, 5, 32, 3},
    {"full width band wider than buffer", -1, 5, 40, 3},
    {"starts at width", 32, 0, 5, 5},
    {"starts at height", 0, 20, 5, 5},
    {"ends at left edge", -5, 0, 5, 5},
    {"ends at top edge", 0, -5, 5, 5},
    {"zero width", 4, 4, 0, 4},
    {"zero height", 4, 4, 4, 0},
    {"negative width", 10, 4, -4, 4},
    {"negative height", 10, 10, 4, -4},
    {"min x", INT32_MIN, 0, 5, 5},
    {"min x max width", INT32_MIN, 0, INT32_MAX, 5},
    {"max x", INT32_MAX, 0, INT32_MAX, 5},
    {"min width", -1, 0, INT32_MIN, 5},
    {"min y max height", 0, INT32_MIN, 5, INT32_MAX},
    {"max y", 0, INT32_MAX, 5, INT32_MAX},
    {"huge both ways", -1000000000, -1000000000, 2000000000, 2000000000},
    {"min everything", INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN},
    {"max everything", INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
};

class BoxClipping : public ::testing::TestWithParam<BoxCase> {};

TEST_P(BoxClipping, MatchesTheClippedBoxOnEveryLayout) {
  const BoxCase& c = GetParam();
  auto ref = boxReference(32, 20, c.x, c.y, c.w, c.h);
  int expected = countTrue(ref) > 0 ? 1 : 0;
  for (uint32_t format : {pixel_format::RedFirst32, pixel_format::BlueFirst32,
                          pixel_format::RedFirst32 | pixel_format::BottomUp}) {
    for (int32_t disabled : {0, 1}) {
      FrameBuffer fb = makeBuffer(32, 20, format);
      BufferFillState st{0, disabled};
      EXPECT_EQ(drawFilledBoxInBuffer(fb, st, c.x, c.y, c.w, c.h, 0x123456), expected)
          << c.name << " format " << format << " disabled " << disabled;
      EXPECT_EQ(changed(fb), ref) << c.name << " format " << format << " disabled " << disabled;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, BoxClipping, ::testing::ValuesIn(kBoxCases),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& ch : n)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

TEST(BufferFill, ColourByteOrderFollowsTheFormat) {
  struct Case {
    uint32_t format;
    int32_t colour;
    uint32_t word;
  } cases[] = {
      {pixel_format::RedFirst32, 0x0000FF, 0x000000FFu},
      {pixel_format::BlueFirst32, 0x0000FF, 0x00FF0000u},  // (255, 0, 0) blue first
      {pixel_format::BlueFirst32, 0x563412, 0x00123456u},
      {pixel_format::RedFirst32, 0x563412, 0x00563412u},
      {pixel_format::RedFirst32, static_cast<int32_t>(0xFF563412u), 0x00563412u},  // fourth byte 0
      {pixel_format::BlueFirst32, -1, 0x00FFFFFFu},
  };
  for (const auto& c : cases) {
    FrameBuffer fb = makeBuffer(4, 4, c.format);
    BufferFillState st;
    drawFilledBoxInBuffer(fb, st, 1, 1, 1, 1, c.colour);
    EXPECT_EQ(fb.row(1)[1], c.word) << std::hex << c.colour << " format " << c.format;
    EXPECT_EQ(pointColour(fb, 1, 1), c.colour & 0xFFFFFF);
  }
}

TEST(BufferFill, BottomUpRowsPutRowZeroLastInMemory) {
  FrameBuffer fb = makeBuffer(8, 5, pixel_format::RedFirst32 | pixel_format::BottomUp);
  BufferFillState st;
  EXPECT_EQ(drawFilledBoxInBuffer(fb, st, 0, 0, 8, 1, kRed), 1);
  const uint32_t* mem = fb.pixels();
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(mem[4 * 8 + x], 0xFFu);   // last memory row
    EXPECT_EQ(mem[0 * 8 + x], kBackground);
  }
  // Rows 1..2 of the picture are memory rows 3..2.
  drawFilledBoxInBuffer(fb, st, 2, 1, 3, 2, 0x00FF00);
  EXPECT_EQ(mem[3 * 8 + 2], 0xFF00u);
  EXPECT_EQ(mem[2 * 8 + 4], 0xFF00u);
  EXPECT_EQ(mem[1 * 8 + 2], kBackground);
}

// A borrowed buffer whose rows are followed by padding.
struct PaddedBuffer {
  static constexpr int W = 10, H = 6, P = 13;
  std::vector<uint32_t> memory = std::vector<uint32_t>(P * H + 4, kBackground);  // + guard words
  FrameBuffer fb = FrameBuffer::borrow(memory.data(), W, H, P, pixel_format::RedFirst32);
  bool paddingTouched(int row) const {
    for (int x = W; x < P; ++x)
      if (memory[row * P + x] != kBackground) return true;
    return false;
  }
};

TEST(BufferFill, WholeRunCoversPaddingBetweenRowsButNotAfterTheLast) {
  PaddedBuffer b;
  BufferFillState st;
  calibrateBufferFill(b.fb, st);
  EXPECT_EQ(st.bufferRowPadding, 4 * (PaddedBuffer::P - PaddedBuffer::W));
  EXPECT_EQ(st.wholeFillDisabled, 0);
  std::fill(b.memory.begin(), b.memory.end(), kBackground);

  EXPECT_EQ(drawFilledBoxInBuffer(b.fb, st, -3, 2, 50, 2, kRed), 1);
  EXPECT_EQ(changed(b.fb), boxReference(10, 6, 0, 2, 10, 2));
  EXPECT_TRUE(b.paddingTouched(2));
  EXPECT_FALSE(b.paddingTouched(3));
  EXPECT_FALSE(b.paddingTouched(1));

  // A box down to the last row leaves the padding after it and the guard words alone.
  drawFilledBoxInBuffer(b.fb, st, 0, 4, 10, 9, kRed);
  EXPECT_FALSE(b.paddingTouched(5));
  for (size_t i = PaddedBuffer::P * PaddedBuffer::H; i < b.memory.size(); ++i) EXPECT_EQ(b.memory[i], kBackground);
}

TEST(BufferFill, DisabledWholeRunFillsRowByRow) {
  PaddedBuffer b;
  BufferFillState st{4 * (PaddedBuffer::P - PaddedBuffer::W), 1};
  drawFilledBoxInBuffer(b.fb, st, 0, 1, 10, 3, kRed);
  EXPECT_EQ(changed(b.fb), boxReference(10, 6, 0, 1, 10, 3));
  for (int r = 0; r < PaddedBuffer::H; ++r) EXPECT_FALSE(b.paddingTouched(r)) << r;
}

TEST(BufferFill, StaleCalibrationNeverWritesOutsideTheRows) {
  // A padding measured on another buffer (or never measured) must not make one run longer
  // or shorter than the rows asked for.
  for (int32_t padding : {0, -400, 400, INT32_MIN, INT32_MAX}) {
    PaddedBuffer b;
    BufferFillState st{padding, 0};
    drawFilledBoxInBuffer(b.fb, st, 0, 3, 10, 3, kRed);
    EXPECT_EQ(changed(b.fb), boxReference(10, 6, 0, 3, 10, 3)) << padding;
    EXPECT_FALSE(b.paddingTouched(5)) << padding;
    for (size_t i = PaddedBuffer::P * PaddedBuffer::H; i < b.memory.size(); ++i) EXPECT_EQ(b.memory[i], kBackground);
  }
}

TEST(BufferFill, CalibrationOverwritesThePictureWithItsTestPattern) {
  for (uint32_t format : {pixel_format::RedFirst32, pixel_format::BlueFirst32 | pixel_format::BottomUp}) {
    FrameBuffer fb = makeBuffer(9, 7, format);
    BufferFillState st{123, 1};
    calibrateBufferFill(fb, st);
    EXPECT_EQ(st.bufferRowPadding, 0);
    EXPECT_EQ(st.wholeFillDisabled, 0);
    EXPECT_EQ(pointColour(fb, 0, 0), 0);
    EXPECT_EQ(pointColour(fb, 3, 2), 0);           // upper left quarter stays black
    EXPECT_EQ(pointColour(fb, 0, 3), 0x010101);    // lower half: the one run
    EXPECT_EQ(pointColour(fb, 3, 6), 0x010101);
    EXPECT_EQ(pointColour(fb, 4, 0), 0x020202);    // right half: row by row
    EXPECT_EQ(pointColour(fb, 8, 6), 0x020202);
  }
}

TEST(BufferFill, UnknownFormatFallsBackToThePlainBox) {
  FrameBuffer fb = makeBuffer(8, 8, 0);
  BufferFillState st;
  EXPECT_EQ(drawFilledBoxInBuffer(fb, st, -2, 3, 4, 2, kRed), 0);
  EXPECT_EQ(changed(fb), boxReference(8, 8, -2, 3, 4, 2));
}

// Runs of every length the fill stores differently (a few words, rows of a wide buffer,
// whole packed bands), clipped at every edge, on packed and padded rows either way up:
// after each box the memory must equal a picture painted pixel by pixel, and the words
// before the buffer, in the padding and after it must be untouched.
TEST(BufferFill, RandomBoxesOverRunsOfEveryLengthMatchThePlainPicture) {
  constexpr int32_t W = 4200, H = 7;
  constexpr size_t kGuard = 64;
  uint32_t seed = 99;
  auto next = [&seed](int64_t lo, int64_t hi) {
    seed = seed * 1103515245u + 12345u;
    return lo + static_cast<int64_t>((seed >> 4) % static_cast<uint32_t>(hi - lo + 1));
  };
  for (uint32_t format : {pixel_format::RedFirst32, pixel_format::BlueFirst32 | pixel_format::BottomUp}) {
    for (int32_t pitch : {W, W + 5}) {
      std::vector<uint32_t> memory(kGuard + static_cast<size_t>(pitch) * H + kGuard, kBackground);
      FrameBuffer fb = FrameBuffer::borrow(memory.data() + kGuard, W, H, pitch, format);
      std::vector<uint32_t> expected = memory;
      // Packed rows take the one run over whole rows; padded ones are filled row by row.
      BufferFillState st{4 * (pitch - W), pitch == W ? 0 : 1};
      for (int i = 0; i < 120; ++i) {
        // Edges before, on and past both sides, and often the whole width.
        const int64_t x = i % 3 == 0 ? next(-3, 0) : next(-40, W + 2);
        const int64_t w = i % 3 == 0 ? W + next(0, 3) : next(-2, i % 2 == 0 ? 20 : W);
        const int64_t y = next(-3, H), h = next(-1, H + 3);
        const int32_t colour = static_cast<int32_t>(next(0, 0xFFFFFF));
        const bool runtimeBox = i % 2 == 1;
        if (runtimeBox) {
          drawBox(fb, static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(w),
                  static_cast<int32_t>(h), colour);
        } else {
          drawFilledBoxInBuffer(fb, st, static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(w),
                                static_cast<int32_t>(h), colour);
        }
        const uint32_t value = pixelFromColour(colour, format);
        for (int64_t py = std::max<int64_t>(y, 0); py < std::min<int64_t>(y + h, H); ++py)
          for (int64_t px = std::max<int64_t>(x, 0); px < std::min<int64_t>(x + w, W); ++px)
            expected[kGuard + static_cast<size_t>(fb.memoryRow(static_cast<int32_t>(py))) * pitch +
                     static_cast<size_t>(px)] = value;
        ASSERT_EQ(memory, expected) << "box " << i << " (" << x << ", " << y << ", " << w << ", " << h
                                    << ") format " << format << " pitch " << pitch
                                    << (runtimeBox ? " runtime box" : " buffer fill");
      }
    }
  }
}

TEST(BufferFill, BufferWithoutPixelsDrawsNothing) {
  FrameBuffer none;
  BufferFillState st;
  EXPECT_EQ(drawFilledBoxInBuffer(none, st, 0, 0, 10, 10, kRed), 0);
  FrameBuffer bad = FrameBuffer::borrow(nullptr, 10, 10, 10, pixel_format::RedFirst32);
  EXPECT_FALSE(bad.hasPixels());
  EXPECT_EQ(drawFilledBoxInBuffer(bad, st, 0, 0, 10, 10, kRed), 0);
  std::vector<uint32_t> mem(100);
  EXPECT_FALSE(FrameBuffer::borrow(mem.data(), 10, 10, 9, pixel_format::RedFirst32).hasPixels());
  EXPECT_FALSE(FrameBuffer(-1, 10).hasPixels());
  EXPECT_FALSE(FrameBuffer(1 << 20, 1 << 20).hasPixels());
  drawCircle(none, 0, 0, 5, kRed);
  EXPECT_EQ(pointColour(none, 0, 0), -1);
}

TEST(Disc, SmallRadiiHaveExactShapes) {
  struct Case {
    int32_t radius;
    std::vector<const char*> rows;  // the 7x7 picture around the centre (3, 3)
  } cases[] = {
      {-1, {".......", ".......", ".......", ".......", ".......", ".......", "......."}},
      {0, {".......", ".......", ".......", "...#...", ".......", ".......", "......."}},
      {1, {".......", ".......", "..###..", "..###..", "..###..", ".......", "......."}},
      {2, {".......", "..###..", ".#####.", ".#####.", ".#####.", "..###..", "......."}},
      {3, {"..###..", ".#####.", "#######", "#######", "#######", ".#####.", "..###.."}},
  };
  for (const auto& c : cases) {
    FrameBuffer fb = makeBuffer(7, 7);
    drawCircle(fb, 3, 3, c.radius, kRed);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 7; ++x)
        EXPECT_EQ(fb.row(y)[x] != kBackground, c.rows[y][x] == '#') << "radius " << c.radius << " at " << x << "," << y;
  }
}

TEST(Disc, ClippedDiscsMatchTheDefinition) {
  struct Case {
    int32_t x, y, r;
  } cases[] = {{0, 0, 6}, {39, 29, 10}, {-5, 15, 9}, {20, -8, 12}, {45, 15, 7}, {20, 35, 6},
               {20, 15, 50}, {-100, 15, 99}, {-100, 15, 100}, {20, 15, 17}};
  for (const auto& c : cases) {
    for (uint32_t format : {pixel_format::RedFirst32, pixel_format::BlueFirst32 | pixel_format::BottomUp}) {
      FrameBuffer fb = makeBuffer(40, 30, format);
      drawCircle(fb, c.x, c.y, c.r, 0x336699);
      EXPECT_EQ(changed(fb), discReference(40, 30, c.x, c.y, c.r)) << c.x << "," << c.y << " r " << c.r;
    }
  }
}

TEST(Disc, LargeDiscHasTheAreaOfItsRadius) {
  FrameBuffer fb = makeBuffer(401, 401);
  drawCircle(fb, 200, 200, 200, kRed);
  double area = countTrue(changed(fb));
  double expected = M_PI * 200.5 * 200.5;
  EXPECT_NEAR(area / expected, 1.0, 0.005);
  // Symmetric about both axes.
  for (int y = 0; y < 401; ++y)
    for (int x = 0; x < 401; ++x) {
      ASSERT_EQ(fb.row(y)[x], fb.row(400 - y)[x]);
      ASSERT_EQ(fb.row(y)[x], fb.row(y)[400 - x]);
    }
}

TEST(Disc, HugeValuesNeverOverflow) {
  struct Case {
    int32_t x, y, r;
    bool coversAll;
  } cases[] = {
      {INT32_MIN, INT32_MIN, INT32_MAX, false}, {INT32_MAX, INT32_MAX, INT32_MAX, false},
      {16, 12, INT32_MAX, true},                {0, 0, 1 << 30, true},
      {INT32_MIN, 12, INT32_MAX, false},        {0, INT32_MAX, INT32_MAX, true},
      {INT32_MAX, INT32_MIN, 5, false},         {16, 12, INT32_MIN, false},
  };
  for (const auto& c : cases) {
    FrameBuffer fb = makeBuffer(32, 24);
    drawCircle(fb, c.x, c.y, c.r, kRed);
    int n = countTrue(changed(fb));
    if (c.coversAll) {
      EXPECT_EQ(n, 32 * 24) << c.x << "," << c.y << " r " << c.r;
    } else {
      EXPECT_EQ(changed(fb), discReference(32, 24, c.x, c.y, c.r));
    }
  }
}

TEST(Disc, RowSpanAgreesWithTheDefinitionAtTheExtremes) {
  int64_t a, b;
  ASSERT_TRUE(discRowSpan(0, 0, INT32_MAX, 0, a, b));
  EXPECT_EQ(a, -int64_t{INT32_MAX});
  EXPECT_EQ(b, int64_t{INT32_MAX});
  ASSERT_TRUE(discRowSpan(0, 0, INT32_MAX, INT32_MAX, a, b));
  // dy = r: dx^2 <= r, so |dx| <= floor(sqrt(r)).
  EXPECT_EQ(b, 46340);
  EXPECT_EQ(a, -46340);
  EXPECT_FALSE(discRowSpan(0, 0, INT32_MAX, int64_t{INT32_MAX} + 1, a, b));
  EXPECT_FALSE(discRowSpan(0, 0, -1, 0, a, b));
}

TEST(PixelConversion, TruncatesAndHoldsEveryFloatInRange) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float v;
    int32_t expected;
  } cases[] = {{2.9f, 2},   {-2.9f, -2},          {0.0f, 0},          {-0.0f, 0},
               {nan, 0},    {inf, 1 << 30},       {-inf, -(1 << 30)}, {1e20f, 1 << 30},
               {-1e20f, -(1 << 30)}, {1073741823.0f, 1 << 30}, {123456.75f, 123456}};
  for (const auto& c : cases) {
    EXPECT_EQ(truncateToPixel(c.v), c.expected) << c.v;
    EXPECT_EQ(truncateToPixel(static_cast<double>(c.v)), c.expected) << c.v;
  }
  EXPECT_EQ(truncateToPixel(1073741823.5), 1073741823);
}

TEST(BufferShapeFillTest, DrawsThroughTheBufferAndPreparesByTheSetting) {
  FrameBuffer fb = makeBuffer(16, 8);
  BufferShapeFill fill(&fb);
  EXPECT_EQ(fill.fillBox(2, 2, 3, 3, kRed), 1);
  EXPECT_EQ(pointColour(fb, 2, 2), kRed);
  EXPECT_EQ(fill.fillBox(16, 2, 3, 3, kRed), 0);
  EXPECT_EQ(fill.fillDisc(10, 4, 1, 0x00FF00), 0);
  EXPECT_EQ(pointColour(fb, 11, 5), 0x00FF00);

  fill.state = {77, 1};
  EXPECT_EQ(fill.prepareAfterOpen(false), 1);
  EXPECT_EQ(fill.state.bufferRowPadding, 0);
  EXPECT_EQ(fill.state.wholeFillDisabled, 0);
  EXPECT_EQ(pointColour(fb, 2, 2), kRed);  // untouched without the check

  fill.state = {77, 1};
  EXPECT_EQ(fill.prepareAfterOpen(true), 1);
  EXPECT_EQ(fill.state.bufferRowPadding, 0);
  EXPECT_EQ(fill.state.wholeFillDisabled, 0);
  EXPECT_EQ(pointColour(fb, 0, 7), 0x010101);  // the calibration pattern

  BufferShapeFill empty;
  EXPECT_EQ(empty.fillBox(0, 0, 5, 5, kRed), 0);
  EXPECT_EQ(empty.fillDisc(0, 0, 5, kRed), 0);
  EXPECT_EQ(empty.prepareAfterOpen(true), 1);
}

}  // namespace
}  // namespace zor
