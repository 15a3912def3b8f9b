#include "game/render/pixel_font.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

#include "game/render/fill.h"

namespace zor {
namespace {

constexpr int32_t kPaper = 0x123456;
constexpr int32_t kInk = 0x0000FF;
constexpr int32_t kBox = 0x00FF00;

struct Canvas {
  FrameBuffer fb;
  BufferShapeFill fill;
  Canvas(int32_t w, int32_t h) : fb(w, h), fill(&fb) { clearBuffer(fb, kPaper); }
  int32_t at(int32_t x, int32_t y) const { return pointColour(fb, x, y); }
  // The rectangle x0..x0+w-1, y0..y0+h-1 as rows of '#' (ink), 'o' (box), '.' (paper).
  std::vector<std::string> picture(int32_t x0, int32_t y0, int32_t w, int32_t h) const {
    std::vector<std::string> rows;
    for (int32_t y = y0; y < y0 + h; ++y) {
      std::string r;
      for (int32_t x = x0; x < x0 + w; ++x) {
        const int32_t c = at(x, y);
        r += c == kInk ? '#' : c == kBox ? 'o' : c == kPaper ? '.' : '?';
      }
      rows.push_back(r);
    }
    return rows;
  }
  bool untouched() const {
    for (int32_t y = 0; y < fb.height(); ++y)
      for (int32_t x = 0; x < fb.width(); ++x)
        if (at(x, y) != kPaper) return false;
    return true;
  }
};

// Counts the rectangles asked for and keeps the last.
struct CountingFill final : ShapeFill {
  int boxes = 0;
  int32_t lastX = 0, lastY = 0, lastW = 0, lastH = 0;
  int32_t fillBox(int32_t x, int32_t y, int32_t w, int32_t h, int32_t) override {
    ++boxes;
    lastX = x, lastY = y, lastW = w, lastH = h;
    return 1;
  }
  int32_t fillDisc(int32_t, int32_t, int32_t, int32_t) override { return 0; }
  int32_t prepareAfterOpen(bool) override { return 1; }
};

std::vector<std::string> rowsOfGlyph(const uint8_t* g) {
  std::vector<std::string> rows;
  for (int r = 0; r < 5; ++r) {
    std::string s;
    for (int c = 0; c < 5; ++c) s += (g[r] & (0x10 >> c)) ? '#' : '.';
    rows.push_back(s);
  }
  return rows;
}

// The characters of the font in table order.
std::string fontOrder() {
  std::string s = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789>^<\\.:+-=";
  s += static_cast<char>(0xD7);
  s += "?!/()*\"";
  return s;
}

TEST(PixelFont, EveryCharacterMapsToItsGlyphInTableOrder) {
  const std::string order = fontOrder();
  ASSERT_EQ(order.size(), 53u);
  for (size_t i = 0; i < order.size(); ++i) {
    SCOPED_TRACE(i);
    const uint8_t* g = glyphForCharacter(static_cast<uint8_t>(order[i]), 0, 1);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g, &fontGlyphs[i * 5]);
    for (int r = 0; r < 5; ++r) EXPECT_EQ(g[r] & 0xE0, 0) << "high bits must be clear";
  }
}

TEST(PixelFont, BlankCellsForSpaceLowerCaseAndUnknownBytes) {
  for (int b : {int{' '}, int{'a'}, int{'z'}, int{'#'}, int{','}, 0, 0x80, 0xFF, int{'\t'}}) {
    EXPECT_EQ(glyphForCharacter(static_cast<uint8_t>(b), 0, 1), nullptr) << b;
  }
}

TEST(PixelFont, GlyphsShowTheCharactersTheyStandFor) {
  struct Case {
    char c;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {'A', {".###.", "#...#", "#####", "#...#", "#...#"}},
      {'Q', {".###.", "#...#", "#...#", ".###.", "...##"}},
      {'1', {".##..", "#.#..", "..#..", "..#..", "#####"}},
      {'7', {"#####", "...#.", "..#..", ".#...", ".#..."}},
      {'>', {"..#..", "...#.", "#####", "...#.", "..#.."}},
      {'^', {"..#..", ".###.", "#.#.#", "..#..", "..#.."}},
      {'<', {"..#..", ".#...", "#####", ".#...", "..#.."}},
      {'\\', {"..#..", "..#..", "#.#.#", ".###.", "..#.."}},
      {static_cast<char>(0xD7), {".....", ".#.#.", "..#..", ".#.#.", "....."}},
      {':', {".##..", ".##..", ".....", ".##..", ".##.."}},
      {'"', {".#.#.", ".#.#.", ".....", ".....", "....."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.c));
    EXPECT_EQ(rowsOfGlyph(glyphForCharacter(static_cast<uint8_t>(c.c), 0, 1)), c.rows);
  }
}

TEST(PixelFont, DrawnTextMatchesTheGlyphTableForEveryGlyph) {
  // Size 10: one font pixel is 2x2 screen pixels.
  const std::string order = fontOrder();
  for (size_t i = 0; i < order.size(); ++i) {
    SCOPED_TRACE(i);
    Canvas cv(20, 20);
    drawPixelText(cv.fill, 3, 4, std::string(1, order[i]), kInk, 10, 0, -1);
    std::vector<std::string> want;
    for (int r = 0; r < 10; ++r) {
      std::string row;
      for (int c = 0; c < 10; ++c) row += (fontGlyphs[i * 5 + r / 2] & (0x10 >> (c / 2))) ? '#' : '.';
      want.push_back(row);
    }
    EXPECT_EQ(cv.picture(3, 4, 10, 10), want);
    // Nothing outside the glyph's 10x10 square.
    int inside = 0, all = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        if (cv.at(x, y) == kPaper) continue;
        ++all;
        inside += x >= 3 && x < 13 && y >= 4 && y < 14;
      }
    EXPECT_EQ(inside, all);
  }
}

TEST(PixelFont, EachRunOfARowIsOneRectangle) {
  CountingFill fill;
  drawPixelText(fill, 0, 0, "A", kInk, 5, 0, -1);
  EXPECT_EQ(fill.boxes, 8);  // 3; 1+1; 5; 1+1; 1+1
  fill.boxes = 0;
  drawPixelText(fill, 0, 0, "W", kInk, 5, 0, -1);
  EXPECT_EQ(fill.boxes, 2 + 3 + 3 + 3 + 2);
  // A run that reaches the right edge is closed by the sixth step.
  fill.boxes = 0;
  drawPixelText(fill, 7, 9, "-", kInk, 5, 0, -1);
  EXPECT_EQ(fill.boxes, 1);
  EXPECT_EQ(fill.lastX, 8);
  EXPECT_EQ(fill.lastY, 11);
  EXPECT_EQ(fill.lastW, 4);
  EXPECT_EQ(fill.lastH, 1);
}

TEST(PixelFont, WidthAndAdvance) {
  struct Case {
    std::string text;
    int32_t size;
    int64_t width;
  };
  const Case cases[] = {
      {"", 10, 0}, {"A", 5, 5}, {"AB", 12, 26}, {"a b", 10, 34}, {"ABC", 3, 9}, {"AB", 1, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(pixelTextWidth(c.text, c.size), c.width) << c.text << " " << c.size;

  // Size 12: unit 2, glyphs 10 wide in cells 14 apart.
  Canvas cv(40, 20);
  drawPixelText(cv.fill, 1, 1, "II", kInk, 12, 0, -1);
  // "I" row 0 is .###. : columns 2..7 of each cell.
  EXPECT_EQ(cv.picture(1, 1, 26, 1)[0], "..######........######....");
}

TEST(PixelFont, CentringTruncatesHalfTheWidth) {
  Canvas cv(200, 10);
  drawPixelText(cv.fill, 100, 2, "A", kInk, 5, 1, -1);
  // Width 5: left = 100 - 2 = 98; "A" row 2 is full.
  EXPECT_EQ(cv.picture(96, 4, 9, 1)[0], "..#####..");
  Canvas even(200, 10);
  drawPixelText(even.fill, 100, 2, "AB", kInk, 5, 1, -1);  // width 11: left 95
  EXPECT_EQ(even.picture(94, 4, 13, 1)[0], ".#####.####..");
}

TEST(PixelFont, BoxedTextHasAFrameInTheTextColourAndAMargin) {
  Canvas cv(40, 30);
  drawPixelText(cv.fill, 10, 10, "I", kInk, 10, 0, kBox);  // unit 2, width 10
  const std::string frame(18, '#');
  const std::string margin = "##" + std::string(14, 'o') + "##";
  const std::string bar = "##oooo######oooo##";   // "I" rows 0 and 4: .###.
  const std::string stem = "##oooooo##oooooo##";  // "I" rows 1 to 3: ..#..
  const std::vector<std::string> want = {frame, frame, margin, margin, bar,    bar,    stem,   stem,   stem,
                                         stem,  stem,  stem,   bar,    bar,    margin, margin, frame, frame};
  EXPECT_EQ(cv.picture(6, 6, 18, 18), want);
  EXPECT_EQ(cv.at(5, 10), kPaper);
  EXPECT_EQ(cv.at(24, 10), kPaper);
  EXPECT_EQ(cv.at(10, 24), kPaper);
}

TEST(PixelFont, EmptyTextDrawsNothingEvenWithABox) {
  Canvas cv(20, 20);
  drawPixelText(cv.fill, 5, 5, "", kInk, 10, 1, kBox);
  EXPECT_TRUE(cv.untouched());
}

TEST(PixelFont, TinySizesDrawOnlyThePlainBox) {
  Canvas cv(30, 10);
  drawPixelText(cv.fill, 2, 2, "AB", kInk, 4, 0, kBox);
  // unit 0: the frame collapses under the box; width 2 * 4, height 4; no glyph pixels.
  EXPECT_EQ(cv.picture(1, 1, 10, 6),
            (std::vector<std::string>{"..........", ".oooooooo.", ".oooooooo.", ".oooooooo.", ".oooooooo.",
                                      ".........."}));
  Canvas bare(30, 10);
  drawPixelText(bare.fill, 2, 2, "AB", kInk, 4, 0, -1);
  EXPECT_TRUE(bare.untouched());
}

TEST(PixelFont, UnmappedBytesAreBlankCellsThatStillCount) {
  Canvas cv(60, 20);
  drawPixelText(cv.fill, 5, 5, "a b", kInk, 10, 0, kBox);
  // Width 34 plus two units each side of box and frame.
  int ink = 0, box = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      ink += cv.at(x, y) == kInk;
      box += cv.at(x, y) == kBox;
    }
  EXPECT_EQ(box, (34 + 4) * (10 + 4));
  EXPECT_EQ(ink, (34 + 8) * (10 + 8) - box);  // only the frame
  EXPECT_EQ(cv.at(5 + 34 + 1, 5), kBox);
  EXPECT_EQ(cv.at(5 + 34 + 3, 5), kInk);
}

TEST(PixelFont, TextIsClippedAtEveryEdge) {
  Canvas cv(8, 8);
  drawPixelText(cv.fill, -3, -2, "H", kInk, 5, 0, -1);
  // "H" is #...# / #...# / ##### ...: rows 2..4 of the glyph land on rows 0..2, columns 3..4 on 0..1.
  EXPECT_EQ(cv.picture(0, 0, 3, 4), (std::vector<std::string>{"##.", ".#.", ".#.", "..."}));
  Canvas right(8, 8);
  drawPixelText(right.fill, 6, 6, "H", kInk, 5, 0, kBox);
  EXPECT_EQ(right.at(7, 7), kBox);
}

TEST(PixelFont, ExtremeCoordinatesAndSizesAreSafe) {
  Canvas cv(16, 16);
  const int32_t values[] = {INT32_MIN, INT32_MIN + 1, -1000000000, -5, 0, 7, 1000000000, INT32_MAX - 1, INT32_MAX};
  const int32_t sizes[] = {INT32_MIN, -10, 0, 1, 5, 1 << 20, INT32_MAX};
  for (int32_t x : values)
    for (int32_t y : values)
      for (int32_t size : sizes)
        for (int32_t centred : {0, 1}) drawPixelText(cv.fill, x, y, "W~W", kInk, size, centred, kBox, 0xFFFFFF);
  // A huge glyph over the origin covers the whole little canvas with its box.
  Canvas big(16, 16);
  drawPixelText(big.fill, -1000, -1000, "M", kInk, 1 << 20, 0, kBox);
  EXPECT_NE(big.at(0, 0), kPaper);
  // A long text runs off the right edge without wrapping.
  Canvas line(30, 8);
  drawPixelText(line.fill, 0, 0, std::string(100000, 'E'), kInk, 5, 0, -1);
  EXPECT_EQ(line.picture(0, 0, 12, 1)[0], "#####.#####.");
  EXPECT_EQ(line.at(0, 6), kPaper);
}

TEST(PixelFont, NoiseGlyphReadsTheControlDefinitionBytes) {
  // The first control is stored as key 28, button 0, "<LEFT", "MOVE LEFT": bytes
  // 1C 00 00 00 | 00 00 00 00 | 3C 'L' 'E' 'F' 'T' 00 | 'M' ...
  const uint8_t* g0 = glyphForCharacter('~', 0, 0xFFFFFF);
  EXPECT_EQ(std::vector<uint8_t>(g0, g0 + 5), (std::vector<uint8_t>{0x1C, 0, 0, 0, 0}));
  const uint8_t* g1 = glyphForCharacter('~', 1, 0xFFFFFF);
  EXPECT_EQ(std::vector<uint8_t>(g1, g1 + 5), (std::vector<uint8_t>{0, 0, 0, 0, '<'}));
  const uint8_t* g2 = glyphForCharacter('~', 2, 0xFFFFFF);
  EXPECT_EQ(std::vector<uint8_t>(g2, g2 + 5), (std::vector<uint8_t>{'<', 'L', 'E', 'F', 'T'}));
  // The position is masked, then taken modulo 53.
  EXPECT_EQ(glyphForCharacter('~', 53 + 2, 0xFFFFFF), g2);
  EXPECT_EQ(glyphForCharacter('~', 2 | 0x100, 0xFF), g2);
  EXPECT_EQ(glyphForCharacter('~', 2, 0x100), g0);
  // Every pattern lies inside the 213 bytes the glyph may read.
  std::set<const uint8_t*> patterns;
  for (uint32_t p = 0; p < 200; ++p) patterns.insert(glyphForCharacter('~', p, 0xFFFFFF));
  EXPECT_EQ(patterns.size(), 53u);
  EXPECT_EQ(*patterns.rbegin() - *patterns.begin(), 4 * 52);
}

TEST(PixelFont, NoiseGlyphIsStableForOneMaskAndChangesWithIt) {
  auto draw = [](int32_t mask) {
    Canvas cv(40, 8);
    drawPixelText(cv.fill, 0, 0, "~~~~~~", kInk, 5, 0, -1, mask);
    return cv.picture(0, 0, 36, 5);
  };
  EXPECT_EQ(draw(0xABCDEF), draw(0xABCDEF));
  std::set<std::vector<std::string>> seen;
  for (int32_t mask : {1, 0x777, 0xABCDEF, 0xFFFFFF, 0x123456, 0x8000}) seen.insert(draw(mask));
  EXPECT_GT(seen.size(), 1u);
  // Neighbouring tildes of one text differ.
  const auto pic = draw(0xFFFFFF);
  std::set<std::string> cells;
  for (int i = 0; i < 6; ++i) {
    std::string cell;
    for (const std::string& row : pic) cell += row.substr(static_cast<size_t>(i) * 6, 5);
    cells.insert(cell);
  }
  EXPECT_GT(cells.size(), 1u);
}

TEST(PixelFont, NoiseMaskComesFromItsOwnGeneratorAndStaysInRange) {
  RandomGenerator noise;
  noise.seed(99);
  RandomGenerator world;
  world.seed(1234);
  RandomGenerator worldCopy = world;
  for (int i = 0; i < 2000; ++i) {
    const int32_t m = renewNoiseMask(noise);
    ASSERT_GE(m, 1);
    ASSERT_LE(m, 16777216);
  }
  // The world's generator draws exactly what it would have drawn without the mask renewals.
  for (int i = 0; i < 10; ++i) EXPECT_EQ(world.draw(359), worldCopy.draw(359));
  RandomGenerator a, b;
  a.seed(5);
  b.seed(5);
  EXPECT_EQ(renewNoiseMask(a), renewNoiseMask(b));
}

}  // namespace
}  // namespace zor
