#include "editor/core/canvas_image.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace zor::editor {
namespace {

constexpr uint32_t kBack = 0x123456;
constexpr uint32_t kInk = 0x0000FF;

CanvasImage image(int32_t w = 40, int32_t h = 30) {
  CanvasImage img(w, h);
  img.fill(kBack);
  return img;
}

// The pixels that differ from the background.
std::vector<std::pair<int, int>> changed(const CanvasImage& img) {
  std::vector<std::pair<int, int>> out;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.at(x, y) != kBack) out.emplace_back(x, y);
  return out;
}

TEST(CanvasImage, BoxesFilledAndOutlinedWithNegativeSizesAndClipping) {
  struct Case {
    int64_t x, y, w, h;
    bool outlined;
    int expectedCount;
    int64_t probeX, probeY;
    bool probeInk;
  };
  const Case cases[] = {
      {2, 3, 4, 5, false, 20, 5, 7, true},
      {2, 3, 4, 5, false, 20, 6, 7, false},
      {2, 3, 4, 5, true, 14, 3, 5, false},   // inside of an outline stays
      {2, 3, 4, 5, true, 14, 5, 7, true},    // bottom-right corner
      {5, 7, -4, -5, false, 20, 2, 3, true},  // extends to the left and up
      {0, 0, 0, 5, false, 0, 0, 0, false},
      {-10, -10, 12, 12, false, 4, 1, 1, true},  // clipped to the image
      {INT64_MAX - 3, 0, 10, 10, false, 0, 0, 0, false},
      {-5, -5, INT64_MAX, INT64_MAX, false, 40 * 30, 39, 29, true},
      {INT64_MIN, INT64_MIN, INT64_MAX, INT64_MAX, false, 0, 0, 0, false},  // ends at -2
      {-1000000000000, 5, 2000000000000, 1, true, 40, 20, 5, true},  // huge outline: one row
  };
  for (const Case& c : cases) {
    CanvasImage img = image();
    img.box(c.x, c.y, c.w, c.h, Pen{kInk, c.outlined, false});
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h);
    EXPECT_EQ(static_cast<int>(changed(img).size()), c.expectedCount);
    EXPECT_EQ(img.at(c.probeX, c.probeY) == kInk, c.probeInk);
  }
}

TEST(CanvasImage, ExclusiveOrTouchesEachPixelOnceAndUndoesItself) {
  CanvasImage img = image();
  Pen x{0xFFFFFF, true, true};
  img.box(1, 1, 10, 8, x);
  EXPECT_EQ(img.at(1, 1), kBack ^ 0xFFFFFFu);  // a corner is flipped once, not twice
  EXPECT_EQ(img.at(10, 8), kBack ^ 0xFFFFFFu);
  EXPECT_EQ(img.at(5, 5), kBack);
  img.box(1, 1, 10, 8, x);
  EXPECT_TRUE(changed(img).empty());
  Pen filled{0x00FF00, false, true};
  img.circle(20, 15, 6, filled);
  img.circle(20, 15, 6, filled);
  EXPECT_TRUE(changed(img).empty());
  Pen ring{0x00FF00, true, true};
  img.ellipse(20, 15, 9, 4, ring);
  img.ellipse(20, 15, 9, 4, ring);
  EXPECT_TRUE(changed(img).empty());
}

// Boxes of every size and place, filled and outlined, written and exclusive-or-ed,
// give the pixels of the same boxes laid down one row and one pixel at a time.
TEST(CanvasImage, BoxesGiveThePixelsOfTheirRowsAndSides) {
  uint32_t seed = 7;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
  };
  CanvasImage fast = image(53, 37);
  CanvasImage slow = image(53, 37);
  for (int i = 0; i < 3000; ++i) {
    const int64_t x = next(90) - 20, y = next(70) - 15, w = next(80) - 25, h = next(60) - 18;
    const Pen pen{static_cast<uint32_t>(next(1 << 24)), next(2) == 0, next(4) == 0};
    fast.box(x, y, w, h, pen);
    if (w == 0 || h == 0) continue;
    const int64_t l = w > 0 ? x : x + w + 1, r = w > 0 ? x + w - 1 : x;
    const int64_t t = h > 0 ? y : y + h + 1, b = h > 0 ? y + h - 1 : y;
    for (int64_t row = t; row <= b; ++row) {
      if (!pen.outlined || row == t || row == b) {
        slow.span(row, l, r, pen);
      } else {
        slow.span(row, l, l, pen);
        if (r != l) slow.span(row, r, r, pen);
      }
    }
  }
  for (int y = 0; y < 37; ++y)
    for (int x = 0; x < 53; ++x) ASSERT_EQ(fast.at(x, y), slow.at(x, y)) << x << "," << y;
}

TEST(CanvasImage, CirclesAreSymmetricAndTheOutlineIsTheFilledEdge) {
  for (int r : {0, 1, 2, 5, 9}) {
    SCOPED_TRACE(r);
    CanvasImage filled = image(), ring = image();
    filled.circle(20, 15, r, Pen{kInk, false, false});
    ring.circle(20, 15, r, Pen{kInk, true, false});
    EXPECT_EQ(filled.at(20 - r, 15), kInk);
    EXPECT_EQ(filled.at(20 + r, 15), kInk);
    EXPECT_EQ(filled.at(20, 15 - r), kInk);
    EXPECT_EQ(filled.at(20 + r + 1, 15), kBack);
    for (int y = 0; y < 30; ++y)
      for (int x = 1; x < 40; ++x) {
        EXPECT_EQ(filled.at(x, y), filled.at(40 - x, y));  // mirror around x = 20
        bool in = filled.at(x, y) == kInk;
        bool edge = in && (filled.at(x - 1, y) != kInk || filled.at(x + 1, y) != kInk ||
                           filled.at(x, y - 1) != kInk || filled.at(x, y + 1) != kInk);
        EXPECT_EQ(ring.at(x, y) == kInk, edge) << x << "," << y;
      }
  }
  CanvasImage none = image();
  none.circle(5, 5, -1, Pen{kInk, false, false});
  EXPECT_TRUE(changed(none).empty());
}

TEST(CanvasImage, HugeRoundShapesAreClippedBeforeTheyAreDrawn) {
  CanvasImage img = image();
  // A ring whose centre lies far off the image crosses it as a nearly straight arc.
  img.circle(20, 1000000015, 1000000000, Pen{kInk, true, false});
  EXPECT_EQ(img.at(20, 15), kInk);
  EXPECT_EQ(img.at(20, 14), kBack);
  CanvasImage all = image();
  all.circle(20, 15, INT64_MAX, Pen{kInk, false, false});
  EXPECT_EQ(changed(all).size(), 40u * 30u);
  CanvasImage far = image();
  far.ellipse(INT64_MAX, INT64_MIN, INT64_MIN, 3, Pen{kInk, true, false});
  EXPECT_TRUE(changed(far).empty());
  CanvasImage flat = image();
  flat.ellipse(20, 15, 5, 0, Pen{kInk, true, false});  // a radius of 0 gives a line
  EXPECT_EQ(changed(flat).size(), 11u);
}

TEST(CanvasImage, LinesIncludeTheirEndsAndClipFarEnds) {
  CanvasImage img = image();
  img.line(2, 3, 12, 3, Pen{kInk, false, false});
  EXPECT_EQ(changed(img).size(), 11u);
  CanvasImage diag = image();
  diag.line(0, 0, 9, 9, Pen{kInk, false, false});
  for (int i = 0; i < 10; ++i) EXPECT_EQ(diag.at(i, i), kInk);
  EXPECT_EQ(changed(diag).size(), 10u);
  CanvasImage far = image();
  far.line(-4000000000000, 10, 4000000000000, 10, Pen{kInk, false, false});
  EXPECT_EQ(changed(far).size(), 40u);
  CanvasImage off = image();
  off.line(-50, -50, -10, 100, Pen{kInk, false, false});
  EXPECT_TRUE(changed(off).empty());
}

}  // namespace
}  // namespace zor::editor
